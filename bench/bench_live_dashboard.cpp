// Monitor passes per second in the window, against the simulated variator
// and its live engine: with the dashboard shown, every pass published with
// its operating points and recorded to a file, against the feed detached,
// the dashboard hidden and nothing recorded. The two are measured in
// alternating rounds of one run, so that the machine's load weighs on both
// alike; the ratio (on / off) is printed with its target.
//   bench_live_dashboard [passes per round] [rounds] [--unpaced]
// Paced like the real 9600-baud line by default; --unpaced lets the
// simulator answer at once, which shows the window's own cost per pass.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "BenchSupport.h"
#include "Dashboard.h"
#include "Desktop.h"
#include "Engine.h"
#include "Gui2.h"
#include "LiveRecorder.h"
#include "MainWindow.h"
#include "Monitor.h"
#include "Program.h"
#include "Variator.h"

namespace {

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
    poll.start(5);
    loop.exec();
    return idle;
}

struct Round {
    int passes = 0;
    double seconds = 0;
};

// One monitor run of `passes` passes, timed on the device thread.
Round RunMonitor(tovrel::ui::Desktop& desktop, int passes) {
    Round round;
    desktop.device.Post([&round, passes](tovrel::Program& p) {
        p.live.monitor_passes = passes;
        int shown = 0;
        auto observer = p.live.on_pass;
        p.live.on_pass = [&shown, observer](const tovrel::RealtimeSnapshot& s) {
            ++shown;
            if (observer) observer(s);
        };
        const auto start = std::chrono::steady_clock::now();
        auto live = p.Live();
        tovrel::GetRealtimeParametersButtonClick(live);
        round.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        round.passes = shown;
        p.live.on_pass = observer;
    });
    RunUntilIdle(desktop, 600000);
    // What was queued for the window is drawn before the next round.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return round;
}

}  // namespace

int main(int argc, char** argv) {
    int passes = 200, rounds = 3;
    bool paced = true;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unpaced") == 0) paced = false;
        else if (positional++ == 0) passes = std::atoi(argv[i]);
        else rounds = std::atoi(argv[i]);
    }
    if (passes < 1 || rounds < 1) {
        std::fprintf(stderr, "usage: bench_live_dashboard [passes per round] [rounds] [--unpaced]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tovrel::ui::UseTahoma(app);

    tovrel::bench::PortDir ports;
    const std::string dir = ports.path();
    tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    o.paced = paced;
    int status = 0;
    {
        tovrel::sim::Variator device(o);
        device.AddAddressHandler(std::make_shared<tovrel::sim::Engine>());
        device.Start();
        tovrel::ui::Desktop desktop([dir](tovrel::Screen& s, tovrel::Canvas& c) {
            auto p = std::make_unique<tovrel::Program>(s, c);
            p->link.default_port_dir = dir;
            p->link.port_dir = dir;
            p->settings.program_dir = dir;
            p->live.logs_dir = dir + "/LOGs";
            p->StartOption = 1;
            return p;
        });
        desktop.screen.dialogs_suppressed = true;
        auto& window = desktop.ShowMainWindow();
        desktop.device.Post([](tovrel::Program& p) { tovrel::gui2::FormActivate(p); });
        if (!RunUntilIdle(desktop, 60000)) {
            std::fprintf(stderr, "bench_live_dashboard: the start sequence did not end\n");
            return 1;
        }
        auto* dash = window.findChild<tovrel::ui::Dashboard*>("Dashboard");
        if (!dash) {
            std::fprintf(stderr, "bench_live_dashboard: no dashboard\n");
            return 1;
        }
        dash->recorder().SetDirectory(std::filesystem::path(dir) / "recordings");

        auto set_on = [&](bool on) {
            dash->setVisible(on);
            if (on) dash->recorder().Start();
            else dash->recorder().Stop();
            tovrel::ui::LiveFeed* feed = &desktop.live_feed;
            const std::atomic<bool>* crc = &desktop.live_crc;
            desktop.device.Post([on, feed, crc](tovrel::Program& p) {
                if (on) tovrel::ui::AttachLiveFeed(p, feed, crc);
                else p.live.on_pass = nullptr;
            });
            RunUntilIdle(desktop, 10000);
        };

        Round off_total, on_total;
        for (int r = 0; r < rounds; ++r) {
            for (bool on : {false, true}) {
                set_on(on);
                const Round round = RunMonitor(desktop, passes);
                Round& total = on ? on_total : off_total;
                total.passes += round.passes;
                total.seconds += round.seconds;
                std::printf("round %d %-3s: %d passes in %.3f s (%.1f passes/s)\n", r + 1, on ? "on" : "off",
                            round.passes, round.seconds, round.passes / round.seconds);
            }
        }
        const std::size_t rows = dash->recorder().Rows();
        set_on(false);
        const double off_rate = off_total.passes / off_total.seconds;
        const double on_rate = on_total.passes / on_total.seconds;
        std::printf("line: %s\n", paced ? "paced like 9600 baud" : "unpaced");
        std::printf("all off: %.1f passes/s; dashboard, operating points and recording on: %.1f passes/s "
                    "(%zu rows in the last recording)\n",
                    off_rate, on_rate, rows);
        std::printf("ratio: %.3f (target >= 0.98)\n", on_rate / off_rate);
        status = off_total.passes == passes * rounds && on_total.passes == passes * rounds ? 0 : 1;
        desktop.Stop(20000);
    }
    return status;
}
