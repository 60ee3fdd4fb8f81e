// The compare in the window: a chart draws the other side's series dashed
// beside its own line, and the restore-point list shows every point of its
// folder, a damaged one with its reason.
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "Desktop.h"
#include "MapChart.h"
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
