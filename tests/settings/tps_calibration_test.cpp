// Throttle sensor calibration: the store handlers, the tracking loop and the
// swap, on the in-memory device; tracking and storing against the simulated
// engine, whose EEPROM must then hold the tracked ends.
#include <gtest/gtest.h>

#include "Engine.h"
#include "Monitor.h"
#include "TpsCalibration.h"
#include "live_fake_device.h"

namespace tovrel::test {
namespace {

constexpr const char* kMaxError = "SaveADCMaxButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение";
constexpr const char* kMinError = "SaveADCMinButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение";
constexpr const char* kManualError = "SaveADCManualValue: функция UARTdataExchangeForTovrel возвращает неверное значение";
constexpr const char* kTpsGuard = "Перед записью данных в вариатоор, завершите чтение текущего значения TPS.";

using TpsTest = LiveFixture;

// A device that confirms writes only to the given addresses; other writes
// come back with another value.
void ConfirmOnly(FakeDevice& d, std::vector<std::uint8_t> confirmed, std::uint16_t reading) {
    d.respond = [confirmed, reading](const Request& r) -> std::optional<std::uint16_t> {
        if (!r.write) return r.address == 129 ? reading : 0;
        if (std::find(confirmed.begin(), confirmed.end(), r.address) != confirmed.end()) return r.value;
        return static_cast<std::uint16_t>(r.value + 1);
    };
}

TEST_F(TpsTest, PresentReadingIsWrittenThenCommitted) {
    device->values[129] = 3900;
    EXPECT_TRUE(SaveADCMaxButtonClick(ctx));
    device->values[129] = 450;
    EXPECT_TRUE(SaveADCMinButtonClick(ctx));
    ASSERT_EQ(device->requests.size(), 6u);
    const auto& q = device->requests;
    EXPECT_TRUE(!q[0].write && q[0].address == 129 && q[0].value == 1000);
    EXPECT_TRUE(q[1].write && q[1].address == 6 && q[1].index == 0 && q[1].value == 3900);
    EXPECT_TRUE(q[2].write && q[2].address == 0 && q[2].index == 0 && q[2].value == 0);
    EXPECT_TRUE(q[4].write && q[4].address == 5 && q[4].value == 450);
    EXPECT_TRUE(q[5].write && q[5].address == 0);
    EXPECT_EQ(screen.Text("ADC_MAX_Value_Label"), "3900");
    EXPECT_EQ(screen.Text("ADC_MIN_Value_Label"), "450");
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(TpsTest, UnconfirmedPresentReadingShowsItsErrorAndCommitsNothing) {
    screen.SetText("ADC_MAX_Value_Label", "n/a");
    screen.SetText("ADC_MIN_Value_Label", "n/a");
    ConfirmOnly(*device, {}, 2000);
    EXPECT_FALSE(SaveADCMaxButtonClick(ctx));
    EXPECT_FALSE(SaveADCMinButtonClick(ctx));
    EXPECT_EQ(screen.messages, (std::vector<std::string>{kMaxError, kMinError}));
    for (const auto& w : device->Writes()) EXPECT_NE(w.address, 0) << "no commit";
    // Neither label shows a value the variator did not take.
    EXPECT_EQ(screen.Text("ADC_MAX_Value_Label"), "n/a");
    EXPECT_EQ(screen.Text("ADC_MIN_Value_Label"), "n/a");
}

TEST_F(TpsTest, TypedAndTrackedValuesAreSentAsTheirLow16Bits) {
    struct Case {
        const char* text;
        bool maximum;
        std::uint16_t sent;
        bool committed;
        const char* label;
    };
    const Case cases[] = {
        {"3900", true, 3900, true, "3900"},
        {"5000", false, 5000, true, "5000"},      // past the spin range, sent as typed
        {"70000", true, 4464, true, "4464"},      // 70000 - 65536
        {"40000", false, 40000, false, "40000"},  // confirmed by the device, never by the comparison
        {"-1", true, 65535, false, "65535"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        device->requests.clear();
        screen.Clear();
        const char* edit = c.maximum ? "MAX_TPS_Value_Edit" : "MIN_TPS_Value_Edit";
        const char* button = c.maximum ? "Fix_Manually_Set_MAX_TPS_Value_Button" : "Fix_Manually_Set_MIN_TPS_Value_Button";
        screen.SetText(edit, c.text);
        const bool ok = c.maximum ? Fix_Manually_Set_MAX_TPS_Value_ButtonClick(ctx)
                                  : Fix_Manually_Set_MIN_TPS_Value_ButtonClick(ctx);
        EXPECT_EQ(ok, c.committed);
        auto writes = device->Writes();
        ASSERT_GE(writes.size(), 1u);
        EXPECT_EQ(writes[0].address, c.maximum ? 6 : 5);
        EXPECT_EQ(writes[0].value, c.sent);
        EXPECT_EQ(writes.size(), c.committed ? 2u : 1u);
        EXPECT_EQ(screen.messages, c.committed ? std::vector<std::string>{} : std::vector<std::string>{kManualError});
        EXPECT_EQ(screen.Text(c.maximum ? "ADC_MAX_Value_Label" : "ADC_MIN_Value_Label"), c.label);
        EXPECT_EQ(screen.Texts(button),
                  (std::vector<std::string>{"Идёт сохранение...", c.maximum ? Tr(tps::kSavedMaxCaption) : Tr(tps::kSavedMinCaption)}));
    }
}

TEST_F(TpsTest, TextThatIsNotAnIntegerStopsBeforeAnythingIsSent) {
    live.TrackedMaximum.reset();  // no tracking run reached it: the label shows "n/a"
    screen.SetText("Fix_Auto_Detected_MAX_TPSButton", "caption");
    EXPECT_FALSE(Fix_Auto_Detected_MAX_TPSButtonClick(ctx));
    EXPECT_EQ(screen.errors, std::vector<std::string>{"'n/a' is not a valid integer value"});
    EXPECT_TRUE(device->requests.empty());
    EXPECT_EQ(screen.Text("Fix_Auto_Detected_MAX_TPSButton"), "caption");
}

TEST_F(TpsTest, StoreHandlersAdmitOnlyAConnectedDeviceWithWritesAllowedAndAFreeLine) {
    screen.SetText("MIN_TPS_Value_Edit", "100");
    link.ShowConnectionState(state::Disconnected);
    EXPECT_FALSE(Fix_Manually_Set_MIN_TPS_Value_ButtonClick(ctx));
    EXPECT_FALSE(SaveADCMinButtonClick(ctx));
    EXPECT_TRUE(screen.messages.empty());

    link.ShowConnectionState(state::Connected);
    guard.TPSFixingActive = true;
    EXPECT_FALSE(SaveADCMaxButtonClick(ctx));
    EXPECT_EQ(screen.messages, std::vector<std::string>{kTpsGuard});
    guard.TPSFixingActive = false;

    screen.Clear();
    {
        DeviceLink::LineHold transfer(link);
        EXPECT_FALSE(Fix_Manually_Set_MIN_TPS_Value_ButtonClick(ctx));
    }
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
    EXPECT_TRUE(device->requests.empty());
}

TEST_F(TpsTest, FirstReadingSetsTheEndsItLiesWithin) {
    struct Case {
        std::uint16_t first;
        const char* min;
        const char* max;
    };
    for (const auto& c : {Case{2000, "2000", "2000"}, Case{4095, "n/a", "4095"}, Case{0, "0", "n/a"}}) {
        SCOPED_TRACE(c.first);
        screen.SetText("Detected_MIN_ADC_Label", "n/a");
        screen.SetText("Detected_MAX_ADC_Label", "n/a");
        live.TrackedMinimum.reset();
        live.TrackedMaximum.reset();
        device->values[129] = c.first;
        live.tracking_passes = 1;
        StartFix_MAX_MIN_TPSButtonClick(ctx);
        EXPECT_EQ(screen.Text("Detected_MIN_ADC_Label"), c.min);
        EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), c.max);
        // The logic keeps the ends as numbers, the same as the labels show.
        EXPECT_EQ(TrackedText(live.TrackedMinimum), c.min);
        EXPECT_EQ(TrackedText(live.TrackedMaximum), c.max);
        EXPECT_EQ(screen.Text("Label25"), std::to_string(c.first));
    }
}

TEST_F(TpsTest, TrackingRunOfThousandReadingsFollowsTheExtremes) {
    std::deque<std::uint16_t> readings;
    for (int i = 0; i < 1000; ++i) readings.push_back(static_cast<std::uint16_t>(1000 + (i * 37) % 2000));
    readings[400] = 300;
    readings[700] = 3950;
    device->scripts[129] = readings;
    bool refused_write = false;
    screen.on_pump = [&] {
        if (device->Reads(129) == 500 && !refused_write) {
            refused_write = true;
            EXPECT_EQ(guard.CheckWriteAllowed(screen), 2);
        }
    };
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    EXPECT_EQ(device->Reads(129), 1000);
    EXPECT_EQ(screen.Text("Detected_MIN_ADC_Label"), "300");
    EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), "3950");
    EXPECT_EQ(screen.Text(tps::kTrackButton), Tr(tps::kTrackIdleCaption));
    EXPECT_FALSE(guard.TPSFixingActive);
    EXPECT_EQ(guard.CheckWriteAllowed(screen), 0);
    EXPECT_TRUE(device->Writes().empty());
}

TEST_F(TpsTest, SecondPressStopsTrackingInThePassInProgress) {
    screen.on_pump = [&] {
        if (device->Reads(129) == 10 && guard.TPSFixingActive && !live.TPSFixingStopRequested) {
            StartFix_MAX_MIN_TPSButtonClick(ctx);
            EXPECT_EQ(screen.Text(tps::kTrackButton), Tr(tps::kTrackIdleCaption));
        }
    };
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    EXPECT_EQ(device->Reads(129), 10);
    EXPECT_FALSE(guard.TPSFixingActive);
    EXPECT_FALSE(live.TPSFixingStopRequested);
    EXPECT_EQ(screen.Text(tps::kTrackButton), Tr(tps::kTrackIdleCaption));
}

TEST_F(TpsTest, TrackingStartIsRefusedWhileTheMonitorPollsOrTheLineIsHeld) {
    guard.RealtimeReadingActive = true;
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    guard.RealtimeReadingActive = false;
    {
        DeviceLink::LineHold transfer(link);
        StartFix_MAX_MIN_TPSButtonClick(ctx);
    }
    EXPECT_EQ(screen.messages, (std::vector<std::string>{Tr(tps::kMonitorRunsMessage), std::string(Tr(kLineBusyMessage))}));
    EXPECT_TRUE(device->requests.empty());
    // A monitor press during tracking is refused likewise.
    live.tracking_passes = 3;
    screen.on_pump = [&] {
        if (device->Reads(129) == 1 && !guard.RealtimeReadingActive) GetRealtimeParametersButtonClick(ctx);
    };
    screen.Clear();
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    EXPECT_EQ(screen.CountMessages(Tr(monitor::kTrackingRunsMessage)), 1);
    EXPECT_EQ(device->Reads(128), 0);
}

TEST_F(TpsTest, DisconnectedTrackingPressDoesNothing) {
    link.ShowConnectionState(state::Disconnected);
    screen.Clear();
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    EXPECT_TRUE(device->requests.empty());
    EXPECT_TRUE(screen.events.empty());
}

TEST(TpsSwap, SwapsTheTrackedEndsAndRefusesAnEndNotReached) {
    RecordingScreen screen;
    LiveState live;
    live.TrackedMaximum = 3900;
    live.TrackedMinimum = 450;
    Change_Min_to_Max_TPSButtonClick(screen, live);
    EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), "450");
    EXPECT_EQ(screen.Text("Detected_MIN_ADC_Label"), "3900");
    Change_Min_to_Max_TPSButtonClick(screen, live);
    EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), "3900");
    EXPECT_EQ(screen.Text("Detected_MIN_ADC_Label"), "450");
    EXPECT_EQ(live.TrackedMaximum, std::int16_t{3900});

    // A label changed behind the logic's back does not change what is swapped.
    screen.SetText("Detected_MAX_ADC_Label", "junk");
    Change_Min_to_Max_TPSButtonClick(screen, live);
    EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), "450");

    live.TrackedMinimum.reset();
    screen.Clear();
    Change_Min_to_Max_TPSButtonClick(screen, live);
    EXPECT_EQ(screen.errors, std::vector<std::string>{"'n/a' is not a valid integer value"});
    EXPECT_EQ(live.TrackedMaximum, std::int16_t{450});
}

// ------------------------------------------------------ against the engine

class TpsEngineTest : public SimFixture {};

TEST_F(TpsEngineTest, TrackedInvertedSensorIsSwappedAndStoredInEeprom) {
    auto& sim = AddSim(1);
    sim::EngineOptions o;
    o.tps_released = 3800;  // a sensor whose reading falls as the pedal goes down
    o.tps_pressed = 600;
    o.frozen = true;
    auto engine = std::make_shared<sim::Engine>(o);
    sim.AddAddressHandler(engine);
    ASSERT_EQ(link->Connect(1, false), 1);

    WriteGuard guard;
    DeviceOptions options;
    LiveState live;
    LiveContext ctx{*link, guard, options, live};
    live.tracking_passes = 60;
    // The fitter works the pedal: each reading comes a tenth of a second later.
    screen.on_pump = [&] { engine->Advance(std::chrono::milliseconds(100)); };
    engine->ResetServedTpsRange();
    StartFix_MAX_MIN_TPSButtonClick(ctx);
    screen.on_pump = nullptr;
    auto served = engine->ServedTpsRange();
    ASSERT_TRUE(served);
    EXPECT_LT(served->first, 700);
    EXPECT_GT(served->second, 3700);
    EXPECT_EQ(screen.Text("Detected_MIN_ADC_Label"), std::to_string(served->first));
    EXPECT_EQ(screen.Text("Detected_MAX_ADC_Label"), std::to_string(served->second));

    // The swap puts the pedal-pressed reading as the maximum-load value.
    Change_Min_to_Max_TPSButtonClick(screen, live);
    EXPECT_TRUE(Fix_Auto_Detected_MAX_TPSButtonClick(ctx));
    EXPECT_TRUE(Fix_Auto_Detected_MIN_TPSButtonClick(ctx));
    EXPECT_EQ(sim.Eeprom().tps_max, served->first);
    EXPECT_EQ(sim.Eeprom().tps_min, served->second);
    EXPECT_EQ(sim.Commits(), 2);
    EXPECT_TRUE(screen.messages.empty());
}

}  // namespace
}  // namespace tovrel::test
