// The desktop window against the simulated variator paced like a real
// 9600-baud line:
// - the longest stall of the GUI thread's event loop (the largest gap
//   between two runs of a 1 ms timer, and the 99th percentile of the gaps)
//   during the start sequence (connection and read-all) and during a scan
//   that meets three ports with no device behind them (target: under 50 ms,
//   99th percentile under 17 ms);
// - the read-all (device options + ReadAllData) in the window as a ratio to
//   the line time of its exchanges, beside the command line's figure of the
//   same run (target: within 2 % of it);
// - process start to the start dialog drawn, and "Продолжить" to the main
//   window drawn (target: under 500 ms each);
// - resident memory after the read-all (target: under 120 MB).
// Runs on the offscreen platform unless a display or a platform is given.
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ConfigurationReadWrite.h"
#include "Demo.h"
#include "Desktop.h"
#include "Gui2.h"
#include "Line.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapEditor.h"
#include "Pages.h"
#include "Program.h"
#include "StartDialog.h"
#include "TerminalScreen.h"
#include "Variator.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kLineMs = tovrel::bench::kExchangeLineMs;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// Milliseconds since the process was started by the kernel.
double MsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    auto close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    std::string word;
    for (std::size_t i = close + 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            fields.push_back(word);
            word.clear();
        } else {
            word += text[i];
        }
    }
    if (fields.size() < 20) return -1;
    const double start_s = std::stod(fields[19]) / static_cast<double>(::sysconf(_SC_CLK_TCK));  // field 22
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - start_s) * 1000.0;
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// A 1 ms timer on the GUI thread; the gaps between its runs are how long the
// event loop was kept from running.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            if (running_) gaps_.push_back(std::chrono::duration<double, std::milli>(now - last_).count());
            last_ = now;
        });
        timer_.start();
    }
    void Begin() {
        gaps_.clear();
        running_ = true;
        last_ = Clock::now();
    }
    void End() { running_ = false; }
    double Max() const { return gaps_.empty() ? 0 : *std::max_element(gaps_.begin(), gaps_.end()); }
    double Percentile(double p) const {
        if (gaps_.empty()) return 0;
        auto sorted = gaps_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(p * static_cast<double>(sorted.size())))];
    }
    std::size_t Count() const { return gaps_.size(); }

private:
    QTimer timer_;
    Clock::time_point last_;
    bool running_ = false;
    std::vector<double> gaps_;
};

// Runs the event loop (as the program's own loop does) until the device
// thread has nothing left to do.
bool RunUntilIdle(tovrel::ui::Desktop& desktop, int timeout_ms) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer since;
    since.start();
    bool idle = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (desktop.device.Idle()) {
            idle = true;
            loop.quit();
        } else if (since.elapsed() > timeout_ms) {
            loop.quit();
        }
    });
    poll.start(10);
    loop.exec();
    return idle;
}

// Time until `widget` is first painted.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !painted) {
            painted = true;
            at = Clock::now();
        }
        return false;
    }
    bool WaitFor(int timeout_ms) {
        QElapsedTimer t;
        t.start();
        while (!painted && t.elapsed() < timeout_ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return painted;
    }
    bool painted = false;
    Clock::time_point at;
};

struct ReadAll {
    int exchanges = 0;
    int failed = 0;
    double ms = 0;
    double Ratio() const { return exchanges ? ms / (exchanges * kLineMs) : 0; }
};

ReadAll RunReadAll(tovrel::DeviceLink& link, tovrel::MapsState& maps, tovrel::SettingsState& settings) {
    const auto start = Clock::now();
    auto t = tovrel::ReadDeviceOptions(link, settings);
    const bool options_done = t.completed;
    t += tovrel::ReadAllData(link, maps);
    ReadAll r;
    r.ms = MsSince(start);
    r.exchanges = t.exchanges;
    r.failed = t.failed + (t.completed && options_done ? 0 : 1);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const double at_main_ms = MsSinceProcessStart();
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto dialog_start = Clock::now();
    QApplication app(argc, argv);
    tovrel::ui::UseTahoma(app);

    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    std::filesystem::current_path(dir);  // no remembered port: the start scans from port 1
    int status = 0;
    StallMeter meter;
    {
        tovrel::ui::Desktop desktop;
        desktop.screen.dialogs_suppressed = true;  // no one answers boxes here
        auto& start = desktop.MakeStartDialog();
        FirstPaint dialog_paint(&start);
        start.show();
        if (!dialog_paint.WaitFor(10000)) {
            std::fprintf(stderr, "bench_desktop: the start dialog was never drawn\n");
            return 1;
        }
        const double dialog_ms = std::chrono::duration<double, std::milli>(dialog_paint.at - dialog_start).count();

        tovrel::sim::Variator device(tovrel::bench::PacedSimOptions(dir));
        device.SetEeprom(tovrel::sim::DemoConfiguration());
        device.SetWorking(tovrel::sim::DemoConfiguration());
        device.SetOptionWord(146, 0x0600);
        device.Start();

        // The command line's read-all, on the same line, first (the window keeps
        // the port once it has it).
        ReadAll cli;
        {
            tovrel::cli::TerminalScreen screen;
            tovrel::DeviceLink link(screen);
            link.port_dir = dir;
            if (link.Connect(1, false) != 1) {
                std::fprintf(stderr, "bench_desktop: no variator\n");
                return 1;
            }
            tovrel::MapsState maps;
            tovrel::SettingsState settings;
            settings.program_dir = dir;
            tovrel::InitMapControls(screen);
            tovrel::InitConfigurationControls(screen);
            cli = RunReadAll(link, maps, settings);
            link.Disconnect();
        }

        // "Продолжить" to the main window drawn.
        const auto pressed = Clock::now();
        start.continueButton()->click();
        auto& window = desktop.ShowMainWindow();
        FirstPaint window_paint(&window);
        if (!window_paint.WaitFor(10000)) {
            std::fprintf(stderr, "bench_desktop: the main window was never drawn\n");
            return 1;
        }
        const double window_ms = std::chrono::duration<double, std::milli>(window_paint.at - pressed).count();

        // The start sequence: the scan finds port 1, then the read-all.
        meter.Begin();
        const auto seq_start = Clock::now();
        desktop.device.Post([](tovrel::Program& p) { tovrel::gui2::FormActivate(p); });
        if (!RunUntilIdle(desktop, 120000)) {
            std::fprintf(stderr, "bench_desktop: the start sequence did not end\n");
            return 1;
        }
        const double seq_ms = MsSince(seq_start);
        meter.End();
        const double start_max = meter.Max(), start_p99 = meter.Percentile(0.99);
        const std::size_t start_ticks = meter.Count();
        const double rss_mb = ResidentMb();

        // The read-all again, timed on the device thread, the GUI drawing
        // what it sets meanwhile.
        ReadAll window_read;
        meter.Begin();
        desktop.device.Post([&](tovrel::Program& p) { window_read = RunReadAll(p.link, p.maps, p.settings); });
        RunUntilIdle(desktop, 120000);
        meter.End();
        const double read_max = meter.Max(), read_p99 = meter.Percentile(0.99);

        // A scan that meets three silent ports before the variator.
        desktop.device.Post([](tovrel::Program& p) {
            p.link.Disconnect();
            p.link.ShowConnectionState(tovrel::state::Disconnected);
        });
        RunUntilIdle(desktop, 10000);
        device.Stop();
        std::vector<std::unique_ptr<tovrel::sim::Line>> silent;
        tovrel::sim::Options moved = tovrel::bench::PacedSimOptions(dir);
        moved.port_number = 4;
        tovrel::sim::Variator on4(moved);
        on4.Start();
        for (int n = 1; n <= 3; ++n)
            silent.push_back(std::make_unique<tovrel::sim::Line>(dir + "/COM" + std::to_string(n)));
        meter.Begin();
        const auto scan_start = Clock::now();
        int found_on = 0;
        desktop.device.Post([&](tovrel::Program& p) {
            tovrel::gui2::N4Click(p);
            found_on = p.link.OpenPortNumber();
        });
        RunUntilIdle(desktop, 120000);
        const double scan_ms = MsSince(scan_start);
        meter.End();
        const double scan_max = meter.Max(), scan_p99 = meter.Percentile(0.99);

        // An arrow key held over the gas map's chart: one point moved per
        // repeat, at a keyboard's repeat rate (30 a second) and in a burst
        // faster than the frames; the chart is to be drawn at most once a
        // frame.
        window.pages()->setCurrentIndex(tovrel::page::LPGChart);
        auto* chart = window.findChild<tovrel::ui::MapChart*>("ChartLPG");
        desktop.device.Post([](tovrel::Program& p) { tovrel::ChartMouseEnter(p.maps, tovrel::MapKind::LPG); });
        RunUntilIdle(desktop, 5000);
        const auto repeat_keys = [&](int interval_ms, double& frames) {
            const int before = chart->ReplotCount();
            const auto t = Clock::now();
            for (int n = 0; n < 100; ++n) {
                QKeyEvent repeat(QEvent::KeyPress, n % 2 ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier, QString(), true);
                QCoreApplication::sendEvent(chart, &repeat);
                QElapsedTimer gap;
                gap.start();
                do QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                while (gap.elapsed() < interval_ms);
            }
            RunUntilIdle(desktop, 5000);
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            frames = MsSince(t) / tovrel::ui::QtScreen::kFrameMs;
            return chart->ReplotCount() - before;
        };
        double repeat_frames = 0, burst_frames = 0;
        const int repeat_redraws = chart ? repeat_keys(33, repeat_frames) : -1;
        const int burst_redraws = chart ? repeat_keys(0, burst_frames) : -1;
        desktop.device.Post([](tovrel::Program& p) { tovrel::ChartMouseLeave(p.maps, tovrel::MapKind::LPG); });
        RunUntilIdle(desktop, 5000);

        // A capture from the oscilloscope firmware on port 5, and ten presses
        // on a command that needs the line while it runs (each refused).
        tovrel::sim::Options scope_options = tovrel::bench::PacedSimOptions(dir);
        scope_options.port_number = 5;
        scope_options.mode = 3;
        scope_options.scope_records = -1;
        scope_options.scope_init_steps = 3;
        scope_options.scope_step_ms = 20;
        tovrel::sim::Variator scope(scope_options);
        scope.Start();
        desktop.device.Post([](tovrel::Program& p) {
            p.link.Disconnect();
            p.link.DeviceMode = static_cast<std::uint8_t>(p.link.Connect(5, false));
        });
        RunUntilIdle(desktop, 30000);
        window.pages()->setCurrentIndex(tovrel::page::Oscilloscope);
        auto* capture_button = window.findChild<QPushButton*>("ConnectAndShowOsciillButton");
        auto* read_button = window.findChild<QPushButton*>("ReadData");
        auto* capture_status = window.findChild<QLabel*>("Oscill_Label");
        const auto recorded = [capture_status] {
            const QStringList words = capture_status->text().split(' ');
            return words.size() > 1 && words[0] == QString("Записали") ? words[1].toInt() : -1;
        };
        capture_button->click();
        QElapsedTimer capture_clock;
        capture_clock.start();
        while (recorded() <= 0 && capture_clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const std::size_t messages_before = desktop.screen.Messages().size();
        meter.Begin();
        const int records_at_first_press = recorded();
        for (int i = 0; i < 10; ++i) {
            read_button->click();
            QElapsedTimer gap;
            gap.start();
            while (gap.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const int records_after_presses = recorded();
        meter.End();
        const double capture_max = meter.Max(), capture_p99 = meter.Percentile(0.99);
        const std::size_t refusals = desktop.screen.Messages().size() - messages_before;
        capture_button->click();
        RunUntilIdle(desktop, 20000);

        // Close to the device thread's end during a monitor run, on the
        // normal firmware again.
        desktop.device.Post([](tovrel::Program& p) {
            p.link.Disconnect();
            p.link.DeviceMode = static_cast<std::uint8_t>(p.link.Connect(4, false));
            p.live.monitor_passes = 100000;
        });
        RunUntilIdle(desktop, 30000);
        window.pages()->setCurrentIndex(tovrel::page::Settings);
        auto* monitor_button = window.findChild<QPushButton*>("GetRealtimeParametersButton");
        const QString monitor_idle = monitor_button->text();
        monitor_button->click();
        QElapsedTimer monitor_clock;
        monitor_clock.start();
        while ((monitor_button->text() == monitor_idle || monitor_clock.elapsed() < 500) &&
               monitor_clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const bool monitor_ran = monitor_button->text() != monitor_idle;
        const auto close_start = Clock::now();
        window.close();
        while (window.isVisible() && MsSince(close_start) < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        desktop.Stop(-1);
        const double monitor_close_ms = MsSince(close_start);

        // The same for an idle window of a second run.
        double idle_close_ms = 0;
        {
            tovrel::ui::Desktop idle;
            idle.screen.dialogs_suppressed = true;
            idle.device.Post([](tovrel::Program& p) { p.Activated = true; });  // no start sequence
            auto& idle_window = idle.ShowMainWindow();
            FirstPaint painted(&idle_window);
            painted.WaitFor(10000);
            RunUntilIdle(idle, 10000);
            const auto t = Clock::now();
            idle_window.close();
            idle.Stop(-1);
            idle_close_ms = MsSince(t);
        }

        std::printf("line time of one exchange (14 bytes at 9600 baud): %.3f ms\n", kLineMs);
        std::printf("process start to main(): %.0f ms (10 ms resolution)\n", at_main_ms);
        std::printf("start dialog drawn: %.1f ms after main(), %.1f ms after process start (target < 500)\n", dialog_ms,
                    dialog_ms + at_main_ms);
        std::printf("\"Продолжить\" to main window drawn: %.1f ms (target < 500)\n", window_ms);
        std::printf("start sequence (scan to port 1, options, read-all): %.0f ms; GUI stall max %.1f ms, p99 %.1f ms over %zu ticks\n",
                    seq_ms, start_max, start_p99, start_ticks);
        std::printf("read-all in the window: GUI stall max %.1f ms, p99 %.1f ms\n", read_max, read_p99);
        std::printf("scan over 3 silent ports to port %d: %.0f ms; GUI stall max %.1f ms, p99 %.1f ms\n", found_on,
                    scan_ms, scan_max, scan_p99);
        std::printf("read-all, command line: %d exchanges, %d failed, %.1f ms, ratio %.4f\n", cli.exchanges, cli.failed,
                    cli.ms, cli.Ratio());
        std::printf("read-all, window:       %d exchanges, %d failed, %.1f ms, ratio %.4f\n", window_read.exchanges,
                    window_read.failed, window_read.ms, window_read.Ratio());
        const double rel = cli.Ratio() > 0 ? window_read.Ratio() / cli.Ratio() : 0;
        std::printf("window / command line: %.4f (target within 2 %%: <= 1.02)\n", rel);
        std::printf("resident memory after the read-all: %.1f MB (target < 120)\n", rss_mb);
        std::printf("stall targets (max < 50 ms, p99 < 17 ms): start %s, scan %s\n",
                    start_max < 50 && start_p99 < 17 ? "met" : "MISSED", scan_max < 50 && scan_p99 < 17 ? "met" : "MISSED");
        std::printf("chart redraws per 100 key repeats: %d over %.0f frames at 30 repeats a second, %d over %.0f frames in a burst (target at most one a frame: %s)\n",
                    repeat_redraws, repeat_frames, burst_redraws, burst_frames,
                    repeat_redraws >= 0 && repeat_redraws <= repeat_frames + 1 && burst_redraws <= burst_frames + 1 ? "met" : "MISSED");
        std::printf("capture with ten presses on \"Чтение\": %d records during the presses, %zu refusals; GUI stall max %.1f ms, p99 %.1f ms (%s)\n",
                    records_after_presses - records_at_first_press, refusals, capture_max, capture_p99,
                    capture_max < 50 && capture_p99 < 17 ? "met" : "MISSED");
        std::printf("close to the device thread's end: idle %.1f ms (target < 300), during the monitor %.1f ms (target < 1000)%s\n",
                    idle_close_ms, monitor_close_ms, monitor_ran ? "" : " [the monitor did not start]");
        status = cli.failed == 0 && window_read.failed == 0 && found_on == 4 && records_after_presses > 0 ? 0 : 1;
        silent.clear();
    }
    return status;
}
