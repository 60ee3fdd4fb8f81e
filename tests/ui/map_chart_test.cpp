// One map chart on its own: what it draws after a burst of changes, how
// many replots the burst costs, the coloured point's marker, and changes made
// while the chart is hidden.
#include <QtTest>
#include <memory>

#include "Desktop.h"
#include "MapChart.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

constexpr int kPoints = 80;
const std::string kSeries = "LineSeries1";

QColor Red() { return QColor(255, 0, 0); }
QColor Blue() { return QColor(0, 0, 255); }

std::vector<ChartPoint> Ramp(double base) {
    std::vector<ChartPoint> points;
    for (int i = 0; i < kPoints; ++i) points.push_back({100.0 * i, base + i * 0.1});
    return points;
}

}  // namespace

class MapChartTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MapChart> chart;

    // The colour drawn at the centre of point `index`'s marker.
    QColor DrawnAt(int index) const {
        const QImage image = chart->grab().toImage();
        return image.pixelColor(chart->PointPosition(index).toPoint());
    }
    // Lets queued replots run.
    static void NextFrame() { QCoreApplication::processEvents(); }

private slots:
    void initTestCase() { UseTahoma(*qApp); }

    void init() {
        MapChart::Setup setup;
        setup.name = "Chart1";
        setup.series = QString::fromStdString(kSeries);
        setup.title = "Карта УОЗ для газа";
        setup.x_caption = "Скорость вращения коленвала (об/мин)";
        setup.y_caption = "Вносимый угол опережения зажигания (в градусах).";
        setup.x_maximum = 8000;
        setup.y_maximum = 20;
        chart = std::make_unique<MapChart>(setup);
        chart->resize(1000, 480);
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
        chart->ApplySeries(kSeries, Ramp(2));
        NextFrame();
    }

    void cleanup() { chart.reset(); }

    // 100 changes within one frame: the chart holds every one at once and
    // draws them all in a single replot on the next pass of the event loop.
    void burstOfChangesReplotsOnce() {
        const int before = chart->ReplotCount();
        for (int n = 0; n < 100; ++n) chart->ApplyPointY(kSeries, n % kPoints, 10 + (n % 7));
        chart->ApplyPointColour(kSeries, 30, Rgb{255, 0, 0});
        QCOMPARE(chart->ReplotCount(), before);  // nothing drawn yet
        for (int n = 0; n < kPoints; ++n) QCOMPARE(chart->PointY(n), 10.0 + ((n + (n < 20 ? kPoints : 0)) % 7));
        NextFrame();
        const int replots = chart->ReplotCount() - before;
        QVERIFY2(replots >= 1 && replots <= 2, qPrintable(QString("%1 replots").arg(replots)));
        // What is drawn is the last state: point 1 at its new height, point 30 red.
        QCOMPARE(DrawnAt(1), Blue());
        QCOMPARE(DrawnAt(30), Red());
        NextFrame();
        QCOMPARE(chart->ReplotCount() - before, replots);  // and nothing more afterwards
    }

    // The selected point's marker is red and follows the point when it
    // moves; its own colour back, or a new series, makes it blue again.
    void colouredPointMarker() {
        chart->ApplyPointColour(kSeries, 5, Rgb{255, 0, 0});
        NextFrame();
        QCOMPARE(chart->PointColour(5), Red());
        QCOMPARE(DrawnAt(5), Red());
        QCOMPARE(DrawnAt(6), Blue());

        chart->ApplyPointY(kSeries, 5, 15);
        NextFrame();
        QCOMPARE(DrawnAt(5), Red());

        chart->ApplyPointColour(kSeries, 5, std::nullopt);
        NextFrame();
        QCOMPARE(chart->PointColour(5), Blue());
        QCOMPARE(DrawnAt(5), Blue());

        chart->ApplyPointColour(kSeries, 7, Rgb{255, 0, 0});
        chart->ApplySeries(kSeries, Ramp(3));
        NextFrame();
        QCOMPARE(chart->PointColour(7), Blue());
        QCOMPARE(DrawnAt(7), Blue());
    }

    // Changes meant for another series, or for points the series does not
    // have, leave the chart as it is and queue no replot.
    void foreignAndOutOfRangeChangesIgnored() {
        const int before = chart->ReplotCount();
        chart->ApplyPointY("LineSeries2", 3, 19);
        chart->ApplyPointY(kSeries, -1, 19);
        chart->ApplyPointY(kSeries, kPoints, 19);
        chart->ApplyPointColour(kSeries, kPoints, Rgb{255, 0, 0});
        chart->ApplySeries("LineSeries2", Ramp(9));
        NextFrame();
        QCOMPARE(chart->ReplotCount(), before);
        QCOMPARE(chart->PointCount(), kPoints);
        for (int n = 0; n < kPoints; ++n) QCOMPARE(chart->PointY(n), 2 + n * 0.1);
        QCOMPARE(chart->PointY(kPoints), 0.0);
    }

    // A hidden chart (another page is shown) draws nothing while it is
    // hidden and shows the last state when it comes back.
    void hiddenChartDrawnWhenShown() {
        chart->hide();
        NextFrame();
        const int before = chart->ReplotCount();
        for (int n = 0; n < kPoints; ++n) chart->ApplyPointY(kSeries, n, 18);
        chart->ApplyPointColour(kSeries, 40, Rgb{255, 0, 0});
        NextFrame();
        QCOMPARE(chart->ReplotCount(), before);
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
        NextFrame();
        QVERIFY(chart->ReplotCount() > before);
        QCOMPARE(DrawnAt(39), Blue());
        QCOMPARE(DrawnAt(40), Red());
        QVERIFY(qAbs(chart->PointPosition(39).y() - chart->PointPosition(41).y()) < 0.5);
    }

    // The title and the vertical bounds come from the logic; the axis keeps
    // a little room beyond the bounds, and a bound that is not above the
    // other leaves the axis as it was.
    void titleAndBounds() {
        QVERIFY(chart->ApplyProperty(Property::Text, std::string("Карта УОЗ для бензина")));
        QVERIFY(chart->ApplyProperty(Property::Minimum, -20));
        QCOMPARE(chart->Title(), QString("Карта УОЗ для бензина"));
        QVERIFY(chart->VerticalRange().minimum < -20 && chart->VerticalRange().minimum > -21);
        QVERIFY(chart->VerticalRange().maximum > 20 && chart->VerticalRange().maximum < 21);
        QVERIFY(chart->ApplyProperty(Property::Minimum, 30));
        QCOMPARE(chart->verticalMinimum(), 30.0);
        QVERIFY(chart->VerticalRange().minimum < -20 && chart->VerticalRange().minimum > -21);
        QVERIFY(!chart->ApplyProperty(Property::Checked, true));
        // Point positions follow the range: the top bound sits near the plot's top.
        chart->ApplyProperty(Property::Minimum, 0);
        chart->ApplyPointY(kSeries, 0, 20);
        NextFrame();
        const QRect plot = chart->PlotArea();
        QVERIFY(plot.height() > 300);
        QVERIFY(qAbs(chart->PointPosition(0).y() - plot.top()) < plot.height() * 0.03);
    }
};

QTEST_MAIN(MapChartTest)
#include "map_chart_test.moc"
