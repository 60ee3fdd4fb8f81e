// Read-all (device options + ReadAllData) and WriteAllData against the
// simulated variator paced like a real 9600-baud line, with the tests'
// recording screen attached, each as a ratio to the line time of its
// exchanges (14 bytes at 9600 baud = 14.583 ms each). Target: 1.20 or less.
// For reference it also prints the ratio of bare exchanges in the same run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "BenchSupport.h"
#include "ConfigurationReadWrite.h"
#include "RecordingScreen.h"
#include "Variator.h"

namespace {

constexpr double kLineMs = tovrel::bench::kExchangeLineMs;

struct Figure {
    int exchanges = 0;
    int failed = 0;
    double ms = 0;
    double Ratio() const { return exchanges ? ms / (exchanges * kLineMs) : 0; }
};

Figure Time(const std::function<tovrel::TransferTally()>& run) {
    const auto start = std::chrono::steady_clock::now();
    const auto tally = run();
    Figure f;
    f.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    f.exchanges = tally.exchanges;
    f.failed = tally.failed + (tally.completed ? 0 : 1);
    return f;
}

void Print(const char* what, const Figure& f) {
    std::printf("%-34s %4d exchanges, %2d failed, %8.1f ms, %6.3f ms each, ratio %.3f\n", what, f.exchanges, f.failed,
                f.ms, f.exchanges ? f.ms / f.exchanges : 0, f.Ratio());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    const tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    int status = 0;
    {
        tovrel::sim::Variator device(o);
        tovrel::sim::Configuration c;
        for (std::size_t i = 0; i < 80; ++i)
            for (auto& m : c.maps) m[i] = static_cast<std::int16_t>(900 + i);
        c.start_timeout = 5;
        device.SetWorking(c);
        device.SetOptionWord(146, 0x0600);
        device.Start();

        tovrel::test::RecordingScreen screen;
        tovrel::DeviceLink link(screen);
        link.port_dir = dir;
        link.sleep_ms = [](int) {};
        if (link.Connect(1, false) != 1) {
            std::fprintf(stderr, "bench_config: no variator\n");
            return 1;
        }
        tovrel::MapsState state;
        tovrel::SettingsState settings;
        settings.program_dir = dir;
        tovrel::InitMapControls(screen);
        tovrel::InitConfigurationControls(screen);

        Figure read, write, bare;
        for (int r = 0; r < rounds; ++r) {
            const auto rd = Time([&] {
                auto t = tovrel::ReadDeviceOptions(link, settings);
                const bool options_done = t.completed;
                t += tovrel::ReadAllData(link, state);
                t.completed = t.completed && options_done;
                return t;
            });
            const auto wr = Time([&] { return tovrel::WriteAllData(link, state); });
            const auto bx = Time([&] {
                tovrel::TransferTally t;
                for (int i = 0; i < 100; ++i) {
                    link.UARTdataExchangeForTovrel(tovrel::ExchangeOp::Read, 1, static_cast<std::uint8_t>(i % 80), 100,
                                                   true, 2);
                    ++t.exchanges;
                    if (!link.LastExchangeOk()) ++t.failed;
                }
                t.completed = true;
                return t;
            });
            for (auto [sum, one] : {std::pair{&read, &rd}, std::pair{&write, &wr}, std::pair{&bare, &bx}}) {
                sum->exchanges += one->exchanges;
                sum->failed += one->failed;
                sum->ms += one->ms;
            }
        }
        std::printf("line time of one exchange (14 bytes at 9600 baud): %.3f ms; rounds: %d\n", kLineMs, rounds);
        Print("read-all (options + ReadAllData)", read);
        Print("WriteAllData", write);
        Print("bare read exchanges (reference)", bare);
        std::printf("read-all ratio: %.3f (target <= 1.20)\n", read.Ratio());
        std::printf("write-all ratio: %.3f (target <= 1.20)\n", write.Ratio());
        std::printf("screen events recorded: %zu\n", screen.events.size());
        link.Disconnect();
        status = read.failed == 0 && write.failed == 0 ? 0 : 1;
    }
    return status;
}
