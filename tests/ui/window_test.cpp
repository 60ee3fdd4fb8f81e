// The start dialog and the main window against the in-process simulated
// variator: the start option, the start sequence, the hot keys, the
// connection menu, commands refused while the line is held, the closing.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "Calculations.h"
#include "Dataextractor.h"
#include "Desktop.h"
#include "Gui2.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapGrid.h"
#include "ModalAnswer.h"
#include "Program.h"
#include "Shell.h"
#include "StartDialog.h"
#include "StartUnit.h"
#include "Engine.h"
#include "Line.h"
#include "Variator.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

// A configuration whose every value differs, within each map's range.
sim::Configuration DistinctConfiguration() {
    sim::Configuration c;
    for (int i = 0; i < 80; ++i) {
        c.maps[0][i] = static_cast<std::int16_t>(100 + i * 3);
        c.maps[1][i] = static_cast<std::int16_t>(-50 + i * 2);
        c.maps[2][i] = static_cast<std::int16_t>(80 - i);
        c.maps[3][i] = static_cast<std::int16_t>(-(i % 40));
    }
    c.tps_min = 300;
    c.tps_max = 3500;
    c.start_timeout = 30;
    return c;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::vector<std::unique_ptr<sim::Variator>> sims;
    std::unique_ptr<Desktop> desktop;

    sim::Variator& AddSim(int port, int mode = 1) {
        sim::Options o;
        o.port_dir = dir->path().toStdString();
        o.port_number = port;
        o.mode = mode;
        sims.push_back(std::make_unique<sim::Variator>(o));
        sims.back()->SetEeprom(DistinctConfiguration());
        sims.back()->SetWorking(DistinctConfiguration());
        sims.back()->Start();
        return *sims.back();
    }
    void MakeDesktop() {
        const std::string path = dir->path().toStdString();
        desktop = std::make_unique<Desktop>([path](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.sleep_ms = [](int) {};
            p->link.default_port_dir = path;
            p->link.port_dir = path;
            p->settings.program_dir = path;
            return p;
        });
    }
    // Runs `call` on the device thread and waits until it and what it
    // queued are done.
    void OnDevice(DeviceThread::Call call) {
        desktop->device.Post(std::move(call));
        QVERIFY(desktop->device.WaitIdle(60000));
    }
    // The start dialog answered by `user`, then the main window shown and
    // its start sequence run to its end.
    void Start(std::function<void(StartDialog&)> user) {
        tovrel::test::WhenModal<StartDialog>([user](StartDialog* d) { user(*d); });
        desktop->RunStartDialog();
        desktop->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(desktop->window()));
        QTest::qWait(10);
        QVERIFY(desktop->device.WaitIdle(60000));
    }
    static void Continue(StartDialog& d, int item) {
        d.options()->findChildren<QRadioButton*>()[item]->click();
        d.continueButton()->click();
    }
    std::string DefaultPortFile() {
        QFile f(dir->filePath(kDefaultPortFile));
        if (!f.open(QIODevice::ReadOnly)) return "(none)";
        return f.readAll().toStdString();
    }
    // The port the file names, 0 when it names none.
    int RememberedPort() {
        int remembered = 0;
        OnDevice([&](Program& p) {
            std::uint8_t port = 0;
            if (p.link.LoadDefaultPort(port)) remembered = port;
        });
        return remembered;
    }
    void RememberPort(int port) {
        OnDevice([port](Program& p) { p.link.SaveDefaultPort(static_cast<std::uint8_t>(port)); });
    }
    QLabel* Label(const char* name) { return desktop->window()->findChild<QLabel*>(name); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        ::setenv("TOVREL_PORT_DIR", dir->path().toUtf8().constData(), 1);
        MakeDesktop();
        desktop->screen.dialogs_suppressed = true;
    }
    void cleanup() {
        QVERIFY(desktop->Stop(20000));
        desktop.reset();
        sims.clear();
        ::unsetenv("TOVREL_PORT_DIR");
        dir.reset();
    }

    // Each way of leaving the start dialog, and the option it leaves.
    void startDialogSetsTheStartOption_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("option");
        QTest::newRow("item 0, Продолжить") << 0 << "click" << 0;
        QTest::newRow("item 1, Продолжить") << 1 << "click" << 1;
        QTest::newRow("item 2, Продолжить") << 2 << "click" << 2;
        QTest::newRow("item 1, Enter") << 1 << "enter" << 1;
        QTest::newRow("item 2, close button") << 2 << "close" << 0;
        QTest::newRow("item 1, Escape") << 1 << "escape" << 0;
    }
    void startDialogSetsTheStartOption() {
        QFETCH(int, item);
        QFETCH(QString, how);
        QFETCH(int, option);
        auto& dialog = desktop->MakeStartDialog();
        tovrel::test::WhenModal<StartDialog>([&](StartDialog*) {
            dialog.options()->findChildren<QRadioButton*>()[item]->click();
            if (how == "click") dialog.continueButton()->click();
            else if (how == "enter") QTest::keyClick(dialog.options()->findChildren<QRadioButton*>()[item], Qt::Key_Return);
            else if (how == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
            else dialog.close();
        });
        // Returns only when the dialog is gone.
        desktop->RunStartDialog();
        QVERIFY(!dialog.isVisible());
        int start_option = -1;
        OnDevice([&](Program& p) { start_option = p.StartOption; });
        QCOMPARE(start_option, option);
    }

    void startDialogLooksAsDescribed() {
        auto& dialog = desktop->MakeStartDialog();
        QCOMPARE(dialog.windowTitle(), QString("Начальная конфигурация"));
        QCOMPARE(dialog.size(), QSize(635, 151));
        QCOMPARE(dialog.options()->geometry(), QRect(32, 8, 569, 105));
        QCOMPARE(dialog.options()->title(), QString("Опции подключения"));
        QCOMPARE(dialog.continueButton()->geometry(), QRect(32, 119, 569, 25));
        QVERIFY(dialog.continueButton()->isDefault());
        const auto items = dialog.options()->findChildren<QRadioButton*>();
        QCOMPARE(items.size(), 3);
        QVERIFY(items[0]->isChecked());
        if (const char* dir_env = std::getenv("TOVREL_SCREENSHOT_DIR"))
            QVERIFY(dialog.grab().save(QDir(dir_env).filePath("start-dialog.png")));
        for (auto* item : items) {
            // Each item's text fits its button and the buttons stay inside the group.
            QVERIFY(item->sizeHint().width() <= item->width());
            QVERIFY(dialog.options()->rect().contains(item->geometry()));
        }
    }

    // The remembered port is wrong, the scan finds the variator: the file
    // names the port found, and option 0 reads the device's maps.
    void startWithWrongRememberedPortReadsTheFoundDevice() {
        auto& sim = AddSim(5);
        RememberPort(3);
        Start([](StartDialog& d) { Continue(d, 0); });
        QCOMPARE(Label("Label2")->text(), QString("Подключен"));
        QCOMPARE(Label("Label2")->palette().color(QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(desktop->window()->findChild<QComboBox*>("ComboBox1")->currentText(), QString("5"));
        TimingMaps maps;
        OnDevice([&](Program& p) { maps = p.maps.document.Maps(); });
        QCOMPARE(RememberedPort(), 5);
        const auto eeprom = sim.Eeprom();
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 80; ++i)
                QCOMPARE(maps[k].y[static_cast<std::size_t>(i)],
                         DecodeMapValue(kMapKinds[static_cast<std::size_t>(k)], eeprom.maps[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)]));
        QVERIFY(desktop->screen.Messages().empty());
        QVERIFY(!desktop->window()->findChild<QProgressBar*>("ProgressBar1")->isVisible());
        // The charts draw the device's maps; the grids show what the logic put in their cells.
        for (int k = 0; k < 4; ++k) {
            const auto& controls = MapControlsAt(k);
            auto* chart = desktop->window()->findChild<MapChart*>(QString::fromUtf8(controls.chart.data(), int(controls.chart.size())));
            QVERIFY2(chart, controls.chart.data());
            QCOMPARE(chart->PointCount(), 80);
            for (int i = 0; i < 80; ++i)
                QCOMPARE(chart->PointY(i), maps[k].y[static_cast<std::size_t>(i)]);
            auto* grid = desktop->window()->findChild<MapGrid*>(QString::fromUtf8(controls.grid.data(), int(controls.grid.size())));
            QVERIFY2(grid, controls.grid.data());
            for (int c = 1; c < grid->columnCount(); ++c)
                for (int r = 1; r < grid->rowCount(); ++r)
                    QCOMPARE(grid->CellText(c, r).toStdString(), desktop->screen.Text(GridCell(controls.grid, c, r)));
            QVERIFY(!grid->CellText(1, 1).isEmpty());
        }
    }

    // Option 1 connects without reading the maps; option 2 turns the beeps
    // on and opens the firmware page.
    void startOptionsOneAndTwo_data() {
        QTest::addColumn<int>("option");
        QTest::newRow("connect only") << 1;
        QTest::newRow("firmware update") << 2;
    }
    void startOptionsOneAndTwo() {
        QFETCH(int, option);
        AddSim(2);
        Start([option](StartDialog& d) { Continue(d, option); });
        QCOMPARE(Label("Label2")->text(), QString("Подключен"));
        bool beeps = false;
        TimingMaps maps;
        OnDevice([&](Program& p) {
            beeps = p.FirmwareBeepEnabled;
            maps = p.maps.document.Maps();
        });
        QCOMPARE(beeps, option == 2);
        QCOMPARE(maps.LPG.y[10], 0.0);  // not read
        QCOMPARE(desktop->window()->pages()->currentIndex(), option == 2 ? page::Firmware : page::Settings);
        QCOMPARE(RememberedPort(), 2);
    }

    // No variator anywhere: one message, "disconnected", nothing remembered.
    void startWithoutDevice() {
        Start([](StartDialog& d) { Continue(d, 0); });
        QCOMPARE(desktop->screen.Messages(), std::vector<std::string>{std::string(Tr(gui2::kNoDeviceMessage))});
        QCOMPARE(Label("Label2")->text(), QString("Не подключен"));
        QCOMPARE(Label("Label2")->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(DefaultPortFile(), std::string("(none)"));
        QCOMPARE(desktop->window()->findChild<QComboBox*>("ComboBox1")->currentText(), QString("0"));
    }

    // Closing the window while the start's scan waits on silent ports stops
    // the scan: the window closes within a second, and no "nothing found"
    // box follows it.
    void closingDuringTheStartScanEndsIt() {
        std::vector<std::unique_ptr<sim::Line>> silent;
        for (int n = 1; n <= 3; ++n)
            silent.push_back(std::make_unique<sim::Line>(dir->filePath(QString("COM%1").arg(n)).toStdString()));
        tovrel::test::WhenModal<StartDialog>([](StartDialog* d) { Continue(*d, 0); });
        desktop->RunStartDialog();
        desktop->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(desktop->window()));
        QTRY_COMPARE_WITH_TIMEOUT(Label("Label2")->text(), QString("Устанавливается подключение, ожидайте"), 5000);
        QTest::qWait(300);
        QVERIFY(!desktop->device.Idle());

        QElapsedTimer clock;
        clock.start();
        desktop->window()->close();
        QTRY_VERIFY_WITH_TIMEOUT(!desktop->window()->isVisible(), 5000);
        QVERIFY(desktop->device.WaitIdle(5000));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(desktop->screen.Messages(), std::vector<std::string>{});
        QCOMPARE(DefaultPortFile(), std::string("(none)"));
    }

    // Alt+T uncovers the table tabs (each time with its box), Alt+U the
    // service labels; both act wherever the focus is.
    void hotKeysUncoverTablesAndServiceValues() {
        Start([](StartDialog& d) { Continue(d, 1); });
        auto* window = desktop->window();
        auto* tabs = window->pages();
        for (int p : shell::HiddenTablePages) QVERIFY(!tabs->isTabVisible(p));
        QVERIFY(!Label("Label31")->isVisible());
        const auto before = desktop->screen.Messages().size();

        for (int round = 0; round < 2; ++round) {
            QTest::keyClick(window->findChild<QComboBox*>("ComboBox1"), Qt::Key_T, Qt::AltModifier);
            QVERIFY(desktop->device.WaitIdle(10000));
        }
        for (int p : shell::HiddenTablePages) QVERIFY(tabs->isTabVisible(p));
        auto messages = desktop->screen.Messages();
        QCOMPARE(messages.size(), before + 2);
        QCOMPARE(messages.back(), std::string(gui2::kTablesVisibleMessage));

        QTest::keyClick(tabs, Qt::Key_U, Qt::AltModifier);
        QVERIFY(desktop->device.WaitIdle(10000));
        for (const char* name : {"TAP_FirmwareTimerDivisionLabel", "Label31", "Lowest_Motor_RPM_Label"})
            QVERIFY2(Label(name)->isVisible(), name);
    }

    // The connection menu: a port box text of 0, a typed port, disconnecting.
    void connectionMenu() {
        AddSim(4);
        Start([](StartDialog& d) { Continue(d, 1); });
        auto* window = desktop->window();
        auto* box = window->findChild<QComboBox*>("ComboBox1");
        auto trigger = [&](const char* item) {
            window->findChild<QAction*>(item)->trigger();
            QVERIFY(desktop->device.WaitIdle(30000));
        };

        trigger("N12");
        QCOMPARE(desktop->screen.Messages().back(), std::string(Tr(gui2::kDisconnectedMessage)));
        QCOMPARE(Label("Label2")->text(), QString("Не подключен"));

        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "0");
        trigger("N9");
        QCOMPARE(desktop->screen.Messages().back(), std::string(Tr(gui2::kWrongPortMessage)));
        QCOMPARE(Label("Label2")->text(), QString("Не подключен"));

        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "4");
        trigger("N9");
        QCOMPARE(Label("Label2")->text(), QString("Подключен"));

        trigger("N12");
        trigger("N4");
        QCOMPARE(Label("Label2")->text(), QString("Подключен"));
        QCOMPARE(box->currentText(), QString("4"));
    }

    // While a procedure holds the line, the commands that would change the
    // maps or the files under it, or end its connection, are refused.
    void commandsWaitForARunningTransfer() {
        AddSim(1);
        Start([](StartDialog& d) { Continue(d, 1); });
        auto* window = desktop->window();
        std::atomic<bool> holding{false}, release{false};
        TimingMaps before, after;
        desktop->device.Post([&](Program& p) {
            before = p.maps.document.Maps();
            DeviceLink::LineHold hold(p.link);
            holding = true;
            while (!release) {
                p.screen.Pump();
                QThread::msleep(1);
            }
            after = p.maps.document.Maps();
        });
        QTRY_VERIFY_WITH_TIMEOUT(holding.load(), 10000);
        const auto count = desktop->screen.Messages().size();
        window->findChild<QPushButton*>("Button1")->click();  // the map template
        window->findChild<QAction*>("N2")->trigger();          // open a file
        window->findChild<QAction*>("N3")->trigger();          // save a file
        window->findChild<QAction*>("N12")->trigger();         // disconnect
        QTRY_COMPARE_WITH_TIMEOUT(desktop->screen.Messages().size(), count + 4, 10000);
        release = true;
        QVERIFY(desktop->device.WaitIdle(10000));
        for (std::size_t i = count; i < count + 4; ++i)
            QCOMPARE(desktop->screen.Messages()[i], std::string(Tr(kLineBusyMessage)));
        QVERIFY(before == after);
        QCOMPARE(Label("Label2")->text(), QString("Подключен"));
    }

    // Closing the window disconnects and lets the port go.
    void closingTheWindowReleasesThePort() {
        AddSim(1);
        Start([](StartDialog& d) { Continue(d, 1); });
        desktop->window()->close();
        QVERIFY(desktop->device.WaitIdle(10000));
        QCOMPARE(Label("Label2")->text(), QString("Не подключен"));
        bool released = false;
        OnDevice([&](Program& p) { released = p.link.port() == nullptr; });
        QVERIFY(released);
        // The port can be opened by another program now.
        ComPort other;
        QVERIFY(other.Open(dir->filePath("COM1").toStdString(), 9600, 100));
    }

    // Closing the window in the middle of a long monitor run stops the run
    // and closes within a second, instead of waiting for the run's passes.
    void closingDuringAMonitorRunEndsIt() {
        auto& sim = AddSim(1);
        auto engine = std::make_shared<sim::Engine>(sim::EngineOptions{});
        sim.AddAddressHandler(engine);
        OnDevice([](Program& p) { p.live.monitor_passes = 100000; });
        Start([](StartDialog& d) { Continue(d, 1); });
        desktop->window()->findChild<QPushButton*>("GetRealtimeParametersButton")->click();
        bool running = false;
        for (int i = 0; i < 200 && !running; ++i) {
            QTest::qWait(10);
            running = desktop->window()->findChild<QPushButton*>("GetRealtimeParametersButton")->text() !=
                      QString("Несколько секунд считывать параметры реального времени");
        }
        QVERIFY(running);
        QVERIFY(!desktop->device.Idle());
        QElapsedTimer clock;
        clock.start();
        desktop->window()->close();
        // The window closes once the run has stopped.
        QTRY_VERIFY_WITH_TIMEOUT(!desktop->window()->isVisible(), 5000);
        QVERIFY(desktop->device.WaitIdle(10000));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(Label("Label2")->text(), QString("Не подключен"));
    }

    // The top row as the window describes it, in a window of the given size.
    void mainWindowLayout() {
        Start([](StartDialog& d) { Continue(d, 1); });
        auto* w = desktop->window();
        QCOMPARE(w->windowTitle(), QString("60-2 TOVREL GUI VERSION 41.02.26"));
        QCOMPARE(w->content()->size(), QSize(1100, 642));
        QCOMPARE(w->pages()->geometry(), QRect(0, 82, 1100, 560));
        QCOMPARE(w->pages()->count(), 15);
        struct Place {
            const char* name;
            QRect rect;
        };
        const Place places[] = {
            {"WriteData", {4, 8, 323, 25}},   {"ReadData", {4, 39, 323, 25}},
            {"Label2", {446, -4, 513, 28}},   {"Button1", {977, 1, 110, 25}},
            {"ProgressBar1", {339, 45, 751, 17}},
        };
        for (const auto& p : places) QCOMPARE(w->findChild<QWidget*>(p.name)->geometry(), p.rect);
        QCOMPARE(w->findChild<QWidget*>("ComboBox1")->geometry().topLeft(), QPoint(386, 3));
        QCOMPARE(w->findChild<QWidget*>("ComboBox1")->width(), 41);
        // Captions fit their controls.
        for (const char* name : {"WriteData", "ReadData", "Button1"}) {
            auto* b = w->findChild<QPushButton*>(name);
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) + 8 <= b->width(), name);
        }
        auto* status = Label("Label2");
        for (const char* text : {"Устанавливается подключение, ожидайте", "Вариатор в режиме записи осциллограмм"})
            QVERIFY2(status->fontMetrics().horizontalAdvance(QString(text)) <= status->width(), text);
        QCOMPARE(status->font().pixelSize(), 21);
        QVERIFY(status->font().bold());
        QCOMPARE(w->font().family(), QString("Tahoma"));

        const char* dir_env = std::getenv("TOVREL_SCREENSHOT_DIR");
        if (dir_env) {
            QVERIFY(w->grab().save(QDir(dir_env).filePath("main-window.png")));
            for (int i = 0; i < w->pages()->count(); ++i) {
                w->pages()->setCurrentIndex(i);
                QVERIFY(w->grab().save(QDir(dir_env).filePath(QString("page-%1.png").arg(i, 2, 10, QChar('0')))));
            }
        }
        // Every control of the top row at once (a transfer on a device that
        // keeps logs, service values uncovered) overlaps none other.
        const char* row[] = {"WriteData", "ReadData", "Label1", "ComboBox1", "LabelProgress", "ProgressBar1",
                             "Label2", "Button1", "StartLOGButton", "LOGsCheckBox", "LOGsCounterLabel",
                             "TAP_FirmwareTimerDivisionLabel", "Label31", "Lowest_Motor_RPM_Label"};
        OnDevice([](Program& p) {
            p.screen.controls().SetText("LabelProgress", "Считывание карты УОЗ для бензина из вариатора");
            p.screen.controls().SetText("LOGsCounterLabel", "255");
            p.screen.controls().SetText("TAP_FirmwareTimerDivisionLabel", "65535");
            p.screen.controls().SetText("Lowest_Motor_RPM_Label", "2550");
            p.link.ShowConnectionState(state::Connecting);
        });
        for (const char* name : row) w->findChild<QWidget*>(name)->show();
        auto* progress = Label("LabelProgress");
        QVERIFY(progress->fontMetrics().horizontalAdvance(progress->text()) <= progress->width());
        for (const char* name : {"LOGsCounterLabel", "TAP_FirmwareTimerDivisionLabel", "Lowest_Motor_RPM_Label", "Label31"}) {
            auto* l = Label(name);
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width() + 1, name);
        }
        auto* logs = w->findChild<QCheckBox*>("LOGsCheckBox");
        {
            QStyleOptionButton option;
            option.initFrom(logs);
            option.text = logs->text();
            const QRect text = logs->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, logs);
            QVERIFY2(text.width() >= logs->fontMetrics().horizontalAdvance(logs->text().trimmed()),
                     qPrintable(QString::number(text.width())));
        }
        for (std::size_t a = 0; a < std::size(row); ++a) {
            for (std::size_t b = a + 1; b < std::size(row); ++b) {
                const QRect ra = w->findChild<QWidget*>(row[a])->geometry();
                const QRect rb = w->findChild<QWidget*>(row[b])->geometry();
                QVERIFY2(!ra.intersects(rb), qPrintable(QString("%1 overlaps %2").arg(row[a], row[b])));
            }
        }
        if (dir_env) QVERIFY(w->grab().save(QDir(dir_env).filePath("main-window-top-row.png")));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("tovrel-terminal");
    UseTahoma(app);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
