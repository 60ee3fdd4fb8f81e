// The log viewer on recordings and device logs: what it shows, the time at
// each map point with its filters, damaged and refused files, the cursor's
// pass on the live feed, and the pictures saved as PNG.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <numeric>
#include <qcustomplot.h>

#include "Desktop.h"
#include "LogFile.h"
#include "LogViewer.h"
#include "MainWindow.h"
#include "Program.h"
#include "Recording.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

RealtimeSnapshot Pass(int rpm, bool gas, bool synchronised, double advance) {
    RealtimeSnapshot s;
    s.engine_speed = static_cast<std::uint16_t>(rpm);
    s.status = static_cast<std::uint16_t>((gas ? 0x100 : 0) | 40);
    s.gas_time_sync = synchronised ? 1 : 0;
    s.advance = static_cast<std::int16_t>(advance * 100);
    return s;
}

// The maps' values; their axes are the program's own: point p of an advance
// map sits at 100 p rpm.
TimingMaps Maps() {
    TimingMaps m{};
    for (int k = 0; k < 4; ++k)
        for (int p = 0; p < MapPointCount; ++p) m[k].y[static_cast<std::size_t>(p)] = 5 + 0.1 * p + k;
    return m;
}

}  // namespace

class LogViewerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<LogViewer> viewer;

    QString Write(const QString& name, const std::string& bytes) {
        const QString path = dir->filePath(name);
        QFile f(path);
        [&] { QVERIFY(f.open(QIODevice::WriteOnly)); }();
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    // Six rows, one of them a failed pass: at 800 rpm for 1 s (half of it
    // synchronised), at 1500 on petrol for a 3 s gap counted as 1 s, at 2000
    // for 0.5 s, and the last row, which counts nothing.
    static std::string SmallRecording() {
        std::string text = "# device test\r\n" + std::string(kRecordingColumns) + "\r\n";
        text += RecordingRow(Pass(800, true, true, 10.0), 0, 5.3);
        text += RecordingRow(Pass(810, true, false, 10.5), 500, 5.3);
        RealtimeSnapshot failed;
        failed.pass = 3;
        text += RecordingFailedRow(failed, 1000);
        text += RecordingRow(Pass(1460, false, true, 15.0), 2000, 7.0);
        text += RecordingRow(Pass(2000, true, true, 20.0), 5000, 6.5);
        text += RecordingRow(Pass(2100, true, true, 21.0), 5500, 6.6);
        return text;
    }

    // Opens a file and waits for its result; true when it was shown.
    bool OpenAndWait(const QString& path) {
        QSignalSpy shown(viewer.get(), &LogViewer::shown), refused(viewer.get(), &LogViewer::refused);
        viewer->Open(path);
        if (!QTest::qWaitFor([&] { return shown.count() + refused.count() > 0; }, 10000)) return false;
        // The maps' copy from the device thread arrives queued too.
        desktop->device.WaitIdle(10000);
        QCoreApplication::processEvents();
        return shown.count() == 1;
    }

    double Seconds(int point) const { return viewer->Histogram()[static_cast<std::size_t>(point)]; }
    QString Cell(int point) const { return viewer->Grid()->item(point % 10, point / 10)->text(); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        // No variator: an empty port folder, so nothing real is ever opened.
        ::setenv("TOVREL_PORT_DIR", dir->path().toUtf8().constData(), 1);
        const std::string path = dir->path().toStdString();
        desktop = std::make_unique<Desktop>([path](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.sleep_ms = [](int) {};
            p->link.default_port_dir = path;
            p->link.port_dir = path;
            p->settings.program_dir = path;
            return p;
        });
        desktop->device.Post([](Program& p) { p.maps.document.ReplaceAll(Maps(), MapEditCause::Replace); });
        QVERIFY(desktop->device.WaitIdle(10000));
        viewer = std::make_unique<LogViewer>(desktop->ctx, desktop->live_feed);
        viewer->resize(1200, 800);
        viewer->show();
    }
    void cleanup() {
        viewer.reset();
        QVERIFY(desktop->Stop(20000));
        desktop.reset();
        ::unsetenv("TOVREL_PORT_DIR");
        dir.reset();
    }

    void recordingShowsItsPassesAndTheTimeAtEachMapPoint() {
        QVERIFY(OpenAndWait(Write("run.csv", SmallRecording())));
        QCOMPARE(viewer->Shown(), LogViewer::Content::Recording);
        QCOMPARE(viewer->PointCount(), 5);  // the failed pass has no values to draw
        QVERIFY2(!viewer->Status().contains("—"), qPrintable(viewer->Status()));
        QVERIFY(viewer->MapPlot()->isVisible());

        struct Case {
            const char* what;
            RecordingFilter filter;
            double at800, at1500, at2000;
        };
        const Case cases[] = {
            {"all passes", {}, 1.0, 1.0, 0.5},
            {"synchronised only", {std::nullopt, true}, 0.5, 1.0, 0.5},
            {"on gas", {true, false}, 1.0, 0.0, 0.5},
            {"on petrol", {false, false}, 0.0, 1.0, 0.0},
        };
        for (const auto& c : cases) {
            viewer->SetFilter(c.filter);
            QVERIFY2(qFuzzyCompare(1 + Seconds(8), 1 + c.at800), c.what);
            QVERIFY2(qFuzzyCompare(1 + Seconds(15), 1 + c.at1500), c.what);
            QVERIFY2(qFuzzyCompare(1 + Seconds(20), 1 + c.at2000), c.what);
            const double all = std::accumulate(viewer->Histogram().begin(), viewer->Histogram().end(), 0.0);
            QVERIFY2(qFuzzyCompare(1 + all, 1 + c.at800 + c.at1500 + c.at2000), c.what);
            // The grid shows the same seconds at the maps' cell of each point.
            QCOMPARE(Cell(8), c.at800 > 0 ? QString::number(c.at800, 'f', 1) : QString());
            QCOMPARE(Cell(20), c.at2000 > 0 ? QString::number(c.at2000, 'f', 1) : QString());
        }
        // The scatter draws the filtered passes over the map of their fuel.
        viewer->SetFilter({false, false});
        auto* plot = viewer->MapPlot();
        QCOMPARE(plot->graph(1)->dataCount(), 1);
        QCOMPARE(plot->graph(0)->dataCount(), MapPointCount);
        QCOMPARE(plot->graph(0)->data()->at(0)->value, Maps()[MapKind::Petrol].y[0]);
    }

    void deviceLogShowsItsEntries() {
        LogBuffer entries{};
        for (int k = 0; k < kLogEntryCount; ++k) entries[static_cast<std::size_t>(k)].T = static_cast<std::uint16_t>(k * 3);
        QVERIFY(OpenAndWait(Write("LOG_1.txt", FormatLogFile(16, 700, entries))));
        QCOMPARE(viewer->Shown(), LogViewer::Content::DeviceLog);
        QCOMPARE(viewer->PointCount(), kLogEntryCount);
        QCOMPARE(viewer->TimePlots()->graph(0)->data()->at(255)->value, 765.0);
        QVERIFY(!viewer->MapPlot()->isVisible());
        QVERIFY2(!viewer->Status().contains("—"), qPrintable(viewer->Status()));
    }

    // What can be read is shown and the first bad line named; what cannot
    // is refused with the reason, and the last file shown stays.
    void badFilesNameTheirFirstBadLineOrAreRefused() {
        std::string garbage = SmallRecording();
        const auto third_row = garbage.find("\r\n", garbage.find("\r\n", garbage.find("\r\n") + 2) + 2) + 2;
        garbage.insert(third_row, "\x01\xFFgarbage\r\n");  // line 4
        QVERIFY(OpenAndWait(Write("garbage.csv", garbage)));
        QCOMPARE(viewer->PointCount(), 5);
        QVERIFY2(viewer->Status().contains(QString::fromUtf8("Строка 4 ")), qPrintable(viewer->Status()));

        const std::string log = FormatLogFile(1, 2, LogBuffer{});
        QVERIFY(OpenAndWait(Write("LOG_2.txt", log.substr(0, log.size() / 2))));
        QCOMPARE(viewer->Shown(), LogViewer::Content::DeviceLog);
        QVERIFY(viewer->PointCount() > 100 && viewer->PointCount() < 256);
        QVERIFY2(viewer->Status().contains(QString::fromUtf8("Строка ")), qPrintable(viewer->Status()));

        const QString huge = dir->filePath("huge.csv");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(static_cast<qint64>(kMaxRecordingBytes) + 1));  // sparse: nothing is written
        }
        for (const QString& path : {Write("empty.csv", ""), huge, Write("LOG_3.txt", "")}) {
            QSignalSpy refused(viewer.get(), &LogViewer::refused);
            QVERIFY(!OpenAndWait(path));
            QCOMPARE(refused.count(), 1);
            QVERIFY2(refused.front().front().toString().contains(QFileInfo(path).fileName()),
                     qPrintable(refused.front().front().toString()));
            QCOMPARE(viewer->Shown(), LogViewer::Content::DeviceLog);
        }
    }

    // The pass under the cursor goes out once as a played-back sample, with
    // its operating points on the maps the viewer was given.
    void cursorPublishesThePassUnderIt() {
        QVERIFY(OpenAndWait(Write("run.csv", SmallRecording())));
        std::vector<LiveSample> samples;
        connect(&desktop->live_feed, &LiveFeed::sample, viewer.get(),
                [&](const LiveSample& s) { samples.push_back(s); });

        viewer->MoveCursorTo(2.3);
        QCOMPARE(samples.size(), std::size_t{1});
        QCOMPARE(samples[0].ms, 2000L);
        QVERIFY(samples[0].playback);
        QCOMPARE(int{samples[0].snapshot.engine_speed}, 1460);
        QCOMPARE(samples[0].points[1].x, 1460.0);                 // the petrol map
        QCOMPARE(samples[0].points[1].nearest, 15);
        viewer->MoveCursorTo(4.9);  // still the same pass: nothing new
        QCOMPARE(samples.size(), std::size_t{1});
        viewer->MoveCursorTo(1.2);  // the failed pass at 1 s has no values: the one before it
        QCOMPARE(samples.back().ms, 500L);
        viewer->MoveCursorTo(-3);   // before the first pass: the first
        QCOMPARE(samples.back().ms, 0L);

        // The mouse over the plots does the same.
        auto* plot = viewer->TimePlots();
        plot->replot();
        const double x = plot->axisRect(0)->axis(QCPAxis::atBottom)->coordToPixel(5.2);
        const double y = plot->axisRect(0)->center().y();
        QTest::mouseMove(plot, QPoint(static_cast<int>(x), static_cast<int>(y)));
        QTRY_COMPARE(samples.back().ms, 5000L);
    }

    // The main window's menu item opens the viewer, and the same one again.
    void menuItemOpensTheOneViewer() {
        desktop->screen.dialogs_suppressed = true;
        desktop->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(desktop->window()));
        QVERIFY(desktop->device.WaitIdle(30000));
        auto* item = desktop->window()->findChild<QAction*>("LogViewerItem");
        QVERIFY(item);
        QCOMPARE(item->text(), QString::fromUtf8("Просмотр записей и журналов..."));
        item->trigger();
        item->trigger();
        const auto viewers = desktop->window()->findChildren<LogViewer*>();
        QCOMPARE(viewers.size(), 1);
        QVERIFY(viewers.front()->isVisible());
        QVERIFY(viewers.front()->isWindow());

        // A language switch reaches the item, the window and its plots.
        LogViewer* shown = viewers.front();
        QVERIFY(desktop->SetLanguage(texts::Language::English));
        QCOMPARE(item->text(), QString("Log viewer..."));
        QCOMPARE(shown->windowTitle(), QString("Log viewer"));
        QCOMPARE(shown->findChild<QPushButton*>("ViewerOpen")->text(), QString("Open..."));
        QCOMPARE(shown->findChild<QComboBox*>("ViewerFuelFilter")->itemText(1), QString("gas"));
        QCOMPARE(shown->MapPlot()->xAxis->label(), QString("Engine speed, rpm"));
        QVERIFY(desktop->SetLanguage(texts::Language::Russian));  // the other tests read Russian
        QCOMPARE(shown->findChild<QPushButton*>("ViewerOpen")->text(), QString::fromUtf8("Открыть..."));
    }

    void picturesAreSavedAsPng() {
        QVERIFY(OpenAndWait(Write("run.csv", SmallRecording())));
        const QString png = dir->filePath("run.png");
        QVERIFY(viewer->ExportPng(png));
        for (const char* name : {"run.png", "run-map.png", "run-grid.png"}) {
            QImage image(dir->filePath(name));
            QVERIFY2(!image.isNull() && image.width() > 100, qPrintable(name));
        }
        QVERIFY(!viewer->ExportPng(dir->filePath("missing/run.png")));
        QVERIFY2(viewer->Status().contains("missing"), qPrintable(viewer->Status()));
    }
};

QTEST_MAIN(LogViewerTest)
#include "log_viewer_test.moc"
