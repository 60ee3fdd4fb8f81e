// The built-in demonstration on the desktop: its arguments, and the
// screenshot run from the start dialog to the last page.
#include <QtTest>
#include <QImage>
#include <QTabWidget>
#include <filesystem>
#include <set>

#include "Demo.h"
#include "DemoMode.h"
#include "Desktop.h"
#include "MainWindow.h"
#include "Program.h"
#include "SimFixture.h"

using namespace tovrel;

namespace {

struct Args {
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc = 0;
    explicit Args(std::vector<std::string> w) : words(std::move(w)) {
        for (auto& s : words) argv.push_back(s.data());
        argv.push_back(nullptr);
        argc = static_cast<int>(words.size());
    }
    QStringList Left() const {
        QStringList out;
        for (int i = 0; i < argc; ++i) out << argv[static_cast<std::size_t>(i)];
        return out;
    }
};

}  // namespace

class DemoModeTest : public QObject {
    Q_OBJECT
private slots:
    void arguments_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("shots");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("walk");
        QTest::newRow("none") << QStringList{"p", "-style", "fusion"} << true << false << "" << QStringList{"p", "-style", "fusion"} << QString();
        QTest::newRow("demo") << QStringList{"p", "--demo"} << true << true << "" << QStringList{"p"} << QString();
        QTest::newRow("screenshots") << QStringList{"p", "--screenshots", "/tmp/s", "-x"} << true << false << "/tmp/s" << QStringList{"p", "-x"} << QString();
        QTest::newRow("joined") << QStringList{"p", "--screenshots=/tmp/a/../s"} << true << false << "/tmp/s" << QStringList{"p"} << QString();
        QTest::newRow("relative") << QStringList{"p", "--screenshots", "shots"} << true << false
                                  << QString::fromStdString((std::filesystem::current_path() / "shots").string()) << QStringList{"p"} << QString();
        QTest::newRow("no directory") << QStringList{"p", "--screenshots"} << false << false << "" << QStringList{} << QString();
        QTest::newRow("empty directory") << QStringList{"p", "--screenshots="} << false << false << "" << QStringList{} << QString();
        // The walk against the system's ports: no simulator inside.
        QTest::newRow("walk") << QStringList{"p", "--walk", "/tmp/w", "-x"} << true << false << "" << QStringList{"p", "-x"} << "/tmp/w";
        QTest::newRow("walk joined") << QStringList{"p", "--walk=/tmp/w/"} << true << false << "" << QStringList{"p"} << "/tmp/w/";
        QTest::newRow("walk without directory") << QStringList{"p", "--walk"} << false << false << "" << QStringList{} << QString();
        QTest::newRow("walk with the demo") << QStringList{"p", "--walk", "/tmp/w", "--demo"} << false << false << "" << QStringList{} << QString();
        QTest::newRow("not ours") << QStringList{"p", "--walker", "--screenshotsx"} << true << false << "" << QStringList{"p", "--walker", "--screenshotsx"} << QString();
    }
    void arguments() {
        QFETCH(QStringList, given);
        QFETCH(bool, ok);
        QFETCH(bool, demo);
        QFETCH(QString, shots);
        QFETCH(QStringList, left);
        QFETCH(QString, walk);
        std::vector<std::string> words;
        for (const auto& g : given) words.push_back(g.toStdString());
        Args args(words);
        std::string error;
        auto request = ui::TakeDemoArguments(args.argc, args.argv.data(), error);
        QCOMPARE(request.has_value(), ok);
        if (!ok) {
            QVERIFY(!error.empty());
            return;
        }
        QCOMPARE(request->demo, demo);
        QCOMPARE(request->screenshots, shots);
        QCOMPARE(request->walk, walk);
        QCOMPARE(request->Wanted(), demo || !shots.isEmpty());
        QCOMPARE(args.Left(), left);
        QCOMPARE(args.argv[static_cast<std::size_t>(args.argc)], nullptr);
    }

    void screenshotsShowTheReadVariatorOnEveryPage() {
        test::TempDir out;
        const auto cwd = std::filesystem::current_path();
        QStringList files;
        QString error;
        {
            ui::DemoMode demo(false);
            QCOMPARE(std::filesystem::current_path().string(), demo.demo().dir());
            ui::Desktop desktop;
            QStringList messages;
            files = demo.TakeScreenshots(desktop, QString::fromStdString(out.path()), error, &messages, 30000);
            QVERIFY2(!files.isEmpty(), qPrintable(error));
            QCOMPARE(messages, QStringList{});
            QCOMPARE(desktop.screen.Text("Label2"), std::string("Подключен"));
            QCOMPARE(desktop.screen.Text("ComboBox1"), std::to_string(demo.demo().port_number()));
            // The maps the window holds are the demo variator's, not zeros.
            sim::Configuration expected = sim::DemoConfiguration();
            bool same = false;
            desktop.device.Post([&](Program& p) {
                same = true;
                for (int i = 0; i < 80; ++i)
                    same = same && std::abs(p.maps.document.Maps().LPG.y[static_cast<std::size_t>(i)] * 100 - expected.maps[0][static_cast<std::size_t>(i)]) < 0.5 &&
                           p.maps.document.Maps().LPGLoadDependence.y[static_cast<std::size_t>(i)] == expected.maps[2][static_cast<std::size_t>(i)];
            });
            QVERIFY(desktop.device.WaitIdle(5000));
            QVERIFY(same);
            // The pages with the dashboard under a map page while the monitor
            // runs, then a compare on the LPG chart and the restore-point list.
            QCOMPARE(files.size(), desktop.window()->pages()->count() + 4);
            QVERIFY(files.filter("19-dashboard.png").size() == 1);
        }
        QCOMPARE(std::filesystem::current_path(), cwd);
        QVERIFY(files.first().endsWith("00-start-dialog.png"));
        QVERIFY(files[files.size() - 3].endsWith("15-Additional_TPS_TabSheet.png"));
        QVERIFY(files[files.size() - 2].endsWith("16-compare.png"));
        QVERIFY(files.last().endsWith("17-restore-points.png"));
        for (const auto& f : files) {
            QImage image(f);
            QVERIFY2(!image.isNull(), qPrintable(f));
            std::set<QRgb> colours;
            for (int y = 0; y < image.height(); y += 7)
                for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
            QVERIFY2(colours.size() > 3, qPrintable(f));  // not blank
        }
    }
};

QTEST_MAIN(DemoModeTest)
#include "demo_mode_test.moc"
