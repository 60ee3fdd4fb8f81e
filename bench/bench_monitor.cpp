// Real-time monitor passes against the simulated variator and its live
// engine, paced like a real 9600-baud line, as a ratio to the line time of
// the exchanges the passes made (14 bytes of request and reply each,
// 14.58 ms). Target: 1.20 or less.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "BenchSupport.h"
#include "Dataextractor.h"
#include "Engine.h"
#include "LiveState.h"
#include "Monitor.h"
#include "StoredScreen.h"
#include "Variator.h"

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::atoi(argv[1]) : 100;
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    const tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    int status = 0;
    {
        tovrel::sim::Variator device(o);
        device.AddAddressHandler(std::make_shared<tovrel::sim::Engine>());
        device.Start();
        tovrel::StoredScreen screen;
        tovrel::DeviceLink link(screen);
        link.port_dir = dir;
        link.sleep_ms = [](int) {};
        if (link.Connect(1, false) != 1) {
            std::fprintf(stderr, "bench_monitor: no variator\n");
            return 1;
        }
        tovrel::WriteGuard guard;
        tovrel::DeviceOptions options;
        tovrel::LiveState state;
        state.monitor_passes = passes;
        tovrel::LiveContext ctx{link, guard, options, state};
        int shown = 0;
        state.on_pass = [&](const tovrel::RealtimeSnapshot&) { ++shown; };

        const int frames_before = device.FramesSeen();
        auto start = std::chrono::steady_clock::now();
        tovrel::GetRealtimeParametersButtonClick(ctx);
        double total_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const int exchanges = device.FramesSeen() - frames_before;

        const double line_ms = tovrel::bench::kExchangeLineMs;
        std::printf("passes: %d, exchanges: %d (%.2f per pass), failed: %ld\n", shown, exchanges,
                    static_cast<double>(exchanges) / shown, state.failed_exchanges);
        std::printf("mean pass time: %.3f ms; line time of its exchanges: %.3f ms\n", total_ms / shown,
                    exchanges * line_ms / shown);
        std::printf("ratio: %.3f (target <= 1.20)\n", total_ms / (exchanges * line_ms));
        link.Disconnect();
        status = state.failed_exchanges == 0 && shown == passes ? 0 : 1;
    }
    return status;
}
