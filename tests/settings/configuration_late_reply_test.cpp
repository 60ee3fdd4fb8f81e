// The whole-configuration read and write and the monitor against a simulated
// variator on a line paced like a real 9600-baud one, when the variator is
// busy once and answers one request long after the timeout, or when the line
// has a constant latency just above it: every value taken is the device's,
// or nothing is kept and the message says why.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "ConfigFile.h"
#include "Shell.h"
#include "ConfigurationReadWrite.h"
#include "LiveState.h"
#include "Monitor.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

// Bytes on the line (both ways) before the probe, the three option words
// and n exchanges of the read-all are done.
std::uint64_t AfterExchanges(int n) { return 14u * static_cast<std::uint64_t>(1 + 3 + n); }

class LateReplyTest : public SimFixture {
protected:
    sim::Variator& AddFaultySim(sim::LineFault kind, std::uint64_t after_bytes, int late_ms) {
        sim::Options o;
        o.port_dir = dir.path();
        o.port_number = 1;
        o.paced = true;
        o.line_fault = {kind, after_bytes, late_ms};
        sims.push_back(std::make_unique<sim::Variator>(o));
        auto& sim = *sims.back();
        // Every point different, so that a value taken for another point shows.
        sim::Configuration c;
        for (int m = 0; m < 4; ++m)
            for (int i = 0; i < 80; ++i)
                c.maps[m][i] = static_cast<std::int16_t>(m < 2 ? 100 + 7 * i + 3 * m : 10 + i + m);
        c.tps_min = 456;
        c.tps_max = 3789;
        c.start_timeout = 9;
        sim.SetWorking(c);
        sim.Start();
        return sim;
    }
    void ExpectMapsAreTheDevices(const sim::Variator& sim) {
        const auto c = sim.Working();
        for (int m = 0; m < 4; ++m) {
            const MapKind kind = kMapKinds[m];
            for (int i = 0; i < 80; ++i)
                ASSERT_EQ(EncodeMapValue(kind, state.document.Maps()[m].y[i]), c.maps[m][i]) << MapKindName(kind) << " point " << i;
        }
        EXPECT_EQ(screen.Text(kStartTimeoutEdit), "9");
        EXPECT_EQ(screen.Text("ADC_MIN_Value_Label"), "456");
        EXPECT_EQ(screen.Text("ADC_MAX_Value_Label"), "3789");
    }

    MapsState state;
    SettingsState settings;
};

// Where the variator is busy once (after how many exchanges of the read-all)
// and how late its answer comes.
struct Stall {
    const char* where;
    int after_exchanges;
    int late_ms;
};
void PrintTo(const Stall& stall, std::ostream* out) { *out << stall.where << ", " << stall.late_ms << " ms late"; }
constexpr Stall kStalls[] = {{"start", 2, 2600}, {"middle", 160, 2600}, {"end", 322, 2600},
                             {"start", 2, 3500},  {"middle", 160, 3500}, {"end", 322, 3500}};

class OneStallTest : public LateReplyTest, public ::testing::WithParamInterface<Stall> {};

TEST_P(OneStallTest, ReadAllGetsEveryValueRight) {
    const auto& stall = GetParam();
    auto& sim = AddFaultySim(sim::LineFault::Stall, AfterExchanges(stall.after_exchanges), stall.late_ms);
    ASSERT_EQ(link->Connect(1, false), 1);
    TransferTally tally = ReadDeviceOptions(*link, settings);
    tally += ReadAllData(*link, state);
    EXPECT_TRUE(tally.Ok());
    EXPECT_EQ(tally.failed, 0);
    ExpectMapsAreTheDevices(sim);
    EXPECT_TRUE(screen.messages.empty());
}

TEST_P(OneStallTest, WriteAllStoresExactlyWhatWasSent) {
    const auto& stall = GetParam();
    // The write-all has no option words before it.
    auto& sim = AddFaultySim(sim::LineFault::Stall, AfterExchanges(stall.after_exchanges - 3), stall.late_ms);
    ASSERT_EQ(link->Connect(1, false), 1);
    FillMapTemplate(state.document);
    state.document.SetPoint(kMapKinds[0], 40, 12.5, MapEditCause::Replace);
    state.document.SetPoint(kMapKinds[3], 79, 55, MapEditCause::Replace);
    screen.SetText(kStartTimeoutEdit, "11");
    const auto tally = WriteAllData(*link, state);
    EXPECT_TRUE(tally.Ok());
    EXPECT_TRUE(tally.committed);
    const auto c = sim.Eeprom();
    for (int m = 0; m < 4; ++m)
        for (int i = 0; i < 80; ++i)
            ASSERT_EQ(c.maps[m][i], EncodeMapValue(kMapKinds[m], state.document.Maps()[m].y[i])) << m << "/" << i;
    EXPECT_EQ(c.start_timeout, 11);
    EXPECT_TRUE(screen.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Stalls, OneStallTest, ::testing::ValuesIn(kStalls),
                         [](const ::testing::TestParamInfo<Stall>& info) {
                             return std::string(info.param.where) + "_" + std::to_string(info.param.late_ms);
                         });

// A line that from the middle of the read on answers every request 2.3 s
// late: the read ends within seconds with one message saying the device
// answers late; what was read before is right, nothing after it is taken.
TEST_F(LateReplyTest, ConstantLatencyEndsTheReadWithOneMessageAndKeepsNothingWrong) {
    auto& sim = AddFaultySim(sim::LineFault::Latency, AfterExchanges(100), 2300);
    ASSERT_EQ(link->Connect(1, false), 1);
    const auto start = std::chrono::steady_clock::now();
    TransferTally tally = ReadDeviceOptions(*link, settings);
    tally += ReadAllData(*link, state);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(tally.Ok());
    EXPECT_LT(took, std::chrono::seconds(30));
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineLateMessage))});
    const auto c = sim.Working();
    int right = 0;
    for (int m = 0; m < 4; ++m) {
        const MapKind kind = kMapKinds[m];
        for (int i = 0; i < 80; ++i) {
            const double y = state.document.Maps()[m].y[i];
            if (IsUnreadMarker(kind, y)) continue;
            ASSERT_EQ(EncodeMapValue(kind, y), c.maps[m][i]) << MapKindName(kind) << " point " << i;
            ++right;
        }
    }
    EXPECT_GE(right, 95);
    EXPECT_LT(right, 320);
}

// Live values that never change, so that one taken from another address
// shows at once.
class FixedValues : public sim::AddressHandler {
public:
    std::optional<std::uint16_t> Read(std::uint8_t address, std::uint8_t) override {
        if (address == 130) return 0x0800;  // petrol, no log kept
        if (address >= 128 && address <= 142) return static_cast<std::uint16_t>(address * 10 + 3);
        return std::nullopt;
    }
};

class MonitorStallTest : public LateReplyTest, public ::testing::WithParamInterface<int> {};

// The stall strikes in the first pass, in the middle and in the last.
TEST_P(MonitorStallTest, TakesNoValueFromAnotherRequest) {
    auto& sim = AddFaultySim(sim::LineFault::Stall, 14u * static_cast<std::uint64_t>(1 + GetParam()), 2600);
    sim.AddAddressHandler(std::make_shared<FixedValues>());
    ASSERT_EQ(link->Connect(1, false), 1);
    WriteGuard guard;
    DeviceOptions options;
    LiveState live;
    live.monitor_passes = 12;
    LiveContext ctx{*link, guard, options, live};
    int passes = 0, clean = 0;
    live.on_pass = [&](const RealtimeSnapshot& s) {
        ++passes;
        if (s.failed_reads > 0) return;
        ++clean;
        EXPECT_EQ(s.engine_speed, 1283) << "pass " << s.pass;
        EXPECT_EQ(s.tps_adc, 1293) << "pass " << s.pass;
        EXPECT_EQ(s.status, 0x0800) << "pass " << s.pass;
        EXPECT_EQ(s.advance, 1323) << "pass " << s.pass;
        EXPECT_EQ(s.gas_time_sync, 1343) << "pass " << s.pass;
    };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(passes, 12);
    EXPECT_EQ(clean, 12);
    EXPECT_EQ(live.failed_exchanges, 0);
    EXPECT_TRUE(screen.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Stalls, MonitorStallTest, ::testing::Values(3, 40, 75));

// A variator unplugged in the middle of the read: one message that says so
// (not a checksum), the status shows "not connected", nothing after it is
// taken, and a scan finds it again once it is plugged back in.
TEST_F(LateReplyTest, VanishedDeviceDuringTheReadShowsDisconnectedAndIsFoundAgain) {
    AddFaultySim(sim::LineFault::Vanish, AfterExchanges(50), 0);
    ASSERT_EQ(link->Connect(1, false), 1);
    TransferTally tally = ReadDeviceOptions(*link, settings);
    tally += ReadAllData(*link, state);
    EXPECT_FALSE(tally.Ok());
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kDeviceGoneMessage))});
    EXPECT_EQ(link->ConnectionState(), state::Disconnected);
    EXPECT_EQ(screen.Text(shell::StatusLabel), "Не подключен");
    EXPECT_FALSE(link->DeviceConnected);
    for (int i = 50; i < 80; ++i) EXPECT_TRUE(IsUnreadMarker(MapKind::LPG, state.document.Maps()[0].y[i])) << i;

    sims.clear();
    AddSim(1, 1, true);
    EXPECT_TRUE(link->AutoConnect(1, 3));
    EXPECT_EQ(link->ConnectionState(), state::Connected);
}

}  // namespace
}  // namespace tovrel::test
