// The settings, firmware, oscilloscope and throttle pages in the running
// window against the in-process simulated variator: the monitor started and
// stopped by two presses while the window repaints, a firmware update and an
// oscillogram capture from their pages, and each page drawn.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <memory>
#include <set>

#include "Desktop.h"
#include "Dataextractor.h"
#include "MapEditor.h"
#include "ConfigFile.h"
#include "Crc.h"
#include "Engine.h"
#include "Gauge.h"
#include "MainWindow.h"
#include "MapControls.h"
#include "ModalAnswer.h"
#include "OscillogramPicture.h"
#include "OscillogramPlot.h"
#include "PageWidgets.h"
#include "ConfigurationReadWrite.h"
#include "FirmwareImage.h"
#include "Firmwareupdate.h"
#include "Monitor.h"
#include "Ocsilloscope.h"
#include "RecordingScreen.h"
#include "ScopeLog.h"
#include "TpsCalibration.h"
#include "Program.h"
#include "Variator.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> holder_;
    QDir dir_;
    std::unique_ptr<sim::Variator> sim_;
    std::shared_ptr<sim::Engine> engine_;
    std::unique_ptr<Desktop> desk_;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString DirPath() const { return dir_.path(); }

    // The simulated variator on port 1 and the window connected to it by
    // its start sequence (start option 1: connect and read the device
    // options).
    void Start(int mode, bool paced = false, std::function<void(sim::Options&)> tune = {}) {
        ::setenv("TOVREL_PORT_DIR", DirPath().toLocal8Bit().constData(), 1);
        sim::Options o;
        o.port_dir = DirPath().toStdString();
        o.port_number = 1;
        o.mode = mode;
        o.paced = paced;
        if (tune) tune(o);
        sim_ = std::make_unique<sim::Variator>(o);
        if (mode == 1) {
            sim::EngineOptions e;
            e.gas_after_s = 0.2;
            e.gas_delay_s = 0.5;
            engine_ = std::make_shared<sim::Engine>(e);
            sim_->AddAddressHandler(engine_);
        }
        sim_->Start();
        const std::string where = DirPath().toStdString();
        desk_ = std::make_unique<Desktop>([where](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.default_port_dir = where;
            p->link.port_dir = where;
            p->settings.program_dir = where;
            p->live.logs_dir = where + "/LOGs";
            p->scope.record_dir = where;
            p->scope.timings.wait_ms = 5000;
            p->scope.timings.init_silence_ms = 5000;
            p->StartOption = 1;
            return p;
        });
        desk_->screen.dialogs_suppressed = true;
        desk_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(desk_->window()));
        // Its first activation runs the start sequence: the scan finds the
        // variator on port 1.
        desk_->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(desk_->window()));
        const char* state = mode == 1 ? "Подключен" : mode == 2 ? "Вариатор в режиме смены прошивки"
                                                                : "Вариатор в режиме записи осциллограмм";
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>("Label2")->text(), QString(state), 20000);
        QVERIFY(desk_->device.WaitIdle(20000));
    }

    template <class W>
    W* Find(const char* name) const {
        W* w = desk_->window()->findChild<W*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }

    static QString ScreenshotDir() {
        return qEnvironmentVariableIsSet("TOVREL_SCREENSHOT_DIR") ? qEnvironmentVariable("TOVREL_SCREENSHOT_DIR")
                                                                  : QCoreApplication::applicationDirPath();
    }

    // The controls the page builds (not the parts Qt makes inside them).
    static bool Named(const QWidget* w) { return !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"); }

    // Writes `image` as the firmware file and answers every file dialog with
    // it, naming each dialog asked for in `dialogs` when given.
    bool OfferFirmwareImage(const QByteArray& image, QStringList* dialogs = nullptr) {
        const QString path = Path("new.evf0");
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(image) != image.size()) return false;
        desk_->screen.file_answer = [dialogs, p = path.toStdString()](const std::string& dialog) {
            if (dialogs) *dialogs << QString::fromStdString(dialog);
            return std::optional<std::string>(p);
        };
        return true;
    }

    void ShowPage(int index) {
        desk_->window()->pages()->setCurrentIndex(index);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { QVERIFY(UseTahoma(*qApp)); }
    void init() {
        holder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(holder_->isValid());
        dir_ = QDir(holder_->path());
    }
    void cleanup() {
        if (desk_) QVERIFY(desk_->Stop(20000));
        desk_.reset();
        sim_.reset();
        engine_.reset();
        ::unsetenv("TOVREL_PORT_DIR");
    }

    // The first press starts the run, values arrive while the window keeps
    // painting, the second press ends it long before its 1000 passes.
    void monitor_starts_and_stops_by_two_presses() {
        // Paced like the real line: a pass takes about a tenth of a second.
        Start(1, true);
        if (QTest::currentTestFailed()) return;
        ShowPage(0);
        auto* button = Find<QPushButton>("GetRealtimeParametersButton");
        auto* speed = Find<QLabel>("FrequencyLabel");
        auto* fuel = Find<QLabel>("FuelTypeLabel");
        auto* progress = Find<Gauge>("ReadRealtimeParametersPercentCompletedGauge");
        QCOMPARE(button->text(), QString("Несколько секунд считывать параметры реального времени"));
        QCOMPARE(speed->text(), QString("n/a"));
        QVERIFY(!progress->isVisible());
        PaintCounter paints(speed);

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            button->text(),
            QString("Обязательно!!! Повторно нажмите для завершения считывания перед дальнейшими действиями!!!"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(speed->text().endsWith(" об/мин"), 5000);
        QVERIFY(progress->isVisible());
        // The values keep changing on screen while the run goes on.
        std::set<QString> seen;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1500) {
            desk_->window()->repaint();
            QCoreApplication::processEvents();
            seen.insert(speed->text());
        }
        QVERIFY2(seen.size() > 2, "the engine speed did not change on screen");
        QVERIFY(paints.count > 2);
        QTRY_VERIFY_WITH_TIMEOUT(fuel->text() == "ГАЗ" || fuel->text() == "БЕНЗИН", 3000);
        QVERIFY(desk_->window()->grab().save(QDir(ScreenshotDir()).filePath("monitor_running.png")));

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString("Несколько секунд считывать параметры реального времени"),
                                  5000);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCoreApplication::processEvents();
        QCOMPARE(speed->text(), QString("n/a"));
        QCOMPARE(fuel->text(), QString("n/a"));
        QTRY_VERIFY(!progress->isVisible());
        QCOMPARE(progress->Progress(), 0);
        QCOMPARE(Find<Gauge>("PercentOfTPSOpenCGauge")->Progress(), 0);

        bool active = true;
        desk_->device.Post([&](Program& p) { active = p.maps.guard.RealtimeReadingActive; });
        QVERIFY(desk_->device.WaitIdle(5000));
        QVERIFY(!active);
        // The run ended by the press, far from its 1000 passes of at least
        // seven exchanges, and nothing polls the variator any more.
        const int frames = sim_->FramesSeen();
        QVERIFY2(frames < 1000 * 7, qPrintable(QString::number(frames)));
        QTest::qWait(300);
        QCOMPARE(sim_->FramesSeen(), frames);
    }

    // The page's button picks the image, the loader takes it, and the page
    // returns to its idle state with the variator reconnected.
    void firmware_update_from_its_page() {
        Start(1);
        if (QTest::currentTestFailed()) return;
        QByteArray image(3000, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 37 + 11) & 0xFF);
        QStringList dialogs;
        QVERIFY(OfferFirmwareImage(image, &dialogs));
        ShowPage(page::Firmware);
        auto* button = Find<QPushButton>("FirmwareFileSelectButton");
        auto* memo = Find<QPlainTextEdit>("FirmwareUpdateProcessMemo");
        auto* gauge = Find<Gauge>("FirmwareUpdateProcessGauge");
        QCOMPARE(memo->toPlainText(), QString("Файл прошивки не выбран. "));
        QStringList shown;  // every line the log showed at some moment

        QTest::mouseClick(button, Qt::LeftButton);
        // The update keeps its real pauses (about 6 s in all): what the log
        // and the button show stays on screen long enough to be seen.
        bool disabled_seen = false;
        QElapsedTimer t;
        t.start();
        while (sim_->LoaderUpdates() == 0 && t.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            disabled_seen = disabled_seen || !button->isEnabled();
            for (const QString& line : memo->toPlainText().split('\n'))
                if (!shown.contains(line)) shown << line;
        }
        QCOMPARE(sim_->LoaderUpdates(), 1);
        const auto got = sim_->LoaderImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(got.data()), static_cast<qsizetype>(got.size())), image);
        QCOMPARE(dialogs, QStringList{"FirmwareFileOpenDialog"});

        // Reconnected, configuration read again, the page back to idle.
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>("Label2")->text(), QString("Подключен"), 30000);
        QVERIFY(desk_->device.WaitIdle(30000));
        QCoreApplication::processEvents();
        QCOMPARE(button->text(), QString("Нажмите для выбора файла обновления прошивки"));
        QVERIFY(button->isEnabled());
        QCOMPARE(gauge->Progress(), 0);
        QCOMPARE(memo->toPlainText(), QString());
        QVERIFY(disabled_seen);
        const QString log = shown.join('\n');
        QVERIFY(log.contains("Нажали кнопку обновления файла прошивки"));
        QVERIFY(log.contains("3000 байт размер файла прошивки"));
        QVERIFY(log.contains("Передали вариатору 1024 байт"));
    }

    // A line that goes silent in the middle of the data: the page's stop
    // button, after its question, ends the wait at once; the log keeps its
    // lines and one box says the variator waits in its loader.
    void firmware_update_stopped_from_its_page() {
        Start(1, false, [](sim::Options& o) { o.line_fault = {sim::LineFault::Silent, 6000}; });
        if (QTest::currentTestFailed()) return;
        QVERIFY(OfferFirmwareImage(QByteArray(16384, '\x5A')));
        ShowPage(page::Firmware);
        auto* button = Find<QPushButton>("FirmwareFileSelectButton");
        auto* stop = Find<QPushButton>("FirmwareStopButton");
        auto* memo = Find<QPlainTextEdit>("FirmwareUpdateProcessMemo");
        QVERIFY(!stop->isEnabled());

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(memo->toPlainText().contains("Передали вариатору 1024 байт"), 30000);
        QVERIFY(stop->isEnabled());
        // The boxes are answered as a user would: yes to the question, then
        // the message read and closed.
        desk_->screen.dialogs_suppressed = false;
        QString question;
        tovrel::test::WhenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(stop, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!question.isEmpty(), 10000);
        QString message;
        tovrel::test::WhenModal<QMessageBox>([&](QMessageBox* box) {
            message = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QTRY_VERIFY_WITH_TIMEOUT(!message.isEmpty(), 15000);
        QVERIFY(desk_->device.WaitIdle(15000));
        // Far below the 20 s a silent packet answer is waited for.
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QCoreApplication::processEvents();
        QCOMPARE(question, Q(Tr(kStopUpdateQuestion)));
        QCOMPARE(message, Q(Tr(kUpdateInterruptedMessage)));
        const QStringList lines = memo->toPlainText().split('\n');
        QCOMPARE(lines.back(), Q(Tr(kUpdateInterruptedMessage)));
        QVERIFY(lines.contains(Q(Tr(kUpdateStoppedLine))));
        QVERIFY(lines.contains("Нажали кнопку обновления файла прошивки"));
        QVERIFY(button->isEnabled());
        QVERIFY(!stop->isEnabled());
        QCOMPARE(Find<QLabel>("Label2")->text(), QString("Вариатор в режиме смены прошивки"));
        QCOMPARE(sim_->LoaderUpdates(), 0);
    }

    // Closing the window in the middle of a firmware update is refused: the
    // window stays, the update runs to its end and the variator comes back
    // in its normal firmware with the new image; afterwards it closes.
    void closing_during_a_firmware_update_is_refused() {
        Start(1);
        if (QTest::currentTestFailed()) return;
        QByteArray image(3000, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 53 + 7) & 0xFF);
        QVERIFY(OfferFirmwareImage(image));
        ShowPage(page::Firmware);
        auto* memo = Find<QPlainTextEdit>("FirmwareUpdateProcessMemo");
        QTest::mouseClick(Find<QPushButton>("FirmwareFileSelectButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(memo->toPlainText().contains("Передали вариатору 1024 байт"), 30000);
        QCOMPARE(sim_->LoaderUpdates(), 0);

        desk_->window()->close();
        QCoreApplication::processEvents();
        QVERIFY(desk_->window()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(sim_->LoaderUpdates(), 1, 60000);
        const auto got = sim_->LoaderImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(got.data()), static_cast<qsizetype>(got.size())), image);
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>("Label2")->text(), QString("Подключен"), 30000);
        QVERIFY(desk_->device.WaitIdle(30000));
        QCOMPARE(sim_->Mode(), 1);
        QVERIFY(desk_->window()->isVisible());
        const auto messages = desk_->screen.Messages();
        QCOMPARE(std::count(messages.begin(), messages.end(), Tr(kCloseRefusedDuringUpdateMessage)), 1);

        desk_->window()->close();
        QTRY_VERIFY_WITH_TIMEOUT(!desk_->window()->isVisible(), 2000);
    }

    // Closing the window while the whole configuration is written waits for
    // the write and its commit: the variator ends with every new point in
    // its EEPROM, not with a half-new map in its working memory.
    void closing_during_a_write_waits_for_the_write_and_its_commit() {
        Start(1, true);
        if (QTest::currentTestFailed()) return;
        desk_->device.Post([](Program& p) {
            FillMapTemplate(p.maps.document);
            p.screen.controls().SetText(kStartTimeoutEdit, "12");
        });
        QVERIFY(desk_->device.WaitIdle(5000));
        const int commits = sim_->Commits();
        QTest::mouseClick(Find<QPushButton>("WriteData"), Qt::LeftButton);
        // A good part of the first map is in the variator's working memory.
        QTRY_VERIFY_WITH_TIMEOUT(sim_->Working().maps[0][20] == 900, 20000);
        QVERIFY(sim_->Working().maps[3][79] != 100);

        QElapsedTimer clock;
        clock.start();
        desk_->window()->close();
        QCoreApplication::processEvents();
        QVERIFY(desk_->window()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!desk_->window()->isVisible(), 60000);
        qInfo("the window closed %lld ms after the close, once the write ended", static_cast<long long>(clock.elapsed()));
        QVERIFY(desk_->device.WaitIdle(10000));
        const auto messages = desk_->screen.Messages();
        QCOMPARE(std::count(messages.begin(), messages.end(), Tr(kCloseWaitsForWriteMessage)), 1);
        QVERIFY(sim_->Commits() > commits);
        const sim::Configuration stored = sim_->Eeprom();
        for (int i = 0; i < 80; ++i) {
            QCOMPARE(stored.maps[0][i], std::int16_t{900});
            QCOMPARE(stored.maps[1][i], std::int16_t{200});
            QCOMPARE(stored.maps[2][i], std::int16_t{100});
            QCOMPARE(stored.maps[3][i], std::int16_t{100});
        }
        QCOMPARE(stored.start_timeout, std::int16_t{12});
    }

    void closing_during_a_loop_ends_it_within_a_second_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("monitor") << QString("GetRealtimeParametersButton");
        QTest::newRow("throttle tracking") << QString("StartFix_MAX_MIN_TPSButton");
    }
    // Closing the window during a long loop on the line asks it to stop and
    // closes once it has: within a second, and the port is let go.
    void closing_during_a_loop_ends_it_within_a_second() {
        QFETCH(QString, button);
        Start(1, true);
        if (QTest::currentTestFailed()) return;
        desk_->device.Post([](Program& p) {
            p.live.monitor_passes = 100000;
            p.live.tracking_passes = 100000;
        });
        QVERIFY(desk_->device.WaitIdle(5000));
        auto* press = Find<QPushButton>(button.toUtf8().constData());
        const QString idle = press->text();
        QTest::mouseClick(press, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(press->text() != idle, 5000);
        QTest::qWait(300);
        QVERIFY(!desk_->device.Idle());

        QElapsedTimer clock;
        clock.start();
        desk_->window()->close();
        QTRY_VERIFY_WITH_TIMEOUT(!desk_->window()->isVisible(), 5000);
        QVERIFY(desk_->device.WaitIdle(5000));
        const auto took = clock.elapsed();
        qInfo("closed %lld ms after the close", static_cast<long long>(took));
        QVERIFY2(took < 1000, qPrintable(QString::number(took)));
        QCOMPARE(Find<QLabel>("Label2")->text(), QString("Не подключен"));
        ComPort other;
        QVERIFY(other.Open(Path("COM1").toStdString(), 9600, 100));
    }

    // A command that needs the line, pressed while a capture runs, is
    // refused with a box that does not hold the capture up: records keep
    // coming while the box is open, and three presses give one box.
    void a_command_pressed_during_a_capture_loses_no_record() {
        Start(3, true, [](sim::Options& o) {
            o.scope_records = -1;
            o.scope_init_steps = 3;
            o.scope_step_ms = 20;
        });
        if (QTest::currentTestFailed()) return;
        ShowPage(page::Oscilloscope);
        auto* button = Find<QPushButton>("ConnectAndShowOsciillButton");
        auto* status = Find<QLabel>("Oscill_Label");
        const auto recorded = [status] {
            const QStringList words = status->text().split(' ');
            return words.size() > 1 && words[0] == "Записали" ? words[1].toInt() : -1;
        };
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(recorded() > 0, 20000);

        desk_->screen.dialogs_suppressed = false;
        const auto before = desk_->screen.Messages().size();
        for (int i = 0; i < 3; ++i) QTest::mouseClick(Find<QPushButton>("ReadData"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(desk_->screen.Messages().size(), before + 3, 5000);
        QTest::qWait(100);
        const int at_box = recorded();
        QTest::qWait(1000);
        QList<QMessageBox*> boxes;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) boxes << box;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.front()->text(), Q(Tr(kLineBusyMessage)));
        // 9600 baud carry well over 100 records a second.
        QVERIFY2(recorded() > at_box + 50, qPrintable(QString("%1 -> %2").arg(at_box).arg(recorded())));
        boxes.front()->button(QMessageBox::Ok)->click();
        desk_->screen.dialogs_suppressed = true;

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Запись осциллограммы отменена."), 10000);
        QVERIFY(desk_->device.WaitIdle(10000));
    }

    // A double click on the capture button starts one capture, which runs
    // on; a press made later stops it, and the instructions come back.
    void oscillogram_double_click_starts_one_capture() {
        auto log = std::make_shared<sim::ScopeLog>();
        Start(3, true, [log](sim::Options& o) {
            o.scope_log = log;
            o.scope_init_steps = 12;  // about three seconds of initialisation
            o.scope_step_ms = 250;
            o.scope_records = -1;
        });
        if (QTest::currentTestFailed()) return;
        ShowPage(page::Oscilloscope);
        auto* button = Find<QPushButton>("ConnectAndShowOsciillButton");
        auto* status = Find<QLabel>("Oscill_Label");
        auto* memo = Find<QPlainTextEdit>("Oscill_Memo");

        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Прошли 3 шаг инициализации. Ожидайте..."), 10000);
        QCOMPARE(button->text(), QString("Идёт запись осциллограммы, ожидайте"));
        QVERIFY(!memo->isVisible());

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Запись осциллограммы отменена."), 10000);
        QVERIFY(desk_->device.WaitIdle(10000));
        QTRY_COMPARE(button->text(), QString("Подключить к вариатору и отобразить осциллограмму"));
        QTRY_VERIFY(memo->isVisible());
        QCOMPARE(log->StreamRequests(), 1);
        QCOMPARE(log->StopFrames(), 1);
    }

    void oscillogram_capture_from_its_page_data() {
        QTest::addColumn<bool>("mode32");
        QTest::newRow("16-bit") << false;
        QTest::newRow("32-bit") << true;
    }
    // With the oscilloscope firmware the page records the stream into its
    // file and draws the first records on its picture.
    void oscillogram_capture_from_its_page() {
        QFETCH(bool, mode32);
        Start(3, false, [](sim::Options& o) {
            // Half-periods of 16000 timer ticks: 13 pixels each in 16-bit
            // mode, 1 in 32-bit mode.
            o.scope_rpm = 500;
            o.scope_records = 400;
            o.scope_init_steps = 3;
            o.scope_step_ms = 20;
        });
        if (QTest::currentTestFailed()) return;
        ShowPage(page::Oscilloscope);
        auto* button = Find<QPushButton>("ConnectAndShowOsciillButton");
        auto* status = Find<QLabel>("Oscill_Label");
        auto* memo = Find<QPlainTextEdit>("Oscill_Memo");
        auto* mode = Find<QCheckBox>("Oscilloscope_32_Mode_CheckBox");
        auto* picture = Find<OscillogramPicture>("Oscill_Image");
        QVERIFY(memo->isVisible());
        if (mode32) QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(5, mode->height() / 2));
        QCOMPARE(mode->isChecked(), mode32);

        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Запись оциллограммы завершена вариатором."), 30000);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCoreApplication::processEvents();
        QCOMPARE(button->text(), QString("Подключить к вариатору и отобразить осциллограмму"));
        QVERIFY(button->isEnabled());
        QVERIFY(!memo->isVisible());
        QVERIFY(desk_->window()->grab().save(
            QDir(ScreenshotDir()).filePath(QString("oscillogram_%1.png").arg(mode32 ? 32 : 16))));

        QFile file(Path(mode32 ? "signal32.txt" : "signal.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        // The head line, 400 record lines, nothing after the last CR LF.
        QCOMPARE(lines.size(), 1 + 400 + 1);
        QVERIFY(lines.front().endsWith("3    \r"));
        QVERIFY(lines.back().isEmpty());
        QVERIFY(!QFile::exists(Path(mode32 ? "signal.txt" : "signal32.txt")));

        // The picture: widened, with the square wave at both level rows.
        QTRY_COMPARE(picture->width(), static_cast<int>(kOscillPlotMinWidth));
        const QImage drawn = picture->Snapshot();
        int high = 0, low = 0;
        for (int x = 0; x < 2000; ++x) {
            high += drawn.pixelColor(x, kLevelOneRow) == QColor(Qt::black);
            low += drawn.pixelColor(x, kLevelZeroRow) == QColor(Qt::black);
        }
        QVERIFY2(high > 30 && low > 30, qPrintable(QString("%1 %2").arg(high).arg(low)));
        QCOMPARE(drawn.pixelColor(9000, 100), QColor(230, 230, 230));
    }

    void closing_during_a_capture_leaves_no_temporary_data() {
        QTest::addColumn<bool>("streaming");
        QTest::newRow("initialisation on a silent line") << false;
        QTest::newRow("stream gone silent") << true;
    }
    // Closing the window while a capture waits on a silent line, with the
    // program's own 60 s waits, ends the capture at once: the records so far
    // are kept (an older file stays when there are none), and no temporary
    // record file is left beside them.
    void closing_during_a_capture_leaves_no_temporary() {
        QFETCH(bool, streaming);
        auto log = std::make_shared<sim::ScopeLog>();
        Start(3, true, [streaming, log](sim::Options& o) {
            o.scope_records = -1;
            o.scope_init_steps = streaming ? 3 : 0;  // 0: the initialisation never ends
            o.scope_step_ms = 20;
            o.scope_fault = sim::ScopeFault::StreamStops;
            o.scope_fault_record = 300;
            o.scope_log = log;
        });
        if (QTest::currentTestFailed()) return;
        desk_->device.Post([](Program& p) { p.scope.timings = CaptureTimings{}; });
        {
            std::ofstream(Path("signal.txt").toStdString(), std::ios::binary) << "older";
        }
        ShowPage(page::Oscilloscope);
        auto* status = Find<QLabel>("Oscill_Label");
        QTest::mouseClick(Find<QPushButton>("ConnectAndShowOsciillButton"), Qt::LeftButton);
        if (streaming) {
            // The last record the variator sends before it falls silent.
            QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Записали 299 "), 20000);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(log->StreamRequests(), 1, 20000);
        }
        // The variator has gone quiet: the capture waits for a byte.
        QTest::qWait(400);
        QVERIFY(!desk_->device.Idle());

        QElapsedTimer clock;
        clock.start();
        desk_->window()->close();
        QVERIFY(desk_->device.WaitIdle(10000));
        const auto took = clock.elapsed();
        qInfo("the capture ended %lld ms after the window's close", static_cast<long long>(took));
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));

        QStringList temporaries = dir_.entryList({".signal*"}, QDir::Files | QDir::Hidden);
        QVERIFY2(temporaries.isEmpty(), qPrintable(temporaries.join(' ')));
        QFile file(Path("signal.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        if (streaming) {
            // The head line and every record the variator sent.
            QCOMPARE(content.count('\n'), 1 + 300);
            QVERIFY(content.endsWith("\r\n"));
        } else {
            QCOMPARE(content, QByteArray("older"));
        }
    }

    // What the fitter types or steps into the pages' edits is what the
    // handlers store, whichever button sends it.
    void values_typed_and_stepped_reach_the_variator() {
        Start(1);
        if (QTest::currentTestFailed()) return;
        ShowPage(page::ThrottleCalibration);
        auto* max_edit = Find<QLineEdit>("MAX_TPS_Value_Edit");
        max_edit->selectAll();
        QTest::keyClicks(max_edit, "3900");
        QTest::mouseClick(Find<QPushButton>("Fix_Manually_Set_MAX_TPS_Value_Button"), Qt::LeftButton);
        // A press while another store holds the line would be refused.
        QVERIFY(desk_->device.WaitIdle(10000));
        // The spin buttons: three steps up from the starting 0.
        auto* min_updown = Find<UpDown>("MIN_TPS_Value_UpDown");
        for (int i = 0; i < 3; ++i) min_updown->Step(1);
        QCOMPARE(Find<QLineEdit>("MIN_TPS_Value_Edit")->text(), QString("3"));
        QTest::mouseClick(Find<QPushButton>("Fix_Manually_Set_MIN_TPS_Value_Button"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCOMPARE(sim_->Eeprom().tps_max, 3900);
        QCOMPARE(sim_->Eeprom().tps_min, 3);
        QTRY_COMPARE(Find<QLabel>("ADC_MAX_Value_Label")->text(), QString("3900"));
        QCOMPARE(Find<QLabel>("ADC_MIN_Value_Label")->text(), QString("3"));
        QCOMPARE(Find<QPushButton>("Fix_Manually_Set_MAX_TPS_Value_Button")->text(),
                 QString("Сохранить в энергонезависимую память EEPROM вариатора как значение при максимальной нагрузке."));

        // The present reading stored from the settings page.
        engine_->Hold(129, 3333);
        ShowPage(page::Settings);
        QTest::mouseClick(Find<QPushButton>("SaveADCMaxButton"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCOMPARE(sim_->Eeprom().tps_max, 3333);
        QTRY_COMPARE(Find<QLabel>("ADC_MAX_Value_Label")->text(), QString("3333"));

        // The start timeout typed on the settings page goes out with the
        // write-all of the top row.
        auto* timeout = Find<QLineEdit>("EEditVariatorStartTimeout");
        timeout->selectAll();
        QTest::keyClicks(timeout, "12");
        QTest::mouseClick(Find<QPushButton>("WriteData"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(30000));
        QCOMPARE(sim_->Eeprom().start_timeout, 12);
        QCOMPARE(desk_->screen.Messages(), std::vector<std::string>{});
    }

    // Tracking on the throttle page: two presses, the tracked values shown,
    // swapped and stored.
    void throttle_tracking_from_its_page() {
        Start(1, true);
        if (QTest::currentTestFailed()) return;
        ShowPage(page::ThrottleCalibration);
        auto* track = Find<QPushButton>("StartFix_MAX_MIN_TPSButton");
        auto* reading = Find<QLabel>("Label25");
        auto* max = Find<QLabel>("Detected_MAX_ADC_Label");
        auto* min = Find<QLabel>("Detected_MIN_ADC_Label");
        QCOMPARE(max->text(), QString("n/a"));
        QTest::mouseClick(track, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            track->text(),
            QString("Обязательно!!! Повторно нажмите для завершения считывания перед дальнейшими действиями!!!"), 5000);
        bool ok = false;
        QTRY_VERIFY_WITH_TIMEOUT((reading->text().toInt(&ok), ok), 5000);
        QTest::qWait(500);
        QTest::mouseClick(track, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(track->text(), QString("Начать фиксировать минимальное и максимальное значения. "), 5000);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCoreApplication::processEvents();
        bool max_ok = false, min_ok = false;
        const int high = max->text().toInt(&max_ok);
        const int low = min->text().toInt(&min_ok);
        QVERIFY(max_ok && min_ok);
        QVERIFY(low <= high);

        QTest::mouseClick(Find<QPushButton>("Change_Min_to_Max_TPSButton"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(5000));
        QTRY_COMPARE(max->text(), QString::number(low));
        QCOMPARE(min->text(), QString::number(high));
        QTest::mouseClick(Find<QPushButton>("Fix_Auto_Detected_MAX_TPSButton"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(10000));
        QTest::mouseClick(Find<QPushButton>("Fix_Auto_Detected_MIN_TPSButton"), Qt::LeftButton);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCOMPARE(sim_->Eeprom().tps_max, low);
        QCOMPARE(sim_->Eeprom().tps_min, high);
    }

    // The pages start as the logic's own set-up of them leaves the screen,
    // and the loops' buttons with their idle captions.
    void pages_start_as_the_logic_sets_them_up() {
        Start(1);
        if (QTest::currentTestFailed()) return;
        test::RecordingScreen logic;
        InitConfigurationControls(logic);
        InitFirmwarePage(logic);
        SetUpOscilloscopePage(logic);
        logic.SetText(monitor::kButton, Tr(monitor::kIdleCaption));
        logic.SetText(tps::kTrackButton, Tr(tps::kTrackIdleCaption));
        // Only the controls of these pages: the top row belongs to the window
        // and the connection made above has changed some of it.
        QList<QWidget*> pages;
        for (int index : {page::Settings, page::Firmware, page::Oscilloscope, page::ThrottleCalibration})
            pages << desk_->window()->pages()->widget(index);
        auto on_pages = [&](QWidget* w) {
            for (QWidget* p : pages)
                if (p->isAncestorOf(w)) return true;
            return false;
        };
        int compared = 0;
        for (const auto& e : logic.events) {
            const QString name = QString::fromStdString(e.control);
            QWidget* w = desk_->window()->findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable("no control " + name));
            if (!on_pages(w) || name.startsWith("TabSheet")) continue;  // the window's own
            if (e.property == Property::Text) {
                const QString want = QString::fromStdString(std::get<std::string>(e.value));
                QString have;
                if (auto* l = qobject_cast<QLabel*>(w)) have = l->text();
                else if (auto* b = qobject_cast<QAbstractButton*>(w)) have = b->text();
                else if (auto* t = qobject_cast<QLineEdit*>(w)) have = t->text();
                else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) have = m->toPlainText();
                else if (auto* g = qobject_cast<QGroupBox*>(w)) have = g->title();
                else QFAIL(qPrintable("no text on " + name));
                QVERIFY2(have == want, qPrintable(name + ": \"" + have + "\" instead of \"" + want + "\""));
                ++compared;
            } else if (e.property == Property::Visible) {
                QVERIFY2(w->isHidden() != std::get<bool>(e.value), qPrintable(name + " visibility"));
            } else if (e.property == Property::Enabled) {
                QVERIFY2(w->isEnabled() == std::get<bool>(e.value), qPrintable(name + " enabled"));
            } else if (e.property == Property::Position) {
                auto* g = qobject_cast<Gauge*>(w);
                QVERIFY2(g && g->Progress() == std::get<int>(e.value), qPrintable(name + " position"));
            }
        }
        QVERIFY(compared > 15);
    }

    // Every control the logic addresses on these pages exists under its
    // component name on the page it belongs to: a name spelt otherwise
    // would swallow what the logic sets.
    void controls_carry_their_component_names() {
        Start(1);
        if (QTest::currentTestFailed()) return;
        const std::pair<int, QStringList> pages[] = {
            {page::Settings,
             {"EEPROMParametersGroupBox", "LabelVariatorStartTimeout", "EEditVariatorStartTimeout", "UpDownTimeout",
              "Label15", "Label3", "Label4", "ADC_MAX_Value_Label", "ADC_MIN_Value_Label", "SaveADCMaxButton",
              "SaveADCMinButton", "RealTimeParametersGroupBox", "GetRealtimeParametersButton",
              "ReadRealtimeParametersPercentCompletedGauge", "CurrentADCValueLabel", "Label5", "FrequencyLabel",
              "Label6", "NecessaryAngleLabel", "Label10", "SynchronizationLabel", "Label14", "FuelTypeLabel", "Label7",
              "TimeForGasAnglesLabel", "Label13", "PercentOfTPSOpenCGauge", "Label8", "CurrentTPSCorrectionCGauge",
              "Label9", "TPSCorrectionValueLabel", "Label20", "Label12", "CMP1_Signal_Label", "CMP2_Signal_Label",
              "Label21", "Label23", "CPUTemperatureLabel", "Label22", "CalculatedAngleLabel", "DirectSendLabel",
              "need_good_tahoeLabel", "AdaptationsCounterLabel", "Label11", "Label16", "Label17", "Label30"}},
            {page::Firmware,
             {"FirmwareFileSelectButton", "FirmwareStopButton", "FirmwareUpdateProcessMemo",
              "FirmwareUpdateProcessGauge", "Label18", "Label19"}},
            {page::Oscilloscope,
             {"ConnectAndShowOsciillButton", "OscillPrescalerSelectButton", "Oscilloscope_32_Mode_CheckBox",
              "Oscill_Label", "Oscill_Memo", "OscillScrollBox", "Oscill_Image"}},
            {page::ThrottleCalibration,
             {"Automatic_TPS_Parameters_Detect_GroupBox", "Manual_TPS_Parameters_Detect_GroupBox",
              "StartFix_MAX_MIN_TPSButton", "Label24", "Label25", "Label26", "Label27", "Detected_MAX_ADC_Label",
              "Detected_MIN_ADC_Label", "Change_Min_to_Max_TPSButton", "Fix_Auto_Detected_MAX_TPSButton",
              "Fix_Auto_Detected_MIN_TPSButton", "MAX_TPS_Value_Edit", "MAX_TPS_Value_UpDown", "MIN_TPS_Value_Edit",
              "MIN_TPS_Value_UpDown", "Label28", "Label29", "Fix_Manually_Set_MAX_TPS_Value_Button",
              "Fix_Manually_Set_MIN_TPS_Value_Button"}},
        };
        for (const auto& [index, names] : pages) {
            QWidget* page = desk_->window()->pages()->widget(index);
            for (const QString& name : names) {
                const auto found = desk_->window()->findChildren<QWidget*>(name);
                QVERIFY2(found.size() == 1, qPrintable(name + " is not there exactly once"));
                QVERIFY2(page->isAncestorOf(found.front()), qPrintable(name + " is not on its page"));
            }
        }
    }

    void pages_drawn_whole_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("settings") << page::Settings << "TabSheetVariatorSettings";
        QTest::newRow("firmware") << page::Firmware << "FirmwareUpdateTabSheet";
        QTest::newRow("oscilloscope") << page::Oscilloscope << "OscilloscopeTabSheet";
        QTest::newRow("throttle") << page::ThrottleCalibration << "Additional_TPS_TabSheet";
    }
    // Each page drawn with its starting texts: something on it, every
    // control inside the page, no two controls on top of each other, no
    // caption cut off. Saved as PNG beside the test (or into
    // $TOVREL_SCREENSHOT_DIR).
    void pages_drawn_whole() {
        QFETCH(int, index);
        QFETCH(QString, name);
        Start(1);
        if (QTest::currentTestFailed()) return;
        ShowPage(index);
        QWidget* page = desk_->window()->pages()->widget(index);
        QCOMPARE(page->objectName(), name);
        // Show the service values as the hot key does: they must fit too.
        for (auto* w : page->findChildren<QWidget*>()) w->setVisible(true);
        QCoreApplication::processEvents();

        const QImage shot = page->grab().toImage();
        QVERIFY(shot.save(QDir(ScreenshotDir()).filePath(QString("page_%1_%2.png").arg(index, 2, 10, QChar('0')).arg(name))));
        QHash<QRgb, int> colours;
        for (int y = 0; y < shot.height(); y += 2)
            for (int x = 0; x < shot.width(); x += 2) ++colours[shot.pixel(x, y)];
        int most = 0;
        for (int n : colours) most = std::max(most, n);
        const int total = (shot.width() / 2) * (shot.height() / 2);
        QVERIFY2(colours.size() > 8 && most < total * 97 / 100, "the page looks blank");

        const QRect inside = page->rect();
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!Named(w)) continue;
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            QVERIFY2(inside.contains(r) || w->objectName() == "Oscill_Image",
                     qPrintable(w->objectName() + " lies outside the page"));
            if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(w->objectName() + " cuts its caption"));
            if (auto* button = qobject_cast<QPushButton*>(w); button && button->metaObject() == &QPushButton::staticMetaObject)
                QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                         qPrintable(w->objectName() + " cuts its caption"));
            if (auto* button = qobject_cast<WrapButton*>(w)) {
                const QRect room = button->rect().adjusted(6, 3, -6, -3);
                const QRect needed = button->fontMetrics().boundingRect(room, Qt::TextWordWrap, button->text());
                QVERIFY2(needed.height() <= room.height() && needed.width() <= room.width(),
                         qPrintable(w->objectName() + " cuts its caption"));
            }
            if (auto* box = qobject_cast<QCheckBox*>(w))
                QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(w->objectName() + " cuts its caption"));
        }
        // Controls of one parent do not overlap (the instructions lie over
        // the oscillogram until the first capture hides them).
        QList<QWidget*> parents = page->findChildren<QWidget*>();
        parents << page;
        for (QWidget* parent : parents) {
            QList<QWidget*> siblings;
            for (QWidget* w : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (Named(w)) siblings << w;
            for (int i = 0; i < siblings.size(); ++i)
                for (int j = i + 1; j < siblings.size(); ++j) {
                    QWidget* a = siblings[i];
                    QWidget* b = siblings[j];
                    const QSet<QString> pair{a->objectName(), b->objectName()};
                    if (pair == QSet<QString>{"Oscill_Memo", "OscillScrollBox"}) continue;
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + " overlaps " + b->objectName()));
                }
        }
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
