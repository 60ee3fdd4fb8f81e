// How long a line that dies in the middle of a read-all takes to end it:
// the device options and ReadAllData against the paced simulator, which
// stops answering (or vanishes, its pseudo-terminal closed, or from then on
// answers every request 2.3 s late, just past the timeout) after 100 frames.
// Prints the time from the line's death to the end of the read-all, the
// exchanges that would have followed and the messages shown; target under
// 15 s each, with one message.
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
enum class Death { Silent, Vanish, Latency };

double Run(const std::string& dir, Death how, int* exchanges, bool* stopped_early, std::size_t* messages) {
    auto options = tovrel::bench::PacedSimOptions(dir);
    // 14 bytes a frame: the latency strikes after the 100th.
    if (how == Death::Latency) options.line_fault = {tovrel::sim::LineFault::Latency, 1400, 2300};
    auto device = std::make_unique<tovrel::sim::Variator>(options);
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
        if (how == Death::Vanish) device.reset();
        else if (how == Death::Silent) device->InjectFault(tovrel::sim::Fault::NoReply, -1);
    };
    auto tally = tovrel::ReadDeviceOptions(link, settings);
    const auto all = tovrel::ReadAllData(link, state);
    tally += all;
    screen.on_pump = nullptr;
    if (!dead) return -1;
    *exchanges = tally.exchanges;
    *messages = screen.messages.size();
    *stopped_early = !all.completed;
    return std::chrono::duration<double>(Clock::now() - died).count();
}

}  // namespace

int main() {
    tovrel::bench::PortDir ports;
    int status = 0;
    const struct {
        Death how;
        const char* name;
    } deaths[] = {{Death::Silent, "device silent:"},
                  {Death::Vanish, "device vanished:"},
                  {Death::Latency, "answers 2.3 s late:"}};
    for (const auto& d : deaths) {
        int exchanges = 0;
        bool early = false;
        std::size_t messages = 0;
        const double s = Run(ports.path(), d.how, &exchanges, &early, &messages);
        const int left = 3 + 320 + 3 - exchanges;
        std::printf("%-22s ended %.1f s after the line died, %s, %d of 326 exchanges made (%d left unasked), "
                    "%zu message(s)\n",
                    d.name, s, early ? "stopped early" : "ran to the end", exchanges, left, messages);
        if (s < 0 || s >= 15 || !early || messages == 0) status = 1;
    }
    std::printf("target: under 15 s each, with a message\n");
    return status;
}
