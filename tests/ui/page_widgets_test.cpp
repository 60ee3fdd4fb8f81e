// The pages' own widgets: the gauge's clamping, the oscillogram picture drawn
// from another thread, the spin buttons beside a number edit and the
// wrapping button caption.
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <limits>
#include <thread>

#include "Gauge.h"
#include "OscillogramPicture.h"
#include "OscillogramPlot.h"
#include "PageWidgets.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

OscillogramRecord Record16(int level, std::uint16_t length) {
    OscillogramRecord r;
    r.marker = kRecordMarker;
    r.data[0] = static_cast<std::uint8_t>((level ? 0x80 : 0) | 5);
    r.data[1] = static_cast<std::uint8_t>(length >> 8);
    r.data[2] = static_cast<std::uint8_t>(length & 0xFF);
    return r;
}

QColor Colour(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

class PageWidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void gauge_clamps_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("shown");
        QTest::newRow("inside") << 35 << 35;
        QTest::newRow("lower end") << 0 << 0;
        QTest::newRow("upper end") << 100 << 100;
        QTest::newRow("negative") << -100 << 0;
        QTest::newRow("above") << 101 << 100;
        QTest::newRow("far above") << 65535 << 100;
        QTest::newRow("lowest int") << std::numeric_limits<int>::min() << 0;
    }
    void gauge_clamps() {
        QFETCH(int, given);
        QFETCH(int, shown);
        Gauge gauge;
        QVERIFY(gauge.ApplyProperty(Property::Position, given));
        QCOMPARE(gauge.Progress(), shown);
        QCOMPARE(gauge.Percent(), shown);
    }

    void gauge_range_stays_within_percent() {
        Gauge gauge;
        QVERIFY(gauge.ApplyProperty(Property::Maximum, 500));
        QVERIFY(gauge.ApplyProperty(Property::Minimum, -20));
        gauge.SetProgress(300);
        QCOMPARE(gauge.Percent(), 100);
        gauge.SetProgress(-5);
        QCOMPARE(gauge.Percent(), 0);
        // Properties that are not the gauge's own go to the screen.
        QVERIFY(!gauge.ApplyProperty(Property::Visible, false));
        QVERIFY(!gauge.ApplyProperty(Property::Text, std::string("x")));
    }

    void gauge_draws_its_fill_and_figure() {
        Gauge gauge;
        gauge.resize(200, 20);
        gauge.SetProgress(50);
        const QImage half = gauge.grab().toImage();
        // Filled on the left, empty (white) on the right.
        QCOMPARE(half.pixelColor(20, 10), QColor(0, 0, 128));
        QCOMPARE(half.pixelColor(180, 10), QColor(Qt::white));
        gauge.SetProgress(0);
        const QImage empty = gauge.grab().toImage();
        QCOMPARE(empty.pixelColor(20, 10), QColor(Qt::white));
    }

    // The logic clears and draws the picture on the device thread; the GUI
    // thread shows it. What the picture holds afterwards is the plot.
    void picture_takes_the_plot_from_another_thread() {
        OscillScrollBox box;
        box.resize(600, 400);
        auto* picture = new OscillogramPicture(kOscillImageWidth, kOscillImageHeight);
        box.setWidget(picture);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        OscillogramPlot plot(*picture);
        std::atomic<int> drawn{0};
        std::atomic<bool> done{false};
        std::thread device([&] {
            plot.ClearOscillogramPlot(kOscillPlotMinWidth);
            // 60 records of alternating level, 24 pixels each.
            for (int i = 0; i < 60; ++i) {
                if (plot.PlotOscillogramRecord(Record16(i % 2, 24 * 1200), false)) ++drawn;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            done = true;
        });
        // The GUI thread paints meanwhile.
        while (!done) {
            QCoreApplication::processEvents();
            box.viewport()->repaint();
        }
        device.join();
        QCOMPARE(drawn.load(), 60);
        QTRY_COMPARE(picture->width(), static_cast<int>(kOscillPlotMinWidth));
        QCOMPARE(picture->height(), kOscillImageHeight);

        const QImage image = picture->Snapshot();
        QCOMPARE(image.width(), static_cast<int>(kOscillPlotMinWidth));
        // Background, border, mid line.
        QCOMPARE(image.pixelColor(5000, 100), Colour(plot_colours::Background));
        QCOMPARE(image.pixelColor(5000, kOscillImageHeight - 1), Colour(plot_colours::Grey));
        QCOMPARE(image.pixelColor(9999, 200), Colour(plot_colours::Grey));
        QCOMPARE(image.pixelColor(5000, kOscillImageHeight / 2), Colour(plot_colours::Grey));
        // Record 0 (level 0) lies at row 300 over x 0..24, record 1 (level 1)
        // at row 10 over x 24..48, and so on; nothing past the last record.
        QCOMPARE(image.pixelColor(12, kLevelZeroRow), QColor(Qt::black));
        QCOMPARE(image.pixelColor(36, kLevelOneRow), QColor(Qt::black));
        QCOMPARE(image.pixelColor(36, kLevelZeroRow), Colour(plot_colours::Background));
        QCOMPARE(image.pixelColor(60 * 24 + 10, kLevelOneRow), Colour(plot_colours::Background));
        // The edge between them is a vertical line at x 24.
        QCOMPARE(image.pixelColor(24, 150), QColor(Qt::black));

        // What the widget shows is that image.
        const QImage shown = picture->grab(QRect(0, 0, 100, 320)).toImage();
        QCOMPARE(shown.pixelColor(12, kLevelZeroRow), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(36, kLevelOneRow), QColor(Qt::black));
    }

    void scroll_box_scrolls_horizontally_only() {
        OscillScrollBox box;
        box.resize(600, 300);
        auto* picture = new OscillogramPicture(kOscillImageWidth, kOscillImageHeight);
        box.setWidget(picture);
        picture->SetWidth(10000);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTRY_COMPARE(picture->width(), 10000);
        QVERIFY(box.ApplyProperty(Property::Position, 700));
        QCOMPARE(box.horizontalScrollBar()->value(), 700);
        QVERIFY(box.ApplyProperty(Property::Position, 0));
        QCOMPARE(box.horizontalScrollBar()->value(), 0);
        QVERIFY(!box.verticalScrollBar()->isVisible());
        QVERIFY(!box.ApplyProperty(Property::Visible, true));
    }

    void updown_steps_within_its_range_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << "7" << 1 << "8";
        QTest::newRow("down") << "7" << -1 << "6";
        QTest::newRow("top stays") << "4095" << 1 << "4095";
        QTest::newRow("bottom stays") << "0" << -1 << "0";
        // A number typed past the range comes back into it at the first click.
        QTest::newRow("typed past the top") << "5000" << 1 << "4095";
        QTest::newRow("empty edit") << "" << 1 << "1";
    }
    void updown_steps_within_its_range() {
        QFETCH(QString, text);
        QFETCH(int, delta);
        QFETCH(QString, after);
        QWidget parent;
        auto* edit = new QLineEdit(text, &parent);
        UpDown updown(edit, 0, 4095, &parent);
        QSignalSpy stepped(&updown, &UpDown::stepped);
        updown.Step(delta);
        QCOMPARE(edit->text(), after);
        QCOMPARE(stepped.count(), 1);
        QCOMPARE(stepped.at(0).at(0).toString(), after);
    }

    void updown_follows_the_arrow_keys_in_its_edit() {
        QWidget parent;
        auto* edit = new QLineEdit("10", &parent);
        UpDown updown(edit, 0, 25, &parent);
        QSignalSpy stepped(&updown, &UpDown::stepped);
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(edit->text(), QString("11"));
        QCOMPARE(stepped.count(), 3);
        // Other keys are the edit's own.
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(edit->text(), QString("115"));
    }
};

QTEST_MAIN(PageWidgetsTest)
#include "page_widgets_test.moc"
