// The real-time monitor: its read schedule, what each pass shows, the stop
// request from a nested press and the end-of-run reset.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "LogFile.h"
#include "Monitor.h"
#include "NumberText.h"
#include "TpsCalibration.h"
#include "live_fake_device.h"

namespace tovrel::test {
namespace {

constexpr const char* kValueLabels[] = {
    "FuelTypeLabel",     "TimeForGasAnglesLabel", "NecessaryAngleLabel",  "CalculatedAngleLabel", "FrequencyLabel",
    "CurrentADCValueLabel", "SynchronizationLabel", "CMP1_Signal_Label", "CMP2_Signal_Label",   "need_good_tahoeLabel",
    "DirectSendLabel",   "AdaptationsCounterLabel", "CPUTemperatureLabel",
};

using MonitorTest = LiveFixture;

TEST_F(MonitorTest, UnstoppedRunMakesThousandPassesOnItsReadSchedule) {
    std::vector<int> passes;
    live.on_pass = [&](const RealtimeSnapshot& s) { passes.push_back(s.pass); };
    GetRealtimeParametersButtonClick(ctx);

    ASSERT_EQ(passes.size(), 1000u);
    EXPECT_EQ(passes.back(), 999);
    for (std::uint8_t a : {128, 129, 130, 131, 132, 134}) EXPECT_EQ(device->Reads(a), 1000) << int(a);
    // Passes 0, 1, 10, 20, ..., 990.
    EXPECT_EQ(device->Reads(135), 101);
    EXPECT_EQ(device->Reads(140), 101);
    // Service values and logs only when their controls are shown.
    for (std::uint8_t a : {133, 142, 143, 144}) EXPECT_EQ(device->Reads(a), 0) << int(a);
    EXPECT_TRUE(device->Writes().empty());
    // Order within a pass: 0 reads everything, 2 the short schedule, 10 again everything.
    auto addresses = device->Addresses();
    EXPECT_EQ(std::vector<std::uint8_t>(addresses.begin(), addresses.begin() + 8),
              (std::vector<std::uint8_t>{128, 129, 130, 131, 132, 134, 135, 140}));
    EXPECT_EQ(std::vector<std::uint8_t>(addresses.begin() + 16, addresses.begin() + 22),
              (std::vector<std::uint8_t>{128, 129, 130, 131, 132, 134}));
    for (const auto& r : device->requests) {
        EXPECT_EQ(r.index, 0);
        EXPECT_EQ(r.value, 1000);
    }
}

TEST_F(MonitorTest, ServiceValuesAreReadOnlyWhileTheirLabelsShow) {
    live.ServiceValuesShown = true;
    live.AdaptationValuesShown = true;
    live.monitor_passes = 100;
    device->values[142] = 0;
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(device->Reads(133), 100);
    EXPECT_EQ(device->Reads(142), 6);  // passes 0, 1, 20, 40, 60, 80
}

TEST_F(MonitorTest, RunStateWhileRunningAndAfterTheReset) {
    live.monitor_passes = 3;
    bool checked = false;
    live.on_pass = [&](const RealtimeSnapshot& s) {
        if (s.pass != 1) return;
        checked = true;
        EXPECT_TRUE(guard.RealtimeReadingActive);
        EXPECT_EQ(screen.Text(monitor::kButton), Tr(monitor::kRunningCaption));
        EXPECT_TRUE(screen.IsVisible(monitor::kProgressGauge));
        EXPECT_TRUE(screen.Flag("FuelTypeLabel", Property::Opaque));
        EXPECT_TRUE(screen.Flag("CPUTemperatureLabel", Property::Opaque));
        // Writes are refused while the monitor polls.
        EXPECT_EQ(guard.CheckWriteAllowed(screen), 1);
    };
    device->values[130] = 0x0128;  // gas, throttle index 40
    device->values[131] = 50;
    GetRealtimeParametersButtonClick(ctx);
    ASSERT_TRUE(checked);
    EXPECT_FALSE(guard.RealtimeReadingActive);
    EXPECT_FALSE(live.RealtimeStopRequested);
    EXPECT_EQ(screen.Text(monitor::kButton), Tr(monitor::kIdleCaption));
    EXPECT_FALSE(screen.IsVisible(monitor::kProgressGauge));
    for (const char* g : {monitor::kProgressGauge, monitor::kCorrectionGauge, monitor::kThrottleGauge})
        EXPECT_EQ(screen.Number(g, Property::Position), 0) << g;
    for (const char* l : kValueLabels) {
        EXPECT_EQ(screen.Text(l), "n/a") << l;
        EXPECT_FALSE(screen.Flag(l, Property::Opaque)) << l;
    }
    EXPECT_EQ(screen.Colour("FuelTypeLabel"), colours::ButtonFace);
    EXPECT_EQ(screen.Colour("SynchronizationLabel"), colours::ButtonFace);
    // The correction text stays from the last pass.
    EXPECT_EQ(screen.Text("TPSCorrectionValueLabel"), "50% ");
}

TEST_F(MonitorTest, SecondPressDuringPass500EndsTheRunAfterThatPassIsShown) {
    std::vector<int> shown;
    live.on_pass = [&](const RealtimeSnapshot& s) { shown.push_back(s.pass); };
    bool pressed = false;
    screen.on_pump = [&] {
        // Inside the first exchange of pass 500.
        if (!pressed && device->Reads(128) == 501) {
            pressed = true;
            GetRealtimeParametersButtonClick(ctx);
            EXPECT_TRUE(live.RealtimeStopRequested);
            EXPECT_EQ(screen.Text(monitor::kButton), Tr(monitor::kIdleCaption));
            for (const char* l : kValueLabels) EXPECT_FALSE(screen.Flag(l, Property::Opaque)) << l;
        }
    };
    GetRealtimeParametersButtonClick(ctx);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(shown.back(), 500);
    EXPECT_EQ(shown.size(), 501u);
    EXPECT_EQ(device->Reads(128), 501);
    // The nested press sent nothing of its own, and the gauge reached 100
    // before it was hidden.
    std::vector<int> progress;
    for (const auto& e : screen.events)
        if (e.control == monitor::kProgressGauge && e.property == Property::Position) progress.push_back(std::get<int>(e.value));
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[progress.size() - 2], 100);
    EXPECT_EQ(progress.back(), 0);
    EXPECT_FALSE(guard.RealtimeReadingActive);
}

TEST_F(MonitorTest, DisconnectedPressShowsMessageResetsAndSendsNothing) {
    link.ShowConnectionState(state::Disconnected);
    screen.SetText("FrequencyLabel", "2400 об/мин");
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Вариатор отключен"});
    EXPECT_TRUE(device->requests.empty());
    EXPECT_EQ(screen.Text("FrequencyLabel"), "n/a");
    EXPECT_EQ(screen.Text(monitor::kButton), Tr(monitor::kIdleCaption));
}

TEST_F(MonitorTest, StartIsRefusedWhileTrackingRunsOrTheLineIsHeld) {
    guard.TPSFixingActive = true;
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(screen.messages, std::vector<std::string>{Tr(monitor::kTrackingRunsMessage)});
    guard.TPSFixingActive = false;
    screen.Clear();
    {
        DeviceLink::LineHold transfer(link);
        GetRealtimeParametersButtonClick(ctx);
    }
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
    EXPECT_TRUE(device->requests.empty());
    EXPECT_FALSE(guard.RealtimeReadingActive);
}

TEST_F(MonitorTest, TrackingPressedDuringARunIsRefusedAndNeverInterleaves) {
    live.monitor_passes = 5;
    int presses = 0;
    screen.on_pump = [&] {
        if (device->Reads(128) == 3 && presses++ == 0) StartFix_MAX_MIN_TPSButtonClick(ctx);
    };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(screen.CountMessages(Tr(tps::kMonitorRunsMessage)), 1);
    EXPECT_EQ(device->Reads(129), 5);  // the monitor's own reads only
    EXPECT_FALSE(guard.TPSFixingActive);
}

TEST_F(MonitorTest, ClosedLinkEndsTheRun) {
    std::vector<int> shown;
    live.on_pass = [&](const RealtimeSnapshot& s) { shown.push_back(s.pass); };
    screen.on_pump = [&] {
        if (device->Reads(128) == 4 && link.IsConnected()) {
            link.Disconnect();
            link.ShowConnectionState(state::Disconnected);
        }
    };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_FALSE(guard.RealtimeReadingActive);
}

// A device that vanishes mid-run: its failed status reads are no finished
// log (they used to write all-zero LOG files), the passes that failed say so,
// and the run ends after three silent exchanges with one message.
TEST_F(MonitorTest, DeviceThatGoesSilentEndsTheRunWithoutInventedData) {
    options.DeviceCapabilities.ReadFromDevice((1u << 9) | (1u << 10));  // the firmware keeps logs
    screen.SetChecked(kLogsCheckBox, true);
    device->values[130] = 0x0800;  // a log recording: nothing to copy yet
    std::vector<RealtimeSnapshot> shown;
    live.on_pass = [&](const RealtimeSnapshot& s) { shown.push_back(s); };
    device->respond = [&](const Request& r) -> std::optional<std::uint16_t> {
        if (device->Reads(128) > 2) return std::nullopt;  // gone from the third pass on
        return r.write ? r.value : device->values[r.address];
    };
    GetRealtimeParametersButtonClick(ctx);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].failed_reads, 0);
    EXPECT_EQ(shown[1].failed_reads, 0);
    EXPECT_GT(shown[2].failed_reads, 0);
    EXPECT_EQ(device->Reads(143), 0);  // no log copy began
    EXPECT_EQ(live.LogCounter, 0);
    EXPECT_FALSE(std::filesystem::exists(live.logs_dir + "/LOG_1.txt"));
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineSilentMessage))});
    EXPECT_FALSE(guard.RealtimeReadingActive);
}

// ------------------------------------------------------------- display

struct Shown {
    std::string text;
    std::optional<Rgb> colour;
};

// Runs one pass with these device values and returns what the labels showed.
class MonitorDisplayTest : public LiveFixture {
protected:
    std::map<std::string, Shown> OnePass(std::map<std::uint8_t, std::uint16_t> values) {
        device->values = std::move(values);
        live.monitor_passes = 1;
        std::map<std::string, Shown> shown;
        live.on_pass = [&](const RealtimeSnapshot&) {
            for (const char* l : {"FuelTypeLabel", "TimeForGasAnglesLabel", "NecessaryAngleLabel", "FrequencyLabel",
                                  "CurrentADCValueLabel", "SynchronizationLabel", "CMP1_Signal_Label",
                                  "CMP2_Signal_Label", "need_good_tahoeLabel", "DirectSendLabel", "CPUTemperatureLabel",
                                  "TPSCorrectionValueLabel", "CalculatedAngleLabel", "AdaptationsCounterLabel"})
                shown[l] = {screen.Text(l), screen.Colour(l)};
            shown["throttle"] = {std::to_string(screen.Number(monitor::kThrottleGauge, Property::Position)), {}};
            shown["correction"] = {std::to_string(screen.Number(monitor::kCorrectionGauge, Property::Position)), {}};
        };
        GetRealtimeParametersButtonClick(ctx);
        return shown;
    }
};

TEST_F(MonitorDisplayTest, ValuesTextsAndColours) {
    struct Case {
        std::map<std::uint8_t, std::uint16_t> values;
        std::string label;
        std::string text;
        std::optional<Rgb> colour;
    };
    const std::vector<Case> cases = {
        {{{130, 79}}, "throttle", "100", {}},
        {{{130, 40}}, "throttle", "50", {}},
        {{{130, 255}}, "throttle", "100", {}},  // the gauge clamps 322
        {{{132, 0xFF06}}, "NecessaryAngleLabel", "-2.5 град (запаздывание зажигания)", {}},
        {{{132, 0}}, "NecessaryAngleLabel", "0 град (опережение не вносится)", {}},
        {{{132, 950}}, "NecessaryAngleLabel", "9.5 град (опережение зажигания)", {}},
        {{{140, 1774}}, "CPUTemperatureLabel", "25", colours::Green},
        {{{140, 1700}}, "CPUTemperatureLabel", "38.9", colours::Green},
        {{{140, 2000}}, "CPUTemperatureLabel", "-17.2", colours::Green},
        {{{140, 1500}}, "CPUTemperatureLabel", "76.4", colours::Green},
        {{{140, 1454}}, "CPUTemperatureLabel", "85", colours::Yellow},
        {{{140, 1300}}, "CPUTemperatureLabel", "113.9", colours::Red},
        {{{140, 2200}}, "CPUTemperatureLabel", "-54.7", colours::SkyBlue},
        // Gas takes the low byte, petrol the high byte (156 is -100).
        {{{130, 0x0100}, {131, 0x9C64}}, "TPSCorrectionValueLabel",
         "100% Карта углов зависимости от оборотов передаётся без изменения", {}},
        {{{130, 0x0100}, {131, 0x9C64}}, "correction", "100", {}},
        {{{130, 0}, {131, 0x9C64}}, "TPSCorrectionValueLabel", "-100% По сигналу TPS ЗНАК ОПЕРЕЖЕНИЯ ИНВЕРТИРОВАН", {}},
        {{{130, 0}, {131, 0x9C64}}, "correction", "0", {}},
        {{{130, 0}, {131, 0x2300}}, "TPSCorrectionValueLabel", "35% ", {}},
        {{{130, 0x0100}, {131, 0x2300}}, "TPSCorrectionValueLabel", "0% По сигналу TPS углы обнуляем", {}},
        {{{130, 0x0100}}, "FuelTypeLabel", "ГАЗ", colours::Green},
        {{{130, 0x0000}}, "FuelTypeLabel", "БЕНЗИН", colours::Red},
        {{{130, 0x0200}}, "DirectSendLabel", "  1  ", colours::Red},
        {{{130, 0x0400}}, "DirectSendLabel", "  0  ", colours::Green},
        {{{130, 0x0400}}, "need_good_tahoeLabel", "  1  ", colours::Red},
        {{{134, 0x1901}}, "TimeForGasAnglesLabel", "2.5", colours::Red},
        {{{134, 0x0001}}, "TimeForGasAnglesLabel", "0", colours::ButtonFace},
        {{{134, 0x0001}}, "SynchronizationLabel", "ВЫПОЛНЕНА", colours::Green},
        {{{134, 0x0000}}, "SynchronizationLabel", "БОЛЬШЕ ИМПУЛЬСОВ", colours::Red},
        {{{134, 0x00FF}}, "SynchronizationLabel", "МЕНЬШЕ ИМПУЛЬСОВ", colours::ButtonFace},
        {{{135, 0x0C0D}}, "CMP1_Signal_Label", "12", {}},
        {{{135, 0x0C0D}}, "CMP2_Signal_Label", "13", {}},
        {{{128, 65000}}, "FrequencyLabel", "65000 об/мин", {}},
        {{{129, 0xFFFB}}, "CurrentADCValueLabel", "-5", {}},
    };
    for (const auto& c : cases) {
        auto shown = OnePass(c.values);
        SCOPED_TRACE(c.label + " = " + c.text);
        EXPECT_EQ(shown[c.label].text, c.text);
        if (c.colour) {
            EXPECT_EQ(shown[c.label].colour, c.colour);
        }
    }
}

TEST_F(MonitorDisplayTest, SynchronisationAboveOneLeavesTheLabelAsItWas) {
    screen.SetText("SynchronizationLabel", "ВЫПОЛНЕНА");
    screen.SetColour("SynchronizationLabel", colours::Green);
    auto shown = OnePass({{134, 0x0002}});
    EXPECT_EQ(shown["SynchronizationLabel"].text, "ВЫПОЛНЕНА");
    EXPECT_EQ(shown["SynchronizationLabel"].colour, colours::Green);
}

TEST_F(MonitorDisplayTest, NumbersUseTheUsersDecimalSeparatorAndFollowItsChange) {
    SetDecimalSeparator(',');
    auto shown = OnePass({{132, 0xFF06}, {134, 0x0F01}, {140, 1700}});
    EXPECT_EQ(shown["NecessaryAngleLabel"].text, "-2,5 град (запаздывание зажигания)");
    EXPECT_EQ(shown["CPUTemperatureLabel"].text, "38,9");
    EXPECT_EQ(shown["TimeForGasAnglesLabel"].text, "1,5");

    // The separator changes while a run shows a pass (a language switch):
    // that pass's numbers are written anew, nothing is read for them.
    std::map<std::string, std::string> anew;
    std::size_t requests = 0;
    live.on_pass = [&](const RealtimeSnapshot& s) {
        requests = device->requests.size();
        SetDecimalSeparator('.');
        ShowMonitorNumbers(screen, s);
        for (const char* l : {"NecessaryAngleLabel", "CPUTemperatureLabel", "TimeForGasAnglesLabel"})
            anew[l] = screen.Text(l);
    };
    SetDecimalSeparator(',');
    GetRealtimeParametersButtonClick(ctx);
    SetDecimalSeparator('.');
    EXPECT_EQ(anew["NecessaryAngleLabel"], "-2.5 град (запаздывание зажигания)");
    EXPECT_EQ(anew["CPUTemperatureLabel"], "38.9");
    EXPECT_EQ(anew["TimeForGasAnglesLabel"], "1.5");
    EXPECT_EQ(device->requests.size(), requests);

    // After the run's reset the labels say "n/a" and keep saying it.
    ShowMonitorNumbers(screen, live.snapshot);
    for (const char* l : {"NecessaryAngleLabel", "CPUTemperatureLabel", "TimeForGasAnglesLabel"})
        EXPECT_EQ(screen.Text(l), "n/a") << l;
}

TEST_F(MonitorTest, ValuesNotReadInAPassKeepTheirLastReadOfTheRun) {
    live.monitor_passes = 12;
    device->scripts[135] = {0x0101, 0x0202, 0x0303};  // passes 0, 1 and 10
    device->scripts[140] = {1774, 1700, 1500};
    std::map<int, std::pair<std::string, std::string>> seen;
    live.on_pass = [&](const RealtimeSnapshot& s) {
        seen[s.pass] = {screen.Text("CMP1_Signal_Label"), screen.Text("CPUTemperatureLabel")};
    };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(seen[1], (std::pair<std::string, std::string>{"2", "38.9"}));
    EXPECT_EQ(seen[9], (std::pair<std::string, std::string>{"2", "38.9"}));
    EXPECT_EQ(seen[10], (std::pair<std::string, std::string>{"3", "76.4"}));
}

TEST_F(MonitorTest, ServiceLabelsShownMidRunShowNothingUntilTheirFirstRead) {
    live.monitor_passes = 21;
    device->values[142] = 7;
    device->values[133] = 0xFFFE;
    std::map<int, std::string> counter, coefficient;
    live.on_pass = [&](const RealtimeSnapshot& s) {
        if (s.pass == 3) {  // the service hot key during the run
            live.AdaptationValuesShown = true;
            live.ServiceValuesShown = true;
        }
        counter[s.pass] = screen.Text("AdaptationsCounterLabel");
        coefficient[s.pass] = screen.Text("CalculatedAngleLabel");
    };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(counter[4], "n/a");
    EXPECT_EQ(coefficient[4], "-2");
    EXPECT_EQ(counter[20], "7");
    EXPECT_EQ(device->Reads(142), 1);
}

TEST_F(MonitorTest, AdaptationsCounterColourFollowsZero) {
    live.AdaptationValuesShown = true;
    live.monitor_passes = 2;
    device->scripts[142] = {0, 5};
    std::vector<std::optional<Rgb>> colours_seen;
    live.on_pass = [&](const RealtimeSnapshot&) { colours_seen.push_back(screen.Colour("AdaptationsCounterLabel")); };
    GetRealtimeParametersButtonClick(ctx);
    EXPECT_EQ(colours_seen, (std::vector<std::optional<Rgb>>{colours::ButtonFace, colours::Green}));
}

TEST(CpuTemperature, FormulaCutsToTenthsTowardZero) {
    EXPECT_DOUBLE_EQ(CpuTemperature(1774), 25.0);
    EXPECT_DOUBLE_EQ(CpuTemperature(1700), 38.9);
    EXPECT_DOUBLE_EQ(CpuTemperature(2000), -17.2);
    EXPECT_DOUBLE_EQ(CpuTemperature(0), 357.5);
}

}  // namespace
}  // namespace tovrel::test
