// Mean time of read and write exchanges against the simulated variator paced
// like a real 9600-baud line, as a ratio to the line time of the 14 bytes of
// request and reply (14.58 ms). Target: 1.20 or less.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "BenchSupport.h"
#include "Dataextractor.h"
#include "StoredScreen.h"
#include "Variator.h"

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    const tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    int status = 0;
    {
        tovrel::sim::Variator device(o);
        device.Start();
        tovrel::StoredScreen screen;
        tovrel::DeviceLink link(screen);
        link.sleep_ms = [](int) {};
        if (link.Connect(1, false) != 1) {
            std::fprintf(stderr, "bench_exchange: no variator\n");
            return 1;
        }
        int failures = 0;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            auto index = static_cast<std::uint8_t>(i % 80);
            if (i % 2 == 0) {
                link.UARTdataExchangeForTovrel(tovrel::ExchangeOp::Write, 1, index, static_cast<std::int16_t>(i), true, 2);
            } else {
                link.UARTdataExchangeForTovrel(tovrel::ExchangeOp::Read, 1, index, 100, true, 2);
            }
            if (!link.LastExchangeOk()) ++failures;
        }
        double total_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        double mean = total_ms / count;
        const double line_ms = tovrel::bench::kExchangeLineMs;
        std::printf("exchanges: %d (half reads, half writes), failures: %d\n", count, failures);
        std::printf("mean exchange time: %.3f ms; line time of 14 bytes: %.3f ms\n", mean, line_ms);
        std::printf("ratio: %.3f (target <= 1.20)\n", mean / line_ms);
        link.Disconnect();
        status = failures == 0 ? 0 : 1;
    }
    return status;
}
