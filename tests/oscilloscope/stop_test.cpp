// A stop asked for in the middle of a capture, against a simulated variator
// on a line paced like the real one and with the program's own timeouts: it
// is taken up within a fraction of a second wherever the capture waits, the
// stop frame goes out, the records so far are kept, and no temporary record
// file stays behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "ScopeFixture.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// Names in the directory other than the port links and the record files.
std::vector<std::string> StrayFiles(const std::string& dir) {
    std::vector<std::string> stray;
    for (const auto& e : fs::directory_iterator(dir)) {
        const auto name = e.path().filename().string();
        if (name.rfind("COM", 0) == 0 || name == "signal.txt" || name == "signal32.txt") continue;
        stray.push_back(name);
    }
    return stray;
}

class StopTest : public ScopeFixture {};

TEST_F(StopTest, AStopIsTakenUpWithinAFractionOfASecondWhereverTheCaptureWaits) {
    struct Case {
        const char* name;
        int init_steps;       // 0: the variator never finishes its initialisation
        int step_ms;          // between its initialisation frames
        sim::ScopeFault fault;
        int fault_at;
        bool real_pauses;     // the capture's pauses really wait
        // Whether the moment for the stop has come, asked at each pump; the
        // stop then arrives `delay_ms` later, between two pumps, as a key
        // press or Ctrl+C does.
        std::function<bool()> ready;
        int delay_ms;
        bool keeps_records;   // the stop comes after records were written
    };
    auto label_starts = [this](std::string prefix) {
        return [this, prefix] { return screen.Text("Oscill_Label").rfind(prefix, 0) == 0; };
    };
    const Case cases[] = {
        {"initialisation, frames still coming", 1000, 300, sim::ScopeFault::None, 0, false,
         label_starts("Прошли 2 "), 130, false},
        {"initialisation on a silent line", 0, 0, sim::ScopeFault::None, 0, false,
         [this] { return log->StreamRequests() == 1; }, 700, false},
        {"the pause after the final initialisation frame", 3, 50, sim::ScopeFault::None, 0, true,
         label_starts("Финально прошли"), 300, false},
        {"waiting for the start answer", 3, 50, sim::ScopeFault::NoStartAnswer, 0, false,
         [this] { return log->StartFrames() == 1; }, 700, false},
        {"streaming", 3, 50, sim::ScopeFault::None, 0, false,
         [this] { return scope->RecordsWritten() > 300; }, 70, true},
        {"a stream gone silent", 3, 50, sim::ScopeFault::StreamStops, 300, false,
         [this] { return scope->RecordsWritten() == 300; }, 400, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        std::ofstream(RecordFile(false), std::ios::binary) << "older";
        auto o = ScopeOptions();
        o.paced = true;
        o.scope_init_steps = c.init_steps;
        o.scope_step_ms = c.step_ms;
        o.scope_records = -1;  // no end record: only the stop ends the stream
        o.scope_fault = c.fault;
        o.scope_fault_record = c.fault_at;
        StartScope(o);
        scope->timings = CaptureTimings{};  // the program's own timeouts and slices
        if (c.real_pauses) link->sleep_ms = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };

        std::optional<Clock::time_point> arrives;
        bool pressed = false;
        screen.on_pump = [&] {
            if (!arrives && c.ready()) arrives = Clock::now() + std::chrono::milliseconds(c.delay_ms);
            if (arrives && !pressed && Clock::now() >= *arrives) {
                pressed = true;
                scope->ConnectAndShowOsciillButtonClick();  // the second press
            }
        };
        Capture(false);
        screen.on_pump = nullptr;
        link->sleep_ms = [this](int ms) { slept_ms += ms; };

        ASSERT_TRUE(arrives.has_value());
        const long latency = MsSince(*arrives);
        std::printf("[ stop     ] %s: the capture ended %ld ms after the stop was asked for\n", c.name, latency);
        EXPECT_TRUE(pressed);
        EXPECT_LT(latency, 1000);
        EXPECT_EQ(scope->LastEnd(), CaptureEnd::Cancelled);
        EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::Cancelled));
        EXPECT_TRUE(screen.messages.empty());
        EXPECT_EQ(log->StopFrames(), 1);
        if (c.keeps_records) {
            ASSERT_GT(scope->RecordsWritten(), 0u);
            auto file = ParseRecordFile(ReadBytes(RecordFile(false)), false);
            ExpectFileMatchesSent(file, scope->RecordsWritten(), false);
        } else {
            EXPECT_EQ(ReadBytes(RecordFile(false)), "older");
        }
        EXPECT_EQ(StrayFiles(dir.path()), std::vector<std::string>{});
        EXPECT_EQ(screen.Text("ConnectAndShowOsciillButton"), Tr(oscill_text::ButtonCaption));
    }
}

}  // namespace
}  // namespace tovrel::test
