// How long a line that dies in the middle of a read-all takes to end it:
// the device options and ReadAllData against the paced simulator, which
// stops answering (or vanishes, its pseudo-terminal closed) after 100 frames.
// Prints the time from the line's death to the end of the read-all, and the
// line time of the exchanges that would have followed; target under 15 s.
#include <chrono>
#include <cstdio>
#include <memory>

#include "BenchSupport.h"
#include "ConfigurationReadWrite.h"
#include "RecordingScreen.h"
#include "Variator.h"

namespace {

using Clock = std::chrono::steady_clock;

// Returns the seconds from the death of the line to the end of the read-all,
// or a negative value when the run went wrong.
double Run(const std::string& dir, bool vanish, int* exchanges, bool* stopped_early) {
    auto device = std::make_unique<tovrel::sim::Variator>(tovrel::bench::PacedSimOptions(dir));
    device->Start();
    tovrel::test::RecordingScreen screen;
    tovrel::DeviceLink link(screen);
    link.port_dir = dir;
    link.sleep_ms = [](int) {};
    if (link.Connect(1, false) != 1) return -1;
    tovrel::MapsState state;
    tovrel::SettingsState settings;
    settings.program_dir = dir;
    tovrel::InitMapControls(screen);
    tovrel::InitConfigurationControls(screen);
    Clock::time_point died{};
    bool dead = false;
    screen.on_pump = [&] {
        if (dead || device->FramesSeen() < 100) return;
        dead = true;
        died = Clock::now();
        if (vanish) device.reset();
        else device->InjectFault(tovrel::sim::Fault::NoReply, -1);
    };
    auto tally = tovrel::ReadDeviceOptions(link, settings);
    const auto all = tovrel::ReadAllData(link, state);
    tally += all;
    screen.on_pump = nullptr;
    if (!dead) return -1;
    *exchanges = tally.exchanges;
    *stopped_early = !all.completed;
    return std::chrono::duration<double>(Clock::now() - died).count();
}

}  // namespace

int main() {
    tovrel::bench::PortDir ports;
    int status = 0;
    for (bool vanish : {false, true}) {
        int exchanges = 0;
        bool early = false;
        const double s = Run(ports.path(), vanish, &exchanges, &early);
        const int left = 3 + 320 + 3 - exchanges;
        std::printf("%-22s ended %.1f s after the line died, %s, %d of 326 exchanges made (%d left unasked)\n",
                    vanish ? "device vanished:" : "device silent:", s, early ? "stopped early" : "ran to the end",
                    exchanges, left);
        if (s < 0 || s >= 15 || !early) status = 1;
    }
    std::printf("target: under 15 s each\n");
    return status;
}
