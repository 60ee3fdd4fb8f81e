// The live operating point on the map views: samples published on the
// window's live feed from another thread at 50 per second (as the monitor's
// passes arrive), the engine speed sweeping the map, the LPG chart shown with
// its cursor, markers and a 3 s trail:
// - sample published to drawn (the chart's replot done), 99th percentile
//   over about 2000 samples (target: under 17 ms);
// - the GUI thread's longest stall during the run, the largest gap between
//   two runs of a 1 ms timer (target: under 50 ms).
// Runs on the offscreen platform unless a display or a platform is given;
// `--samples N` changes the count.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "Desktop.h"
#include "LiveOverlay.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapEditor.h"
#include "Program.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int samples = 2000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--samples") == 0) samples = std::max(10, std::atoi(argv[i + 1]));
    QApplication app(argc, argv);
    tovrel::ui::UseTahoma(app);
    tovrel::bench::PortDir ports;
    const std::string dir = ports.path();

    using tovrel::MapKind;
    tovrel::ui::Desktop desktop([dir](tovrel::Screen& s, tovrel::Canvas& c) {
        auto p = std::make_unique<tovrel::Program>(s, c);
        p->link.sleep_ms = [](int) {};
        p->link.port_dir = dir;
        p->link.default_port_dir = dir;
        p->settings.program_dir = dir;
        return p;
    });
    desktop.screen.dialogs_suppressed = true;
    auto& window = desktop.ShowMainWindow();
    tovrel::TimingMaps maps;
    tovrel::FillMapTemplate(maps);
    for (int i = 0; i < tovrel::MapPointCount; ++i)
        maps.LPG.y[static_cast<std::size_t>(i)] = 5 + 10 * std::sin(i / 12.0);
    desktop.device.Post([maps](tovrel::Program& p) {
        p.maps.document.ReplaceAll(maps, tovrel::MapEditCause::FileLoad);
        tovrel::ShowMapInChart(p.screen, p.maps.document.Maps(), MapKind::LPG);
    });
    desktop.device.WaitIdle(10000);
    const auto* c = tovrel::FindMapControls(MapKind::LPG);
    window.pages()->setCurrentIndex(c->chart_page);
    auto* chart = window.findChild<tovrel::ui::MapChart*>(QString::fromUtf8(c->chart.data(), int(c->chart.size())));
    auto* overlay = window.findChild<tovrel::ui::LiveOverlay*>();
    if (!chart || !overlay) {
        std::fprintf(stderr, "bench_live_views: the chart or the live overlay is missing\n");
        return 1;
    }
    overlay->SetTrailLength(3);
    for (int i = 0; i < 20; ++i) {
        desktop.device.WaitIdle(1000);
        desktop.screen.Flush();
        QCoreApplication::processEvents();
    }

    // Published samples not yet drawn: when the producer made each, and how
    // many frames the overlay had drawn when it arrived (a replot counts
    // for it only once the overlay has drawn a frame since).
    struct Pending {
        Clock::time_point made;
        int draws;
    };
    std::deque<Pending> pending;
    std::vector<double> latency;
    latency.reserve(static_cast<std::size_t>(samples));
    QObject::connect(chart, &QCustomPlot::afterReplot, chart, [&] {
        const auto now = Clock::now();
        while (!pending.empty() && overlay->Draws() > pending.front().draws) {
            latency.push_back(std::chrono::duration<double, std::milli>(now - pending.front().made).count());
            pending.pop_front();
        }
    });
    QObject::connect(&desktop.live_feed, &tovrel::ui::LiveFeed::sample, chart,
                     [&](const tovrel::ui::LiveSample& s) { pending.push_back({s.made, overlay->Draws()}); });

    // The GUI thread's stalls.
    QElapsedTimer gap;
    double longest_gap = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        longest_gap = std::max(longest_gap, static_cast<double>(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });

    desktop.live_feed.SetMonitorRunning(true);
    std::atomic<bool> done{false};
    std::thread producer([&] {
        auto next = Clock::now();
        for (int i = 0; i < samples; ++i) {
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);
            tovrel::RealtimeSnapshot s;
            s.pass = i;
            s.engine_speed = static_cast<std::uint16_t>(4000 + 3500 * std::sin(i / 40.0));
            s.status = static_cast<std::uint16_t>(0x100 | (i / 5 % 80));
            s.advance = static_cast<std::int16_t>(800 + 300 * std::sin(i / 30.0));
            s.gas_time_sync = 1;
            tovrel::ui::LiveSample sample;
            sample.snapshot = s;
            sample.points = tovrel::OperatingPoints(s, maps);
            sample.ms = i * 20L;
            sample.made = Clock::now();
            QMetaObject::invokeMethod(
                &desktop.live_feed, [&desktop, sample] { desktop.live_feed.Publish(sample); }, Qt::QueuedConnection);
        }
        done = true;
    });
    gap.start();
    tick.start(1);
    const int replots_before = chart->ReplotCount();
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    // The last samples' drawing.
    QElapsedTimer tail;
    tail.start();
    while (tail.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    tick.stop();
    producer.join();
    desktop.live_feed.SetMonitorRunning(false);

    const double p99 = Percentile(latency, 0.99);
    std::printf("live operating point on the LPG chart, %d samples at 50/s, %d replots:\n", samples,
                chart->ReplotCount() - replots_before);
    std::printf("  sample published to drawn: median %.2f ms, p99 %.2f ms, max %.2f ms (%zu drawn); target p99 < 17 ms: %s\n",
                Percentile(latency, 0.5), p99, latency.empty() ? 0.0 : *std::max_element(latency.begin(), latency.end()),
                latency.size(), p99 < 17 ? "met" : "MISSED");
    std::printf("  GUI stall (largest gap of a 1 ms timer): %.2f ms; target < 50 ms: %s\n", longest_gap,
                longest_gap < 50 ? "met" : "MISSED");
    desktop.Stop(20000);
    return 0;
}
