// The compare in the window: a chart draws the other side's series dashed
// beside its own line, its grid shows the differences on D, and the
// restore-point list shows every point of its folder, a damaged one with its
// reason.
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "Desktop.h"
#include "MapChart.h"
#include "MapGrid.h"
#include "RestorePointsDialog.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

std::vector<ChartPoint> Ramp(double base) {
    std::vector<ChartPoint> points;
    for (int i = 0; i < 80; ++i) points.push_back({100.0 * i, base + i * 0.1});
    return points;
}

}  // namespace

class CompareViewTest : public QObject {
    Q_OBJECT

private slots:
    void chartDrawsTheOtherSideWithoutTouchingItsOwnLine() {
        MapChart::Setup setup;
        setup.name = "Chart1";
        setup.series = "LineSeries1";
        setup.compare_series = "LineSeries1Compare";
        setup.x_maximum = 8000;
        setup.y_maximum = 20;
        MapChart chart(setup);
        chart.resize(1000, 480);
        chart.ApplySeries("LineSeries1", Ramp(2));
        chart.ApplySeries("LineSeries1Compare", Ramp(5));
        QCOMPARE(chart.PointCount(), 80);
        QCOMPARE(chart.ComparePointCount(), 80);
        QCOMPARE(chart.PointY(10), 3.0);
        QCOMPARE(chart.ComparePointY(10), 6.0);
        // A point click still finds the own line's points only.
        chart.ApplyPointY("LineSeries1", 10, 4);
        QCOMPARE(chart.ComparePointY(10), 6.0);
        chart.ApplySeries("LineSeries1Compare", {});
        QCOMPARE(chart.ComparePointCount(), 0);
        QCOMPARE(chart.PointCount(), 80);

        // A chart without a compare series ignores one.
        setup.compare_series.clear();
        MapChart plain(setup);
        plain.ApplySeries("LineSeries1Compare", Ramp(5));
        QCOMPARE(plain.ComparePointCount(), 0);
    }

    // During a compare D cycles a grid through values, differences and
    // percent; the logic's values stay what it wrote, and only they can be
    // typed over.
    void gridShowsDifferencesWhileACompareRuns() {
        MapChart::Setup setup;
        setup.name = "Chart1";
        setup.series = "LineSeries1";
        setup.compare_series = "LineSeries1Compare";
        MapChart chart(setup);
        MapGrid grid("Grid1");
        chart.on_compare = [&grid](const std::vector<double>& theirs) { grid.SetComparison(theirs); };
        for (int p = 0; p < 80; ++p)
            grid.ApplyCellText(p / 10 + 1, p % 10 + 1, QString::number(10 + p * 0.5).toStdString());
        std::vector<ChartPoint> theirs;
        for (int p = 0; p < 80; ++p) theirs.push_back({100.0 * p, p == 0 ? 0.0 : p == 1 ? 11.0 : 10.0});
        chart.ApplySeries("LineSeries1Compare", theirs);

        const auto cell = [&grid](int point) { return grid.CellText(point / 10 + 1, point % 10 + 1); };
        QCOMPARE(cell(1), QString("10.5"));
        QTest::keyClick(&grid, Qt::Key_D);
        QCOMPARE(grid.CurrentView(), MapGrid::View::Difference);
        QCOMPARE(cell(0), QString("+10"));
        QCOMPARE(cell(1), QString("-0.5"));
        QCOMPARE(cell(10), QString("+5"));
        QCOMPARE(grid.CellText(0, 0), QString::fromUtf8("Δ"));
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);

        QTest::keyClick(&grid, Qt::Key_D);
        QCOMPARE(grid.CurrentView(), MapGrid::View::Percent);
        QCOMPARE(cell(0), QString::fromUtf8("—"));  // no percent of nothing
        QCOMPARE(cell(1), QString("-4.5 %"));
        QCOMPARE(cell(10), QString("+50 %"));
        // A value the logic writes meanwhile is shown by what differs.
        grid.ApplyCellText(2, 1, "20");
        QCOMPARE(cell(10), QString("+100 %"));

        QTest::keyClick(&grid, Qt::Key_D);
        QCOMPARE(grid.CurrentView(), MapGrid::View::Values);
        QCOMPARE(cell(10), QString("20"));
        QCOMPARE(cell(1), QString("10.5"));
        QVERIFY(grid.editTriggers() != QAbstractItemView::NoEditTriggers);

        // The compare's end brings the values back from any view.
        QTest::keyClick(&grid, Qt::Key_D);
        chart.ApplySeries("LineSeries1Compare", {});
        QCOMPARE(grid.CurrentView(), MapGrid::View::Values);
        QCOMPARE(cell(1), QString("10.5"));
        QCOMPARE(grid.CellText(0, 0), QString());
    }

    void listShowsPointsNewestFirstAndDamagedOnesWithTheirReason() {
        QTemporaryDir temp;
        const std::filesystem::path dir = temp.path().toStdString();
        RestorePointStore store(dir);
        Configuration c;
        c.timeout = "5";
        QVERIFY(store.Save(c, "первая", nullptr));
        QVERIFY(store.Save(c, "вторая", nullptr));
        std::ofstream(dir / "2001-01-01_00-00-00.xml") << "<variator60_2>";
        Desktop desktop;
        RestorePointsDialog dialog(desktop.ctx, dir);
        QCOMPARE(dialog.Rows(), 3);
        auto* table = dialog.findChild<QTableWidget*>("RestorePointsTable");
        QVERIFY(table);
        QCOMPARE(table->item(0, 1)->text(), QString("вторая"));
        QCOMPARE(table->item(1, 1)->text(), QString("первая"));
        QVERIFY(table->item(2, 1)->text().contains("2001-01-01_00-00-00.xml"));
        desktop.Stop(-1);
    }
};

QTEST_MAIN(CompareViewTest)
#include "compare_view_test.moc"
