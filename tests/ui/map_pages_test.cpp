// The map pages in a page control of the window's size, bound to the logic
// on the device thread: chart keys and clicks, grid commits, the coalescing
// of chart updates and the look of every page.
#include <QApplication>
#include <QThread>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <memory>
#include <set>

#include "Desktop.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapEditor.h"
#include "MapGrid.h"
#include "Pages.h"
#include "Program.h"
#include "View3D.h"
#include "View3DWidget.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

// What the logic holds for one map, read on the device thread.
struct MapSnapshot {
    TimingMap map;
    MapEditorState editor;
};

QColor Red() { return QColor(255, 0, 0); }
QColor Blue() { return QColor(0, 0, 255); }

}  // namespace

class MapPagesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<QTabWidget> host;

    template <typename T>
    T* Find(const QString& name) const {
        auto* w = host->findChild<T*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    MapChart* Chart(MapKind kind) const { return Find<MapChart>(QString::fromUtf8(FindMapControls(kind)->chart)); }
    MapGrid* Grid(MapKind kind) const { return Find<MapGrid>(QString::fromUtf8(FindMapControls(kind)->grid)); }
    QCheckBox* Box(std::string_view name) const { return Find<QCheckBox>(QString::fromUtf8(name)); }

    // Runs `call` on the device thread and waits for it and for what it
    // drew to reach the widgets.
    void OnDevice(std::function<void(Program&)> call) {
        desktop->device.Post(std::move(call));
        Settle();
    }
    void Settle() {
        QCoreApplication::processEvents();  // queued GUI work first (an editor's commit)
        QVERIFY(desktop->device.WaitIdle(10000));
        desktop->screen.Flush();
        QCoreApplication::processEvents();
    }
    MapSnapshot Snapshot(MapKind kind) {
        MapSnapshot s;
        desktop->device.Post([&s, kind](Program& p) {
            s.map = p.maps.document.Map(kind);
            s.editor = *p.maps.Editor(kind);
        });
        desktop->device.WaitIdle(10000);
        return s;
    }
    void ShowPage(int index) {
        host->setCurrentIndex(index);
        QCoreApplication::processEvents();
    }
    // The page change redraws the map views on the device thread and marks
    // the point the arrow keys move by the boxes as they are then; a box
    // clicked next must come after that redraw.
    void OpenPage(int index) {
        ShowPage(index);
        Settle();
    }
    // The user ticks or clears a box with the mouse.
    void SetBox(std::string_view name, bool checked) {
        auto* box = Box(name);
        if (box->isChecked() != checked) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QCOMPARE(box->isChecked(), checked);
    }
    // On a real display the enter and leave events come from the window
    // system some time after the pointer moved: both helpers wait for them.
    void Hover(MapChart* chart) {
        QTest::mouseMove(chart, chart->rect().center());
        QTRY_VERIFY(chart->underMouse());
    }
    void Unhover(MapChart* chart) {
        // The pointer goes to the page's check box row, off the chart.
        QTest::mouseMove(host->currentWidget(), QPoint(5, host->currentWidget()->height() - 5));
        QTRY_VERIFY(!chart->underMouse());
    }

private slots:
    void initTestCase() {
        UseTahoma(*qApp);
        desktop = std::make_unique<Desktop>();
        desktop->screen.dialogs_suppressed = true;
        host = std::make_unique<QTabWidget>();
        host->resize(1100, 560);
        host->addTab(new QWidget, "settings");
        for (int i = 0; i < 4; ++i) {
            const auto& c = MapControlsAt(i);
            auto* chart_page = new QWidget;
            chart_page->setObjectName(QString::fromUtf8(c.chart_tab));
            BuildMapChartPage(desktop->ctx, chart_page, c.kind);
            host->addTab(chart_page, QString::fromUtf8(c.chart_tab));
            auto* grid_page = new QWidget;
            grid_page->setObjectName(QString::fromUtf8(c.grid_tab));
            BuildMapGridPage(desktop->ctx, grid_page, c.kind);
            host->addTab(grid_page, QString::fromUtf8(c.grid_tab));
        }
        for (bool petrol : {false, true}) {
            auto* page = new QWidget;
            page->setObjectName(petrol ? "MAP3DPetrolTab" : "Map3DGASTab");
            Build3DPage(desktop->ctx, page, petrol);
            host->addTab(page, page->objectName());
        }
        ConnectPageChange(desktop->ctx, host.get());
        desktop->screen.AddRoot(host.get());
        host->show();
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
        OnDevice([](Program& p) { InitMapControls(p.screen); });
    }

    void cleanupTestCase() {
        desktop->Stop(10000);
        host.reset();
        desktop.reset();
    }

    // Every test starts from the template maps, the boxes in their start
    // states and the first point selected, with the pointer off the charts.
    void init() {
        for (int i = 0; i < 4; ++i) {
            const auto& c = MapControlsAt(i);
            OpenPage(c.chart_page);
            SetBox(c.big_step_box, true);
            SetBox(c.whole_map_box, true);
            Unhover(Chart(c.kind));
        }
        OnDevice([](Program& p) {
            for (auto& e : p.maps.editor) e = MapEditorState{};
            Button1Click(p.screen, p.maps);
        });
    }

    void chartKeys_data() {
        QTest::addColumn<int>("map");          // index of kMapKinds
        QTest::addColumn<bool>("whole_map");   // whole-map box ticked
        QTest::addColumn<bool>("big_step");    // big-step box ticked
        QTest::addColumn<QString>("pointer");  // "over", "never", "left": where the pointer is at the keys
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("changed");      // point expected to move; -1 every point, -2 none
        QTest::addColumn<double>("expected");  // its new value
        QTest::addColumn<int>("selected");

        const int up = Qt::Key_Up, down = Qt::Key_Down, left = Qt::Key_Left, right = Qt::Key_Right;
        QTest::newRow("whole gas map up a degree") << 0 << true << true << "over" << QList<int>{up} << -1 << 10.0 << 0;
        QTest::newRow("whole petrol map down a tenth") << 1 << true << false << "over" << QList<int>{down, down} << -1 << 1.8 << 0;
        QTest::newRow("whole map ignores left and right") << 0 << true << true << "over" << QList<int>{right, right} << -2 << 9.0 << 0;
        QTest::newRow("keys without the pointer over the chart") << 0 << true << true << "never" << QList<int>{up} << -2 << 9.0 << 0;
        QTest::newRow("keys after the pointer left") << 1 << false << true << "left" << QList<int>{right, up} << -2 << 2.0 << 0;
        QTest::newRow("one point: right then up") << 1 << false << false << "over" << QList<int>{right, up} << 1 << 2.1 << 1;
        QTest::newRow("one point: left at the first point stays") << 0 << false << true << "over" << QList<int>{left, down} << 0 << 8.0 << 0;
        QTest::newRow("throttle point up refused at 100") << 2 << false << true << "over" << QList<int>{up} << -2 << 100.0 << 0;
        QTest::newRow("throttle point down by 5") << 3 << false << true << "over" << QList<int>{right, right, down} << 2 << 95.0 << 2;
    }

    void chartKeys() {
        QFETCH(int, map);
        QFETCH(bool, whole_map);
        QFETCH(bool, big_step);
        QFETCH(QString, pointer);
        QFETCH(QList<int>, keys);
        QFETCH(int, changed);
        QFETCH(double, expected);
        QFETCH(int, selected);
        const auto& c = MapControlsAt(map);
        OpenPage(c.chart_page);
        SetBox(c.whole_map_box, whole_map);
        SetBox(c.big_step_box, big_step);
        auto* chart = Chart(c.kind);
        const MapSnapshot before = Snapshot(c.kind);

        if (pointer != "never") Hover(chart);
        if (pointer == "left") Unhover(chart);
        for (int key : keys) QTest::keyClick(chart, static_cast<Qt::Key>(key));
        Settle();

        const MapSnapshot after = Snapshot(c.kind);
        for (int i = 0; i < MapPointCount; ++i) {
            const auto p = static_cast<std::size_t>(i);
            const bool moves = changed == -1 || changed == i;
            const double want = moves ? expected : before.map.y[p];
            QVERIFY2(qFuzzyCompare(after.map.y[p], want), qPrintable(QString("point %1: %2").arg(i).arg(after.map.y[p])));
            // The chart draws what the map holds.
            QVERIFY(qFuzzyCompare(chart->PointY(i), want));
        }
        QCOMPARE(after.editor.SelectedPoint, selected);
        if (!whole_map && selected != 0) {
            QCOMPARE(chart->PointColour(selected), Red());
            QCOMPARE(chart->PointColour(0), Blue());
        }
    }

    void pointClicks_data() {
        QTest::addColumn<bool>("whole_map");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("point");    // clicked point; -1: between points, off the line
        QTest::addColumn<int>("selected");

        QTest::newRow("left click selects") << false << int(Qt::LeftButton) << 5 << 5;
        QTest::newRow("right click selects too") << false << int(Qt::RightButton) << 70 << 70;
        QTest::newRow("click off the line") << false << int(Qt::LeftButton) << -1 << 0;
        QTest::newRow("whole-map mode keeps the selection") << true << int(Qt::LeftButton) << 5 << 0;
    }

    void pointClicks() {
        QFETCH(bool, whole_map);
        QFETCH(int, button);
        QFETCH(int, point);
        QFETCH(int, selected);
        const auto& c = MapControlsAt(0);
        OpenPage(c.chart_page);
        SetBox(c.whole_map_box, whole_map);
        auto* chart = Chart(c.kind);
        Hover(chart);
        const QPointF at = point >= 0 ? chart->PointPosition(point) : chart->PointPosition(40) + QPointF(0, -60);
        QTest::mouseClick(chart, static_cast<Qt::MouseButton>(button), {}, at.toPoint());
        Settle();

        QCOMPARE(Snapshot(c.kind).editor.SelectedPoint, selected);
        for (int i : {0, 5, 70}) {
            const bool red = i == selected && selected != 0;
            QVERIFY2(chart->PointColour(i) == (red ? Red() : Blue()), qPrintable(QString("point %1 is %2").arg(i).arg(chart->PointColour(i).name())));
        }
        // The arrow keys then move the clicked point (one-point mode only).
        if (!whole_map) {
            SetBox(c.big_step_box, true);
            QTest::keyClick(chart, Qt::Key_Up);
            Settle();
            QCOMPARE(Snapshot(c.kind).map.y[static_cast<std::size_t>(selected)], 10.0);
        }
    }

    void axisBoxes() {
        for (int i = 0; i < 4; ++i) {
            const auto& c = MapControlsAt(i);
            OpenPage(c.chart_page);
            auto* chart = Chart(c.kind);
            // The axis spans the range the logic set, with no more room
            // beyond it than a marker needs.
            auto shows = [chart](double lo, double hi) {
                const double room = (hi - lo) * 0.02;
                const auto axis = chart->VerticalRange();
                return chart->verticalMinimum() == lo && chart->verticalMaximum() == hi && axis.minimum <= lo &&
                       axis.minimum >= lo - room && axis.maximum >= hi && axis.maximum <= hi + room;
            };
            QVERIFY(shows(0, c.axis_maximum));
            SetBox(c.scale_box, true);
            Settle();
            QVERIFY(shows(c.axis_negative_minimum, c.axis_maximum));
            SetBox(c.scale_box, false);
            Settle();
            QVERIFY(shows(0, c.axis_maximum));
        }
    }

    // The right mouse button drags the vertical axis and, with the wheel,
    // zooms it; the horizontal axis stays. The logic setting a bound (an
    // axis box) brings the set range back.
    void rightButtonPanAndZoom() {
        const auto& c = MapControlsAt(0);
        ShowPage(c.chart_page);
        auto* chart = Chart(c.kind);
        auto y_min = [chart] { return chart->VerticalRange().minimum; };
        auto y_max = [chart] { return chart->VerticalRange().maximum; };
        auto x_min = [chart] { return chart->HorizontalRange().minimum; };
        auto x_max = [chart] { return chart->HorizontalRange().maximum; };
        const double lo = y_min(), hi = y_max();
        const double per_pixel = (hi - lo) / chart->PlotArea().height();
        const QPoint from = chart->rect().center();
        const double x_lo = x_min(), x_hi = x_max();

        QTest::mousePress(chart, Qt::RightButton, {}, from);
        QMouseEvent drag(QEvent::MouseMove, from + QPoint(0, 50), chart->mapToGlobal(from + QPoint(0, 50)),
                         Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &drag);
        QTest::mouseRelease(chart, Qt::RightButton, {}, from + QPoint(0, 50));
        // Dragged down by 50 pixels: the curve follows, the range moves up.
        QVERIFY(qAbs(y_min() - (lo + 50 * per_pixel)) < per_pixel);
        QVERIFY(qAbs((y_max() - y_min()) - (hi - lo)) < 1e-9);
        QCOMPARE(x_min(), x_lo);
        QCOMPARE(x_max(), x_hi);

        const double span = y_max() - y_min();
        auto wheel = [&](int delta, Qt::MouseButtons buttons) {
            QWheelEvent e(QPointF(from), QPointF(chart->mapToGlobal(from)), QPoint(), QPoint(0, delta), buttons,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(chart, &e);
        };
        wheel(120, Qt::NoButton);  // without the right button: nothing
        QCOMPARE(y_max() - y_min(), span);
        wheel(-120, Qt::RightButton);  // toward the user: zoom out
        QVERIFY(y_max() - y_min() > span * 1.2);
        QCOMPARE(x_min(), x_lo);
        QCOMPARE(x_max(), x_hi);

        SetBox(c.scale_box, true);
        SetBox(c.scale_box, false);
        Settle();
        QCOMPARE(y_min(), lo);
        QCOMPARE(y_max(), hi);
    }

    void gridCommits_data() {
        QTest::addColumn<int>("map");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("commit");  // "enter" or "select": another cell is clicked
        QTest::addColumn<double>("stored");   // the map's value at the cell afterwards
        QTest::addColumn<QString>("shown");   // the cell's text afterwards
        QTest::addColumn<bool>("error");      // the conversion error was shown

        QTest::newRow("advance limit stored") << 0 << 1 << 1 << "32" << "enter" << 32.0 << "32" << false;
        QTest::newRow("over the advance limit restored") << 0 << 2 << 3 << "32.01" << "enter" << 9.0 << "9" << false;
        QTest::newRow("committed by selecting another cell") << 1 << 8 << 10 << "-3.5" << "select" << -3.5 << "-3.5" << false;
        QTest::newRow("throttle lower limit") << 2 << 4 << 5 << "-101" << "select" << -101.0 << "-101" << false;
        QTest::newRow("throttle over the limit restored") << 3 << 1 << 1 << "101.5" << "enter" << 100.0 << "100" << false;
        QTest::newRow("comma decimal in a grid showing points") << 1 << 4 << 2 << "9,5" << "enter" << 9.5 << "9,5" << false;
        QTest::newRow("not a number: error, cell kept") << 1 << 3 << 2 << "9,5x" << "enter" << 2.0 << "9,5x" << true;
        QTest::newRow("not a number on selecting") << 0 << 5 << 6 << "abc" << "select" << 9.0 << "abc" << true;
    }

    void gridCommits() {
        QFETCH(int, map);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, commit);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        QFETCH(bool, error);
        const auto& c = MapControlsAt(map);
        ShowPage(c.grid_page);
        auto* grid = Grid(c.kind);
        QCOMPARE(grid->CellText(column, row), IsAdvanceMap(c.kind) ? (map == 0 ? "9" : "2") : "100");
        const auto errors_before = desktop->screen.Errors().size();

        auto click = [&](int col, int r) {
            const QRect cell = grid->visualRect(grid->model()->index(r, col));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            Settle();
        };
        click(column, row);
        // Typing opens the cell's editor with the first character.
        QTest::keyClicks(grid, typed.left(1));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClicks(editor, typed.mid(1));
        if (commit == "enter")
            QTest::keyClick(editor, Qt::Key_Return);
        else
            click(column == 1 ? 2 : 1, row);
        Settle();

        const auto point = static_cast<std::size_t>((column - 1) * 10 + (row - 1));
        QCOMPARE(Snapshot(c.kind).map.y[point], stored);
        QCOMPARE(grid->CellText(column, row), shown);
        const auto errors = desktop->screen.Errors();
        QCOMPARE(errors.size(), errors_before + (error ? 1 : 0));
        if (error)
            QCOMPARE(QString::fromStdString(errors.back()), QString("'%1' is not a valid floating point value").arg(typed));
        // No other point changed.
        const MapSnapshot after = Snapshot(c.kind);
        for (std::size_t i = 0; i < MapPointCount; ++i)
            if (i != point) QCOMPARE(after.map.y[i], map == 0 ? 9.0 : map == 1 ? 2.0 : 100.0);
    }

    // While a map transfer runs (here a stand-in that holds the maps and
    // pumps as the reads and writes do), chart keys move nothing and a typed
    // cell is put back with a message; afterwards both work again.
    void editsWaitForATransfer() {
        std::atomic<bool> release{false};
        desktop->device.Post([&release](Program& p) {
            MapTransferHold transfer(p.maps);
            while (!release) {
                p.screen.Pump();
                QThread::msleep(2);
            }
        });
        const auto& c = MapControlsAt(0);
        ShowPage(c.chart_page);
        auto* chart = Chart(c.kind);
        Hover(chart);
        QTest::keyClick(chart, Qt::Key_Up);

        ShowPage(c.grid_page);
        auto* grid = Grid(c.kind);
        const QRect cell = grid->visualRect(grid->model()->index(4, 3));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClicks(grid, "5");
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(editor, Qt::Key_Return);
        const auto messages_before = desktop->screen.Messages().size();
        QTRY_COMPARE_WITH_TIMEOUT(desktop->screen.Messages().size(), messages_before + 1, 5000);
        QCOMPARE(QString::fromStdString(desktop->screen.Messages().back()), QString::fromUtf8(Tr(kLineBusyMessage)));
        release = true;
        Settle();

        QCOMPARE(Snapshot(c.kind).map, [] {
            TimingMaps t;
            FillMapTemplate(t);
            return t.LPG;
        }());
        QCOMPARE(grid->CellText(3, 4), QString("9"));
        // The cell selected during the transfer is the one an Enter takes.
        QTest::keyClicks(grid, "7");
        editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        QCOMPARE(Snapshot(c.kind).map.y[2 * 10 + 3], 7.0);
        ShowPage(c.chart_page);
        Hover(chart);
        QTest::keyClick(chart, Qt::Key_Up);
        Settle();
        QCOMPARE(Snapshot(c.kind).map.y[0], 10.0);
    }

    // A grid commit changes the map only; the next page change redraws the
    // chart and the 3D views from it, the selected point still marked. While
    // a transfer holds the maps the page change leaves the views to it.
    void pageChangeRedrawsMapViews() {
        const auto& c = MapControlsAt(0);
        auto* chart = Chart(c.kind);
        auto* view = Find<View3DWidget>("Chart3DGAS");
        // The point the keys move, in one-point mode: it stays marked.
        ShowPage(c.chart_page);
        SetBox(c.whole_map_box, false);
        Hover(chart);
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->PointPosition(12).toPoint());
        Settle();
        QCOMPARE(chart->PointColour(12), Red());
        ShowPage(c.grid_page);
        auto* grid = Grid(c.kind);
        const QRect cell = grid->visualRect(grid->model()->index(3, 2));  // point 12
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        Settle();
        QTest::keyClicks(grid, "1");
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClicks(editor, "5");
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        QCOMPARE(Snapshot(c.kind).map.y[12], 15.0);
        QCOMPARE(chart->PointY(12), 9.0);

        ShowPage(c.chart_page);
        Settle();
        QCOMPARE(chart->PointY(12), 15.0);
        QCOMPARE(chart->PointY(11), 9.0);
        QCOMPARE(chart->PointColour(12), Red());
        QCOMPARE(chart->PointColour(11), Blue());
        ShowPage(page::Gas3D);
        Settle();
        // The template throttle map holds 100 everywhere: every band is the
        // speed map itself.
        for (int slot = 0; slot < k3DBandCount; ++slot) {
            QCOMPARE(view->points(slot).at(12).y, 15.0);
            QCOMPARE(view->points(slot).at(13).y, 9.0);
        }

        // A read in progress: it has filled point 0 and not drawn it yet.
        std::atomic<bool> release{false};
        std::atomic<bool> filled{false};
        desktop->device.Post([&](Program& p) {
            MapTransferHold transfer(p.maps);
            p.maps.document.SetPoint(MapKind::LPG, 0, 3, MapEditCause::Replace);
            filled = true;
            while (!release) {
                p.screen.Pump();
                QThread::msleep(2);
            }
        });
        QTRY_VERIFY(filled.load());
        ShowPage(c.chart_page);
        QTest::qWait(100);
        desktop->screen.Flush();
        QCoreApplication::processEvents();
        QCOMPARE(chart->PointY(0), 9.0);
        release = true;
        Settle();
        ShowPage(c.grid_page);
        Settle();
        QCOMPARE(chart->PointY(0), 3.0);
        QCOMPARE(grid->CellText(1, 1), QString("3"));

        // In whole-map mode the keys move no single point: nothing is marked.
        ShowPage(c.chart_page);
        SetBox(c.whole_map_box, true);
        ShowPage(c.grid_page);
        ShowPage(c.chart_page);
        Settle();
        QCOMPARE(chart->PointColour(12), Blue());
    }

    // A burst of point changes from the device thread reaches the chart in
    // as few batches as frames passed, and the chart ends on the last values.
    void pointChangesAreCoalesced() {
        const auto& c = MapControlsAt(0);
        ShowPage(c.chart_page);
        auto* chart = Chart(c.kind);
        Settle();
        const int batches_before = desktop->screen.BatchCount();
        const int replots_before = chart->ReplotCount();
        QElapsedTimer clock;
        clock.start();
        desktop->device.Post([](Program& p) {
            for (int i = 0; i < 60; ++i) p.screen.controls().SetPointY("LineSeries1", i, 1.0 + i * 0.25);
        });
        QVERIFY(desktop->device.WaitIdle(10000));
        QTRY_COMPARE_WITH_TIMEOUT(chart->PointY(59), 1.0 + 59 * 0.25, 2000);
        QCoreApplication::processEvents();  // the queued replot
        const int batches = desktop->screen.BatchCount() - batches_before;
        const int replots = chart->ReplotCount() - replots_before;
        const qint64 frames = clock.elapsed() / QtScreen::kFrameMs + 1;
        QVERIFY2(batches >= 1 && batches <= frames,
                 qPrintable(QString("%1 batches in %2 frames").arg(batches).arg(frames)));
        // Each batch is drawn once, however many points it moves.
        QVERIFY2(replots >= 1 && replots <= batches, qPrintable(QString("%1 replots, %2 batches").arg(replots).arg(batches)));
        for (int i = 0; i < 60; ++i) QCOMPARE(chart->PointY(i), 1.0 + i * 0.25);
        QCOMPARE(chart->PointY(60), 9.0);
    }

    // An arrow key held down over the chart in whole-map mode: 100 repeats,
    // each moving all 80 points, cost at most one chart redraw per frame,
    // and the chart ends on what the map holds.
    void heldArrowKeyRedrawsOncePerFrame() {
        const auto& c = MapControlsAt(0);
        ShowPage(c.chart_page);
        SetBox(c.whole_map_box, true);
        SetBox(c.big_step_box, false);
        auto* chart = Chart(c.kind);
        Hover(chart);
        Settle();
        const int replots_before = chart->ReplotCount();
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; n < 100; ++n) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(chart, &repeat);
            QCoreApplication::processEvents();
        }
        Settle();
        QCoreApplication::processEvents();
        const int replots = chart->ReplotCount() - replots_before;
        const qint64 frames = clock.elapsed() / QtScreen::kFrameMs + 2;
        qInfo("chart redraws per 100 key repeats: %d (%lld frames)", replots, static_cast<long long>(frames));
        QVERIFY2(replots >= 1 && replots <= frames, qPrintable(QString("%1 replots in %2 frames").arg(replots).arg(frames)));
        const MapSnapshot after = Snapshot(c.kind);
        QVERIFY2(qAbs(after.map.y[0] - 19.0) < 1e-6, qPrintable(QString::number(after.map.y[0])));
        for (int i = 0; i < MapPointCount; ++i) QCOMPARE(chart->PointY(i), after.map.y[static_cast<std::size_t>(i)]);
        Unhover(chart);
    }

    void view3D() {
        // Band 0 (pedal released) at half the gas throttle, band 7 unchanged.
        OnDevice([](Program& p) {
            for (int i = 0; i < 10; ++i) p.maps.document.SetPoint(MapKind::LPGLoadDependence, static_cast<std::size_t>(i), 50, MapEditCause::Replace);
            BuildLPG3DView(p.screen, p.maps.document.Maps());
        });
        auto* view = Find<View3DWidget>("Chart3DGAS");
        // Front to back: band 7 first, band 0 last.
        for (int slot = 0; slot < k3DBandCount; ++slot) {
            const auto& pts = view->points(slot);
            QCOMPARE(int(pts.size()), MapPointCount);
            QCOMPARE(pts[10].y, slot == k3DBandCount - 1 ? 4.5 : 9.0);
            QCOMPARE(pts[10].x, 1000.0);
        }
        // The front ribbon is drawn below and left of the one behind it.
        const QPointF front = view->Project(0, 4000, 9), back = view->Project(1, 4000, 9);
        QVERIFY(front.x() < back.x() && front.y() > back.y());
        ShowPage(page::Gas3D);
        // A right-button drag moves the vertical range; the axis box brings
        // the set range back.
        const QPoint from = view->rect().center();
        QTest::mousePress(view, Qt::RightButton, {}, from);
        QMouseEvent drag(QEvent::MouseMove, from + QPoint(0, 40), view->mapToGlobal(from + QPoint(0, 40)),
                         Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &drag);
        QTest::mouseRelease(view, Qt::RightButton, {}, from + QPoint(0, 40));
        QVERIFY(view->axisMinimum() > 1.0);
        QCOMPARE(view->axisMaximum() - view->axisMinimum(), 20.0);
        SetBox("LPG_3D_ScaleCheckBox", true);
        Settle();
        QCOMPARE(view->axisMinimum(), -20.0);
        SetBox("LPG_3D_ScaleCheckBox", false);
        Settle();
        QCOMPARE(view->axisMinimum(), 0.0);
        QCOMPARE(Find<View3DWidget>("Chart3DPetrol")->axisMaximum(), 35.0);
    }

    // Every map page and both 3D pages, with plausible maps, to PNG files
    // (into $TOVREL_SCREENSHOT_DIR when set): none is blank, each shows its
    // curves or numbers, and no control sticks out of its page.
    void pagesRender() {
        OnDevice([](Program& p) {
            TimingMaps m = p.maps.document.Maps();
            // As the device holds them: hundredths of a degree, whole percent.
            for (std::size_t i = 0; i < MapPointCount; ++i) {
                const double t = static_cast<double>(i) / 79;
                m.LPG.y[i] = std::round(200 + 1200 * t) / 100;
                m.Petrol.y[i] = std::round(100 + 1800 * t) / 100;
                m.LPGLoadDependence.y[i] = std::round(60 + 40 * t);
                m.PetrolLoadDependence.y[i] = std::round(80 + 20 * t);
            }
            p.maps.document.ReplaceAll(m, MapEditCause::Replace);
            RefreshAllMapViews(p.screen, p.maps.document.Maps());
        });
        SetBox(MapControlsAt(0).whole_map_box, false);
        OnDevice([](Program& p) { ChartClickSeries(p.screen, p.maps, MapKind::LPG, 30); });

        const QString dir = qEnvironmentVariable("TOVREL_SCREENSHOT_DIR", QDir::tempPath() + "/tovrel-map-pages");
        QDir().mkpath(dir);
        for (int index = page::LPGChart; index <= page::Petrol3D; ++index) {
            ShowPage(index);
            QWidget* page = host->widget(index);
            const QImage image = page->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY(image.save(QString("%1/page%2-%3.png").arg(dir).arg(index).arg(page->objectName())));
            std::set<QRgb> colours;
            int blue = 0, red = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb px = image.pixel(x, y);
                    colours.insert(px);
                    if (px == qRgb(0, 0, 255)) ++blue;
                    if (px == qRgb(255, 0, 0)) ++red;
                }
            QVERIFY2(colours.size() > 20, qPrintable(page->objectName()));
            const bool chart_page = index < page::Gas3D && index % 2 == 1;
            if (chart_page) QVERIFY2(blue > 200, qPrintable(page->objectName()));
            if (index == page::LPGChart) QVERIFY(red > 10);
            for (auto* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->objectName().isEmpty()) continue;
                QVERIFY2(page->rect().contains(child->geometry()), qPrintable(child->objectName()));
                QVERIFY2(child->width() >= child->minimumSizeHint().width(), qPrintable(child->objectName()));
            }
        }
    }

    // Controls carry their component names and the start captions.
    void namesAndCaptions() {
        for (int i = 0; i < 4; ++i) {
            const auto& c = MapControlsAt(i);
            QCOMPARE(Box(c.big_step_box)->text(), QString("Изменение карты с большим шагом"));
            QCOMPARE(Box(c.whole_map_box)->text(), QString("Двигать всю карту"));
            QCOMPARE(Box(c.scale_box)->text(), QString("Отрицательные значения"));
            QCOMPARE(Chart(c.kind)->SeriesName(), QString::fromUtf8(c.series));
            QCOMPARE(Grid(c.kind)->columnCount(), 9);
            QCOMPARE(Grid(c.kind)->rowCount(), 11);
            QCOMPARE(Grid(c.kind)->columnWidth(3), 64);
            QCOMPARE(Grid(c.kind)->rowHeight(3), 24);
        }
        QCOMPARE(Chart(MapKind::LPG)->Title(), QString("Карта УОЗ для газа"));
        QCOMPARE(Chart(MapKind::PetrolLoadDependence)->Title(), QString("Карта TPS для бензина"));
        // The horizontal axes span the pedal travel and the speeds, with no
        // more room beyond than a marker needs.
        for (auto [kind, hi] : {std::pair{MapKind::LPG, 8000.0}, std::pair{MapKind::LPGLoadDependence, 80.0}}) {
            const auto x = Chart(kind)->HorizontalRange();
            QVERIFY(x.minimum <= 0 && x.minimum >= -hi * 0.02);
            QVERIFY(x.maximum >= hi && x.maximum <= hi * 1.02);
        }
        QCOMPARE(Grid(MapKind::LPG)->CellText(8, 0), QString("7000"));
        QCOMPARE(Grid(MapKind::LPG)->CellText(0, 10), QString("900"));
        QCOMPARE(Grid(MapKind::PetrolLoadDependence)->CellText(8, 0), QString("7"));
        for (const char* name : {"PreviouselyGASmapWriteButton", "PreviouselyPETROLmapWriteButton",
                                 "PreviouselyGASTPSmapWriteButton", "PreviouselyPETROLTPSmapWriteButton"})
            QCOMPARE(Find<QPushButton>(name)->text(),
                     QString("Предварительная запись карты в вариатор без сохранения при отключении"));
        QCOMPARE(Find<QPushButton>("Button2")->text(),
                 QString("Построение трёхмерных карт опережения зажигания для газа"));
        QCOMPARE(Find<View3DWidget>("Chart3DGAS")->title(), QString("3D GAS MAP"));
    }
};

QTEST_MAIN(MapPagesTest)
#include "map_pages_test.moc"
