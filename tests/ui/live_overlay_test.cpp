// The live operating point over the map views of the real window: samples
// made by the device thread from the maps the charts show, published on the
// window's live feed, drawn as cursor, markers, trail, grid border and 3D
// marker; following, the trail's length and its fading after a run.
#include <qcustomplot.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "Desktop.h"
#include "LiveOverlay.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapEditor.h"
#include "MapGrid.h"
#include "Program.h"
#include "View3D.h"
#include "View3DWidget.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

// Maps whose values differ from point to point, so a marker off the
// interpolated value shows.
TimingMaps TestMaps() {
    TimingMaps maps;
    FillMapTemplate(maps);
    for (int i = 0; i < MapPointCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        maps.LPG.y[p] = 0.1 * i + (i % 3);
        maps.Petrol.y[p] = 10 - 0.05 * i;
        maps.LPGLoadDependence.y[p] = 80 + (i % 10) * 4;
        maps.PetrolLoadDependence.y[p] = 120 - (i % 10) * 2;
    }
    return maps;
}

// One pass as the variator reports it.
RealtimeSnapshot Pass(int rpm, int throttle_index, bool gas, bool synchronised, double advance = 7.5,
                      int correction = -3) {
    RealtimeSnapshot s;
    s.engine_speed = static_cast<std::uint16_t>(rpm);
    s.status = static_cast<std::uint16_t>((gas ? 0x100 : 0) | (throttle_index & 0xFF));
    s.advance = static_cast<std::int16_t>(std::lround(advance * 100));
    const auto c = static_cast<std::uint8_t>(static_cast<std::int8_t>(correction));
    s.tps_correction = static_cast<std::uint16_t>(gas ? c : c << 8);
    s.gas_time_sync = synchronised ? 1 : 0;
    return s;
}

// The drawn line's value at x (inside its ends), from the chart's own points.
double DrawnValueAt(const MapChart* chart, double x) {
    const auto* data = chart->Line()->data().data();
    for (auto it = data->constBegin(); it + 1 != data->constEnd(); ++it) {
        const auto next = it + 1;
        if (x >= it->key && x <= next->key) return it->value + (next->value - it->value) * (x - it->key) / (next->key - it->key);
    }
    return qQNaN();
}

QPointF Only(const QCPCurve* curve) {
    if (curve->data()->size() != 1) return {qQNaN(), qQNaN()};
    const auto& p = *curve->data()->constBegin();
    return {p.key, p.value};
}

int TrailPoints(const LiveOverlay::ChartMarks& marks) {
    int n = 0;
    for (const auto* shade : marks.trail) n += shade->visible() ? shade->data()->size() : 0;
    return n;
}

}  // namespace

class LiveOverlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Desktop> desktop;
    LiveOverlay* overlay = nullptr;
    long ms = 0;

    void Settle() {
        QCoreApplication::processEvents();
        QVERIFY(desktop->device.WaitIdle(10000));
        desktop->screen.Flush();
        QCoreApplication::processEvents();
    }
    // The sample of pass `s` as the device thread makes it, published and drawn.
    LiveSample Feed(const RealtimeSnapshot& s, bool playback = false) {
        LiveSample sample;
        const long at = ms;
        desktop->device.Post([&sample, s, at](Program& p) { sample = MakeLiveSample(p, s, at, false); });
        desktop->device.WaitIdle(10000);
        ms += 20;
        sample.playback = playback;
        desktop->live_feed.Publish(sample);
        overlay->DrawNow();
        return sample;
    }
    void ShowPage(int page) {
        desktop->window()->pages()->setCurrentIndex(page);
        Settle();
    }
    const LiveOverlay::ChartMarks& Marks(MapKind kind) const { return overlay->Chart(kind); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        ::setenv("TOVREL_PORT_DIR", dir->path().toUtf8().constData(), 1);
        const std::string where = dir->path().toStdString();
        desktop = std::make_unique<Desktop>([where](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.sleep_ms = [](int) {};
            p->link.default_port_dir = where;
            p->link.port_dir = where;
            p->settings.program_dir = where;
            return p;
        });
        desktop->screen.dialogs_suppressed = true;
        desktop->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(desktop->window()));
        Settle();
        overlay = desktop->window()->findChild<LiveOverlay*>();
        QVERIFY(overlay);
        overlay->SetTrailLength(3);
        desktop->device.Post([](Program& p) {
            p.maps.document.ReplaceAll(TestMaps(), MapEditCause::FileLoad);
            for (MapKind k : kMapKinds) {
                ShowMapInChart(p.screen, p.maps.document.Maps(), k);
                ShowMapInGrid(p.screen, p.maps.document.Maps(), k);
            }
            BuildLPG3DView(p.screen, p.maps.document.Maps());
            BuildPetrol3DView(p.screen, p.maps.document.Maps());
        });
        Settle();
        ms = 0;
    }
    void cleanup() {
        QVERIFY(desktop->Stop(20000));
        desktop.reset();
        ::unsetenv("TOVREL_PORT_DIR");
        dir.reset();
    }

    // The cursor stands at the live engine speed or throttle index, the map
    // marker on the drawn curve there (the end value beyond an end), the
    // applied marker at the reported advance or correction; the grid's
    // border is on the nearest point.
    void positions_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("rpm");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("nearest");
        QTest::addColumn<double>("applied");
        const auto lpg = MapKindIndex(MapKind::LPG), load = MapKindIndex(MapKind::LPGLoadDependence);
        QTest::newRow("speed: first point") << lpg << 0 << 10 << 0.0 << 0 << 7.5;
        QTest::newRow("speed: on a point") << lpg << 1000 << 10 << 1000.0 << 10 << 7.5;
        QTest::newRow("speed: a quarter past a point") << lpg << 1225 << 10 << 1225.0 << 12 << 7.5;
        QTest::newRow("speed: half way (lower point)") << lpg << 1250 << 10 << 1250.0 << 12 << 7.5;
        QTest::newRow("speed: past half way") << lpg << 1260 << 10 << 1260.0 << 13 << 7.5;
        QTest::newRow("speed: last point") << lpg << 7900 << 10 << 7900.0 << 79 << 7.5;
        QTest::newRow("speed: beyond the last") << lpg << 9300 << 10 << 9300.0 << 79 << 7.5;
        QTest::newRow("throttle: first") << load << 2000 << 0 << 0.0 << 0 << -3.0;
        QTest::newRow("throttle: inside") << load << 2000 << 37 << 37.0 << 37 << -3.0;
        QTest::newRow("throttle: last") << load << 2000 << 79 << 79.0 << 79 << -3.0;
        QTest::newRow("throttle: beyond the last") << load << 2000 << 200 << 200.0 << 79 << -3.0;
    }
    void positions() {
        QFETCH(int, kind);
        QFETCH(int, rpm);
        QFETCH(int, index);
        QFETCH(double, x);
        QFETCH(int, nearest);
        QFETCH(double, applied);
        const MapKind k = kMapKinds[static_cast<std::size_t>(kind)];
        ShowPage(FindMapControls(k)->chart_page);
        Feed(Pass(rpm, index, true, true));
        const auto& m = Marks(k);
        QVERIFY(m.cursor->visible());
        QCOMPARE(m.cursor->point1->coords().x(), x);
        QCOMPARE(m.cursor->point2->coords().x(), x);
        const double last_value = m.chart->PointY(MapPointCount - 1);
        const double expected = x >= (IsAdvanceMap(k) ? 7900 : 79) ? last_value : DrawnValueAt(m.chart, x);
        QCOMPARE(Only(m.map_marker), QPointF(x, expected));
        QCOMPARE(Only(m.applied_marker), QPointF(x, applied));
        QCOMPARE(overlay->Grid(k)->LiveMarksShown().nearest, nearest);
    }

    // Samples move small items of their own: the map's line keeps its data
    // (same storage, same points), and a burst of samples costs one replot.
    void samples_do_not_rebuild_the_series() {
        ShowPage(FindMapControls(MapKind::LPG)->chart_page);
        auto* chart = Marks(MapKind::LPG).chart;
        chart->replot();
        const auto* data = chart->Line()->data().data();
        const int count = chart->Line()->data()->size();
        const double y12 = chart->PointY(12);
        for (int rpm = 800; rpm < 3000; rpm += 150) Feed(Pass(rpm, 20, true, true));
        QCOMPARE(chart->Line()->data().data(), data);
        QCOMPARE(chart->Line()->data()->size(), count);
        QCOMPARE(chart->PointY(12), y12);
        // During a run (after one the trail's fading redraws on its own).
        desktop->live_feed.SetMonitorRunning(true);
        QTest::qWait(50);
        const int before = chart->ReplotCount();
        for (int rpm = 800; rpm < 3000; rpm += 150) {
            LiveSample sample;
            sample.points = OperatingPoints(Pass(rpm, 20, true, true), TestMaps());
            sample.ms = ms += 20;
            desktop->live_feed.Publish(sample);
        }
        QTRY_VERIFY(chart->ReplotCount() > before);
        QTest::qWait(100);
        QVERIFY2(chart->ReplotCount() - before <= 2, qPrintable(QString::number(chart->ReplotCount() - before)));
        QCOMPARE(Only(Marks(MapKind::LPG).map_marker).x(), 2900.0);
    }

    // The fuel in use is drawn strong, the other dimmed; without
    // synchronisation the markers are grey and hollow, on the grid and 3D too.
    void strong_dimmed_and_unsynchronised() {
        Feed(Pass(2500, 35, /*gas=*/true, /*synchronised=*/true));
        const auto brush_alpha = [](const QCPCurve* c) { return c->scatterStyle().brush().color().alpha(); };
        const auto& gas = Marks(MapKind::LPG);
        const auto& petrol = Marks(MapKind::Petrol);
        QCOMPARE(brush_alpha(gas.map_marker), 255);
        QVERIFY(brush_alpha(petrol.map_marker) < 128);
        QVERIFY(brush_alpha(petrol.map_marker) > 0);
        QVERIFY(overlay->Grid(MapKind::LPG)->LiveMarksShown().strong);
        QVERIFY(!overlay->Grid(MapKind::Petrol)->LiveMarksShown().strong);
        QVERIFY(overlay->View3D(false)->LiveMarkerShown()->strong);
        QVERIFY(!overlay->View3D(true)->LiveMarkerShown()->strong);

        Feed(Pass(2500, 35, /*gas=*/false, /*synchronised=*/true));
        QVERIFY(brush_alpha(gas.map_marker) < 128);
        QCOMPARE(brush_alpha(petrol.map_marker), 255);

        Feed(Pass(2500, 35, true, /*synchronised=*/false));
        for (const auto* marker : {gas.map_marker, gas.applied_marker}) {
            QCOMPARE(marker->scatterStyle().brush().style(), Qt::NoBrush);
            const QColor pen = marker->scatterStyle().pen().color();
            QCOMPARE(pen.red(), pen.green());
            QCOMPARE(pen.green(), pen.blue());
        }
        QCOMPARE(gas.map_marker->scatterStyle().shape(), QCPScatterStyle::ssCircle);
        QVERIFY(!overlay->Grid(MapKind::LPG)->LiveMarksShown().synchronised);
        QVERIFY(!overlay->View3D(false)->LiveMarkerShown()->synchronised);
    }

    // The 3D view's marker sits on the curve of the throttle band in use:
    // the speed map's value scaled by the band's mean throttle percent.
    void marker_on_the_active_3d_curve() {
        const TimingMaps maps = TestMaps();
        for (const int index : {0, 35, 79}) {
            Feed(Pass(2550, index, true, true));
            const int band = index / 10;
            double sum = 0;
            for (int j = 0; j < 10; ++j) sum += maps.LPGLoadDependence.y[static_cast<std::size_t>(band * 10 + j)];
            const auto marker = overlay->View3D(false)->LiveMarkerShown();
            QVERIFY(marker);
            QCOMPARE(marker->slot, k3DBandCount - 1 - band);
            QCOMPARE(marker->x, 2550.0);
            QVERIFY(std::abs(marker->y - MapValueAt(maps.LPG, 2550) * sum / 1000) < 1e-9);
        }
    }

    // F switches following off (the views show the bare maps) and on again
    // (the newest point at once, also one that came while it was off).
    void f_toggles_following() {
        ShowPage(FindMapControls(MapKind::LPG)->chart_page);
        desktop->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(desktop->window()));
        Feed(Pass(1500, 20, true, true));
        Feed(Pass(1600, 20, true, true));
        const auto& m = Marks(MapKind::LPG);
        QTest::keyClick(Marks(MapKind::LPG).chart, Qt::Key_F);
        QVERIFY(!overlay->Following());
        QVERIFY(!overlay->FollowAction()->isChecked());
        overlay->DrawNow();
        QVERIFY(!m.cursor->visible());
        QVERIFY(!m.map_marker->visible());
        QCOMPARE(TrailPoints(m), 0);
        QCOMPARE(overlay->Grid(MapKind::LPG)->LiveMarksShown().nearest, -1);
        QVERIFY(overlay->Grid(MapKind::LPG)->LiveMarksShown().visited.empty());
        QVERIFY(!overlay->View3D(false)->LiveMarkerShown());

        Feed(Pass(2100, 20, true, true));
        QVERIFY(!m.cursor->visible());
        QTest::keyClick(Marks(MapKind::LPG).chart, Qt::Key_F);
        QVERIFY(overlay->Following());
        overlay->DrawNow();
        QVERIFY(m.cursor->visible());
        QCOMPARE(m.cursor->point1->coords().x(), 2100.0);
        QCOMPARE(TrailPoints(m), 3);
        QCOMPARE(overlay->Grid(MapKind::LPG)->LiveMarksShown().nearest, 21);
    }

    // The trail holds the last few seconds (none at length 0); after a live
    // run it fades out while the markers stay at the last point. A new run
    // starts a new trail.
    void trail() {
        const auto& m = Marks(MapKind::LPG);
        desktop->live_feed.SetMonitorRunning(true);
        for (int i = 0; i < 10; ++i) Feed(Pass(1000 + 100 * i, 20, true, true));
        QCOMPARE(TrailPoints(m), 10);
        // 10 samples 20 ms apart: the grid tints every point visited, the
        // newest strongest.
        const auto visited = overlay->Grid(MapKind::LPG)->LiveMarksShown().visited;
        QCOMPARE(static_cast<int>(visited.size()), 10);
        QVERIFY(visited.back().second > visited.front().second);
        // 3 s later (sample time) only the points of the last 3 s remain.
        ms += 3000 - 20;
        Feed(Pass(3000, 20, true, true));
        QVERIFY(TrailPoints(m) < 10);

        overlay->SetTrailLength(0);
        overlay->DrawNow();
        QCOMPARE(TrailPoints(m), 0);
        overlay->SetTrailLength(0.3);
        Feed(Pass(3100, 20, true, true));
        Feed(Pass(3200, 20, true, true));
        QVERIFY(TrailPoints(m) > 0);
        desktop->live_feed.SetMonitorRunning(false);
        QTRY_COMPARE_WITH_TIMEOUT(TrailPoints(m), 0, 5000);
        QVERIFY(overlay->Grid(MapKind::LPG)->LiveMarksShown().visited.empty());
        QVERIFY(m.cursor->visible());
        QCOMPARE(Only(m.applied_marker).x(), 3200.0);
        QCOMPARE(overlay->Grid(MapKind::LPG)->LiveMarksShown().nearest, 32);

        // A new run's time starts again at 0: the old trail is gone.
        overlay->SetTrailLength(3);
        desktop->live_feed.SetMonitorRunning(true);
        ms = 0;
        Feed(Pass(4000, 20, true, true));
        QCOMPARE(TrailPoints(m), 1);
    }

    // The trail's length is a menu choice kept in the settings.
    void trail_length_is_remembered() {
        QTemporaryDir where;
        QSettings settings(where.filePath("t.ini"), QSettings::IniFormat);
        settings.setValue(LiveOverlay::kTrailKey, 5);
        LiveFeed feed;
        QMainWindow window;
        auto* remembered = new LiveOverlay(window, feed, &settings);
        QCOMPARE(remembered->TrailLength(), 5.0);
        QMenu* trail = nullptr;
        for (QAction* a : remembered->Menu()->actions())
            if (a->menu()) trail = a->menu();
        QVERIFY(trail);
        QAction* off = nullptr;
        for (QAction* a : trail->actions()) {
            QCOMPARE(a->isChecked(), a->data().toInt() == 5);
            if (a->data().toInt() == 0) off = a;
        }
        QVERIFY(off);
        off->trigger();
        QCOMPARE(remembered->TrailLength(), 0.0);
        QCOMPARE(settings.value(LiveOverlay::kTrailKey).toDouble(), 0.0);
        // A garbled value keeps the default; a huge one is held to a minute.
        settings.setValue(LiveOverlay::kTrailKey, "lots");
        QCOMPARE(LiveOverlay(window, feed, &settings).TrailLength(), 3.0);
        settings.setValue(LiveOverlay::kTrailKey, 1e9);
        QCOMPARE(LiveOverlay(window, feed, &settings).TrailLength(), 60.0);
    }
};

QTEST_MAIN(LiveOverlayTest)
#include "live_overlay_test.moc"
