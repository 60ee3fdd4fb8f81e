// The dashboard under the pages, against the in-process simulated variator:
// its values and strip chart follow the live feed, its button drives the
// settings page's monitor (and chains runs in continuous mode), recordings
// read back as they were made, and playback publishes a recording's passes
// as the monitor did.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <qcustomplot.h>

#include "Dashboard.h"
#include "Desktop.h"
#include "Engine.h"
#include "LiveRecorder.h"
#include "MainWindow.h"
#include "PlaybackBar.h"
#include "Program.h"
#include "Recording.h"
#include "Variator.h"

using namespace tovrel;
using namespace tovrel::ui;

namespace {

RealtimeSnapshot Snapshot(int pass, int rpm, int throttle_index, bool gas, int advance_hundredths, int sync) {
    RealtimeSnapshot s;
    s.pass = pass;
    s.engine_speed = static_cast<std::uint16_t>(rpm);
    s.tps_adc = static_cast<std::int16_t>(100 + throttle_index * 10);
    s.status = static_cast<std::uint16_t>((gas ? 0x100 : 0) | throttle_index);
    s.tps_correction = 0x6464;
    s.advance = static_cast<std::int16_t>(advance_hundredths);
    s.gas_time_sync = static_cast<std::uint16_t>(sync & 0xFF);
    s.temperature_raw = 1700;
    return s;
}

// The fields a recording keeps of a pass.
void ExpectSamePass(const RealtimeSnapshot& got, const RealtimeSnapshot& want) {
    QCOMPARE(got.engine_speed, want.engine_speed);
    QCOMPARE(got.tps_adc, want.tps_adc);
    QCOMPARE(got.status, want.status);
    QCOMPARE(got.advance, want.advance);
    QCOMPARE(got.gas_time_sync, want.gas_time_sync);
    QCOMPARE(got.Correction(), want.Correction());
}

}  // namespace

class DashboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> holder_;
    QDir dir_;
    std::unique_ptr<sim::Variator> sim_;
    std::shared_ptr<sim::Engine> engine_;
    std::unique_ptr<Desktop> desk_;
    Dashboard* dash_ = nullptr;

    // The simulated variator on port 1 (paced like the real line: a pass
    // takes about a tenth of a second) and the window connected to it;
    // monitor runs of `passes` passes.
    void Start(int passes = kRealtimePassCount, QSettings* settings = nullptr) {
        ::setenv("TOVREL_PORT_DIR", dir_.path().toLocal8Bit().constData(), 1);
        sim::Options o;
        o.port_dir = dir_.path().toStdString();
        o.port_number = 1;
        o.mode = 1;
        o.paced = true;
        sim_ = std::make_unique<sim::Variator>(o);
        engine_ = std::make_shared<sim::Engine>(sim::EngineOptions{});
        sim_->AddAddressHandler(engine_);
        sim_->Start();
        const std::string where = dir_.path().toStdString();
        desk_ = std::make_unique<Desktop>([where, passes](Screen& s, Canvas& c) {
            auto p = std::make_unique<Program>(s, c);
            p->link.default_port_dir = where;
            p->link.port_dir = where;
            p->settings.program_dir = where;
            p->live.logs_dir = where + "/LOGs";
            p->live.monitor_passes = passes;
            p->StartOption = 1;
            return p;
        });
        desk_->screen.dialogs_suppressed = true;
        desk_->settings = settings;
        desk_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(desk_->window()));
        desk_->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(desk_->window()));
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLabel>("Label2")->text(), QString("Подключен"), 20000);
        QVERIFY(desk_->device.WaitIdle(20000));
        dash_ = desk_->window()->findChild<Dashboard*>("Dashboard");
        QVERIFY(dash_);
        dash_->recorder().SetDirectory(dir_.filePath("recordings").toStdString());
    }

    template <class W>
    W* Find(const char* name) const {
        W* w = desk_->window()->findChild<W*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QString StatusText() const { return desk_->window()->statusBar()->currentMessage(); }
    TimingMaps DeviceMaps() {
        TimingMaps maps;
        desk_->device.Post([&maps](Program& p) { maps = p.maps.document.Maps(); });
        desk_->device.WaitIdle(10000);
        return maps;
    }
    void WaitMonitorIdle() {
        QTRY_VERIFY_WITH_TIMEOUT(!desk_->live_feed.MonitorRunning(), 20000);
        QVERIFY(desk_->device.WaitIdle(10000));
        QCoreApplication::processEvents();
    }

    // A recording of `passes` passes 100 ms apart, the engine speeding up
    // over the map's points and the fuel switching half way.
    QString WriteRecording(int passes) {
        std::string error;
        auto file = RecordingFile::Create(dir_.filePath("made").toStdString(), "2026-01-01_00-00-00",
                                          RecordingPreamble(DeviceOptions{}, 0x1234u), &error);
        if (!file) qFatal("%s", error.c_str());
        for (int i = 0; i < passes; ++i) {
            const auto s = Snapshot(i, 600 + i * 173, i % 80, i >= passes / 2, 500 + i * 10, i % 3 == 0 ? 0 : 1);
            file->Append(RecordingRow(s, i * 100, 10.0));
        }
        return QString::fromStdString(file->Path().string());
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
        dash_ = nullptr;
        ::unsetenv("TOVREL_PORT_DIR");
    }

    // The values show the last sample; the chart keeps the last minute
    // only, drawn by appending.
    void values_and_chart_follow_the_feed() {
        Start();
        if (QTest::currentTestFailed()) return;
        QVERIFY(dash_->isVisible());
        const struct {
            RealtimeSnapshot s;
            const char *speed, *throttle, *advance, *fuel, *sync;
        } cases[] = {
            {Snapshot(0, 2500, 79, true, 1250, 1), "2500 об/мин", "100 %", "12.5°", "ГАЗ", "есть"},
            {Snapshot(1, 800, 0, false, -300, 0), "800 об/мин", "0 %", "-3°", "БЕНЗИН", "нет"},
            {Snapshot(2, 0, 40, false, 0, -1), "0 об/мин", "50 %", "0°", "БЕНЗИН", "нет"},
        };
        const TimingMaps maps = DeviceMaps();
        long ms = 0;
        for (const auto& c : cases) {
            LiveSample sample;
            sample.snapshot = c.s;
            sample.points = OperatingPoints(c.s, maps);
            sample.ms = ms += 100;
            desk_->live_feed.Publish(sample);
            QCOMPARE(Find<QLabel>("DashEngineSpeed")->text(), QString::fromUtf8(c.speed));
            QCOMPARE(Find<QLabel>("DashThrottle")->text(), QString::fromUtf8(c.throttle));
            QCOMPARE(Find<QLabel>("DashAdvance")->text(), QString::fromUtf8(c.advance));
            QCOMPARE(Find<QLabel>("DashFuel")->text(), QString::fromUtf8(c.fuel));
            QCOMPARE(Find<QLabel>("DashSynchronisation")->text(), QString::fromUtf8(c.sync));
        }
        QVERIFY(Find<QLabel>("DashCpuTemperature")->text().endsWith(" °C"));

        // 90 s of passes (a new run after 40 s): the chart holds the last 60 s,
        // the map value beside the engine speed.
        QCustomPlot& chart = dash_->chart();
        const auto made = std::chrono::steady_clock::now();
        for (int i = 0; i <= 90; ++i) {
            LiveSample sample;
            sample.made = made + std::chrono::seconds(i);
            sample.snapshot = Snapshot(i, 1000 + i, 10, true, 1000, 1);
            sample.points = OperatingPoints(sample.snapshot, maps);
            sample.ms = (i < 40 ? i : i - 40) * 1000;
            desk_->live_feed.Publish(sample);
        }
        for (int g = 0; g < chart.graphCount(); ++g) {
            auto data = chart.graph(g)->data();
            QCOMPARE(data->size(), 61);
        }
        auto speed = chart.graph(0)->data();
        QCOMPARE((speed->constEnd() - 1)->value, 1090.0);
        QCOMPARE(speed->constBegin()->value, 1030.0);
        const double map_value = OperatingPoints(Snapshot(0, 1090, 10, true, 1000, 1), maps)[0].map_value;
        QCOMPARE((chart.graph(3)->data()->constEnd() - 1)->value, map_value);
    }

    // The View menu's choice is kept; the dock hiding with the closed
    // window is no choice.
    void visibility_is_kept_from_the_menu_only() {
        QSettings settings(dir_.filePath("settings.ini"), QSettings::IniFormat);
        settings.setValue("dashboard/visible", false);
        Start(kRealtimePassCount, &settings);
        if (QTest::currentTestFailed()) return;
        QVERIFY(!dash_->isVisible());
        auto* item = Find<QAction>("DashboardItem");
        item->trigger();
        QVERIFY(dash_->isVisible());
        QCOMPARE(settings.value("dashboard/visible").toBool(), true);
        item->trigger();
        QVERIFY(!dash_->isVisible());
        QCOMPARE(settings.value("dashboard/visible").toBool(), false);
        item->trigger();
        desk_->window()->close();
        QCoreApplication::processEvents();
        QVERIFY(!dash_->isVisible());
        QCOMPARE(settings.value("dashboard/visible").toBool(), true);
        desk_->settings = nullptr;
    }

    // The dashboard's button starts and stops the settings page's monitor;
    // continuous mode chains full runs and ends with the button.
    void button_drives_the_monitor_and_continuous_chains_runs() {
        Start(6);
        if (QTest::currentTestFailed()) return;
        auto* button = Find<QPushButton>("DashMonitorButton");
        auto* settings_button = Find<QPushButton>("GetRealtimeParametersButton");
        const QString idle = settings_button->text();

        // A single run of six passes ends by itself and nothing follows.
        int samples = 0;
        connect(&desk_->live_feed, &LiveFeed::sample, this, [&samples] { ++samples; });
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(desk_->live_feed.MonitorRunning(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(settings_button->text() != idle, 5000);
        QCOMPARE(button->text(), QString("Стоп монитора"));
        WaitMonitorIdle();
        QCOMPARE(samples, 6);
        QTest::qWait(500);
        QVERIFY(!desk_->live_feed.MonitorRunning());
        QCOMPARE(dash_->ChainedRuns(), 0);
        QCOMPARE(button->text(), QString("Старт монитора"));

        // Continuous: runs follow one another until the button stops them.
        dash_->continuous().setChecked(true);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dash_->ChainedRuns() >= 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(desk_->live_feed.MonitorRunning(), 5000);
        QTest::mouseClick(button, Qt::LeftButton);
        WaitMonitorIdle();
        const int chained = dash_->ChainedRuns();
        QTest::qWait(800);
        QVERIFY(!desk_->live_feed.MonitorRunning());
        QCOMPARE(dash_->ChainedRuns(), chained);
        QCOMPARE(settings_button->text(), idle);

        // A run stopped from the settings page is not followed either.
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(desk_->live_feed.MonitorRunning(), 5000);
        QTest::mouseClick(settings_button, Qt::LeftButton);
        WaitMonitorIdle();
        QTest::qWait(800);
        QVERIFY(!desk_->live_feed.MonitorRunning());
        QCOMPARE(dash_->ChainedRuns(), chained);
    }

    // Two runs recorded with a marker: the file reads back with every pass
    // the feed carried, on one rising time line, and the marker.
    void recording_reads_back_with_its_passes_and_markers() {
        Start(8);
        if (QTest::currentTestFailed()) return;
        std::vector<LiveSample> seen;
        connect(&desk_->live_feed, &LiveFeed::sample, this, [&seen](const LiveSample& s) { seen.push_back(s); });
        QTest::keyClick(desk_->window(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(dash_->recorder().IsRecording());
        QVERIFY(desk_->live_crc.load());
        QCOMPARE(Find<QPushButton>("DashRecordButton")->text(), QString("Остановить запись (Ctrl+L)"));
        for (int run = 0; run < 2; ++run) {
            dash_->ToggleMonitor();
            QTRY_VERIFY_WITH_TIMEOUT(dash_->recorder().Rows() >= 3, 10000);
            if (run == 0) {
                QVERIFY(StatusText().contains(QString::fromStdString(dash_->recorder().Path().string())));
                Find<QPushButton>("DashRecordButton")->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
                // Space typed into a text field stays there.
                auto* edit = Find<QLineEdit>("EEditVariatorStartTimeout");
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_Space);
            }
            WaitMonitorIdle();
        }
        QTest::keyClick(desk_->window(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!dash_->recorder().IsRecording());
        QVERIFY(!desk_->live_crc.load());
        QVERIFY(StatusText().contains("16"));

        std::string error;
        const auto read = ReadRecording(dash_->recorder().Path(), &error);
        QVERIFY2(read, error.c_str());
        QCOMPARE(read->first_bad_line, std::size_t(0));
        QCOMPARE(read->passes.size(), std::size_t(16));
        QCOMPARE(seen.size(), std::size_t(16));
        QVERIFY(!read->preamble.empty());
        QCOMPARE(read->markers.size(), std::size_t(1));
        long previous = -1;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const RecordedPass& pass = read->passes[i];
            ExpectSamePass(pass.snapshot, seen[i].snapshot);
            QVERIFY(pass.ms >= previous);
            previous = pass.ms;
            if (!pass.failed) {
                QVERIFY(pass.map_value);
                QCOMPARE(*pass.map_value, RecordedMapValue(seen[i]));
            }
        }
        QVERIFY(read->markers[0] >= read->passes.front().ms && read->markers[0] <= read->passes[7].ms);
        // The second run's time goes on from the first's.
        QVERIFY(read->passes[8].ms > read->passes[7].ms);
    }

    // A write that fails stops the recording and keeps the rows before it.
    void write_error_stops_the_recording_and_keeps_earlier_rows() {
        LiveFeed feed;
        std::atomic<bool> crc{false};
        LiveRecorder recorder(feed, crc);
        recorder.SetDirectory(dir_.filePath("r").toStdString());
        QSignalSpy failed(&recorder, &LiveRecorder::writeFailed);
        recorder.Start();
        LiveSample sample;
        sample.configuration_crc = 7;
        for (int i = 0; i < 3; ++i) {
            sample.snapshot = Snapshot(i, 1000 + i, 5, true, 700, 1);
            sample.ms = i * 100;
            feed.Publish(sample);
        }
        QCOMPARE(recorder.Rows(), std::size_t(3));
        const auto size = std::filesystem::file_size(recorder.Path());
        // The file may not grow any more.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        auto* old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = size;
        setrlimit(RLIMIT_FSIZE, &limit);
        sample.snapshot = Snapshot(3, 1003, 5, true, 700, 1);
        sample.ms = 300;
        feed.Publish(sample);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, old_handler);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(1).toULongLong(), 3ull);
        QVERIFY(!recorder.IsRecording());
        QVERIFY(!crc.load());
        std::string error;
        const auto read = ReadRecording(recorder.Path(), &error);
        QVERIFY2(read, error.c_str());
        QCOMPARE(read->passes.size(), std::size_t(3));
        QCOMPARE(read->passes[2].snapshot.engine_speed, std::uint16_t(1002));
        // Nothing more is written after the failure.
        feed.Publish(sample);
        QCOMPARE(std::filesystem::file_size(recorder.Path()), size);
    }

    // At 8x the playback publishes every recorded pass in order with the
    // operating points the live monitor would have shown, well within the
    // recording's own time.
    void playback_at_8x_publishes_the_recorded_passes() {
        Start();
        if (QTest::currentTestFailed()) return;
        const QString path = WriteRecording(40);
        std::string error;
        const auto recording = ReadRecording(path.toStdString(), &error);
        QVERIFY(recording);
        QVERIFY(dash_->OpenRecording(path));
        PlaybackBar& bar = dash_->playback();
        QVERIFY(bar.isVisible());
        QTRY_VERIFY(bar.HasMaps());
        bar.SetSpeed(8);
        std::vector<LiveSample> got;
        connect(&desk_->live_feed, &LiveFeed::sample, this, [&got](const LiveSample& s) { got.push_back(s); });
        QElapsedTimer t;
        t.start();
        QVERIFY(bar.Play());
        QTRY_VERIFY_WITH_TIMEOUT(!bar.IsPlaying(), 10000);
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        const TimingMaps maps = DeviceMaps();
        QCOMPARE(got.size(), recording->passes.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            QVERIFY(got[i].playback);
            QCOMPARE(got[i].ms, recording->passes[i].ms);
            ExpectSamePass(got[i].snapshot, recording->passes[i].snapshot);
            const auto want = OperatingPoints(recording->passes[i].snapshot, maps);
            for (std::size_t m = 0; m < want.size(); ++m) {
                QCOMPARE(got[i].points[m].x, want[m].x);
                QCOMPARE(got[i].points[m].nearest, want[m].nearest);
                QCOMPARE(got[i].points[m].map_value, want[m].map_value);
                QCOMPARE(got[i].points[m].in_use, want[m].in_use);
            }
        }
        QCOMPARE(bar.Position(), recording->passes.size());
        // Playback samples are not recorded.
        QVERIFY(dash_->recorder().Rows() == 0);

        // Paused at the end, a step back shows the pass before the last.
        got.clear();
        bar.Step(-1);
        QCOMPARE(got.size(), std::size_t(1));
        QCOMPARE(got[0].ms, recording->passes[recording->passes.size() - 2].ms);
    }

    // The monitor and a playback never run together.
    void playback_and_monitor_exclude_each_other() {
        Start(30);
        if (QTest::currentTestFailed()) return;
        QVERIFY(dash_->OpenRecording(WriteRecording(200)));
        PlaybackBar& bar = dash_->playback();
        bar.SetSpeed(0.25);
        QVERIFY(bar.Play());
        QTest::mouseClick(Find<QPushButton>("DashMonitorButton"), Qt::LeftButton);
        QCOMPARE(StatusText(), QString("Идёт воспроизведение записи: остановите его, чтобы запустить монитор"));
        QTest::qWait(300);
        QVERIFY(!desk_->live_feed.MonitorRunning());
        QVERIFY(bar.IsPlaying());

        // The settings page's button keeps working: its run pauses the playback.
        QTest::mouseClick(Find<QPushButton>("GetRealtimeParametersButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(desk_->live_feed.MonitorRunning(), 5000);
        QVERIFY(!bar.IsPlaying());
        QVERIFY(!bar.Play());
        QCOMPARE(StatusText(), QString("Работает монитор: остановите его, чтобы воспроизвести запись"));
        QTest::mouseClick(Find<QPushButton>("DashMonitorButton"), Qt::LeftButton);
        WaitMonitorIdle();
        QVERIFY(bar.Play());
    }

    // A file that is no recording is refused with the reader's reason and
    // the open recording stays; a recording with a bad line opens and
    // names it.
    void bad_files_are_refused_with_their_reason() {
        Start();
        if (QTest::currentTestFailed()) return;
        const QString good = WriteRecording(10);
        QVERIFY(dash_->OpenRecording(good));
        const Recording* before = dash_->playback().Opened();

        const QString garbage = dir_.filePath("garbage.csv");
        {
            std::ofstream out(garbage.toStdString());
            out << "this is not,a recording\nat all\n";
        }
        const QString empty = dir_.filePath("empty.csv");
        QFile(empty).open(QIODevice::WriteOnly);
        for (const QString& path : {garbage, empty, dir_.filePath("missing.csv")}) {
            std::string reason;
            QVERIFY(!ReadRecording(path.toStdString(), &reason));
            QVERIFY(!dash_->OpenRecording(path));
            QCOMPARE(StatusText(), QString("Запись не открыта: ") + QString::fromStdString(reason));
            QCOMPARE(dash_->playback().Opened(), before);
            QVERIFY(dash_->playback().isVisible());
        }

        // One garbage line among good rows.
        const QString damaged = dir_.filePath("damaged.csv");
        {
            QFile in(good);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QByteArray bytes = in.readAll();
            bytes.append("1x,garbage\r\n");
            QFile out(damaged);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        std::string reason;
        const auto read = ReadRecording(damaged.toStdString(), &reason);
        QVERIFY(read && read->first_bad_line > 0);
        QVERIFY(dash_->OpenRecording(damaged));
        QCOMPARE(dash_->playback().Opened()->passes.size(), std::size_t(10));
        QVERIFY2(StatusText().startsWith(QString("damaged.csv: строка %1 не прочитана").arg(read->first_bad_line)),
                 qPrintable(StatusText()));
    }
};

QTEST_MAIN(DashboardTest)
#include "dashboard_test.moc"
