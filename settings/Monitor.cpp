#include "Monitor.h"

#include <algorithm>
#include <cmath>

#include "LogFile.h"
#include "NumberText.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace {

constexpr std::int16_t kReadValue = 1000;
constexpr const char* kNotAvailable = "n/a";

// The thirteen value labels, in the order the reset names them.
constexpr const char* kValueLabels[] = {
    "FuelTypeLabel",        "TimeForGasAnglesLabel", "NecessaryAngleLabel", "CalculatedAngleLabel",
    "FrequencyLabel",       "CurrentADCValueLabel",  "SynchronizationLabel", "CMP1_Signal_Label",
    "CMP2_Signal_Label",    "need_good_tahoeLabel",  "DirectSendLabel",      "AdaptationsCounterLabel",
    "CPUTemperatureLabel",
};
// The labels that carry a colour while a run shows values.
constexpr const char* kColouredLabels[] = {
    "FuelTypeLabel",        "TimeForGasAnglesLabel", "CalculatedAngleLabel",    "SynchronizationLabel",
    "need_good_tahoeLabel", "DirectSendLabel",       "AdaptationsCounterLabel", "CPUTemperatureLabel",
};
constexpr const char* kButtonFaceLabels[] = {
    "FuelTypeLabel",   "TimeForGasAnglesLabel", "SynchronizationLabel", "need_good_tahoeLabel",
    "DirectSendLabel", "AdaptationsCounterLabel",
};

int Gauge(int percent) { return std::clamp(percent, 0, 100); }

class Run {
public:
    explicit Run(LiveContext& ctx) : ctx_(ctx), screen_(ctx.screen()), s_(ctx.state.snapshot) {}

    void Passes() {
        const int passes = std::max(1, ctx_.state.monitor_passes);
        s_ = RealtimeSnapshot{};
        for (int pass = 0; pass < passes; ++pass) {
            s_.pass = pass;
            s_.failed_reads = 0;
            OnePass(pass);
        }
    }

private:
    // A stop taken up in this pass moves `pass` to the end: the pass is still
    // shown and the loop then ends.
    void OnePass(int& pass) {
        const int passes = std::max(1, ctx_.state.monitor_passes);
        s_.engine_speed = static_cast<std::uint16_t>(Read(128));
        s_.tps_adc = Read(129);
        s_.status = static_cast<std::uint16_t>(Read(130));
        // Only a status that came back says whether a log is finished: the
        // zeros of a failed read would count as one.
        const bool status_ok = ctx_.link.LastExchangeOk();
        if (status_ok && screen_.IsVisible(kLogsCounterLabel) && screen_.IsChecked(kLogsCheckBox))
            LogStep(ctx_, s_.status);
        s_.tps_correction = static_cast<std::uint16_t>(Read(131));
        s_.advance = Read(132);
        if (ctx_.state.ServiceValuesShown) s_.adaptation_coefficient = Read(133);
        if (ctx_.state.AdaptationValuesShown && (pass % 20 == 0 || pass < 2)) {
            s_.adaptations_counter = static_cast<std::uint16_t>(Read(142));
            screen_.SetColour("AdaptationsCounterLabel",
                              *s_.adaptations_counter == 0 ? colours::ButtonFace : colours::Green);
        }
        s_.gas_time_sync = static_cast<std::uint16_t>(Read(134));
        if (pass % 10 == 0 || pass < 2) {
            s_.cmp_edges = static_cast<std::uint16_t>(Read(135));
            s_.temperature_raw = Read(140);
            ShowTemperature();
            screen_.Pump();
        }
        // A run also ends when the link was closed under it (a nested command
        // disconnected): there is nothing left to poll.
        // A line silent for several exchanges in a row ends the run too,
        // with one message, rather than filling passes with nothing.
        const bool silent = ctx_.link.LineSilent();
        if (silent) ctx_.link.ReportLineSilent();
        if (ctx_.state.RealtimeStopRequested || !ctx_.link.IsConnected() || silent) {
            ctx_.state.RealtimeStopRequested = false;
            ctx_.guard.RealtimeReadingActive = false;
            pass = passes;
        }
        Show(pass, passes);
        if (ctx_.state.on_pass) ctx_.state.on_pass(s_);
    }

    // A pass stopped or silent part-way reads no further: its remaining
    // values are not asked for, and the pass counts as failed.
    std::int16_t Read(std::uint8_t address) {
        if (ctx_.link.StopRequested() || ctx_.link.LineSilent()) {
            ++s_.failed_reads;
            return 0;
        }
        auto v = ctx_.link.UARTdataExchangeForTovrel(ExchangeOp::Read, address, 0, kReadValue, true, 2);
        if (!ctx_.link.LastExchangeOk()) {
            ++ctx_.state.failed_exchanges;
            ++s_.failed_reads;
        }
        return v;
    }

    void ShowTemperature() {
        const double t = CpuTemperature(s_.temperature_raw);
        screen_.SetText("CPUTemperatureLabel", FormatGeneral(t));
        Rgb colour = colours::Red;
        if (t < -20) colour = colours::SkyBlue;
        else if (t < 80) colour = colours::Green;
        else if (t < 100) colour = colours::Yellow;
        screen_.SetColour("CPUTemperatureLabel", colour);
    }

    void Show(int pass, int passes) {
        // TPS correction of the fuel in use.
        const int correction = s_.Correction();
        screen_.SetPosition(monitor::kCorrectionGauge, Gauge(correction));
        const SettingsText correction_text = correction == 100 ? SettingsText::CorrectionUnchanged
                                             : correction == 0 ? SettingsText::CorrectionZero
                                             : correction > 0  ? SettingsText::CorrectionPositive
                                                               : SettingsText::CorrectionInverted;
        screen_.SetText("TPSCorrectionValueLabel", TrFormat(correction_text, std::to_string(correction)));

        screen_.SetPosition(monitor::kThrottleGauge, Gauge(s_.ThrottlePercent()));

        if (s_.Gas()) {
            screen_.SetText("FuelTypeLabel", Tr(SettingsText::FuelGas));
            screen_.SetColour("FuelTypeLabel", colours::Green);
        } else {
            screen_.SetText("FuelTypeLabel", Tr(SettingsText::FuelPetrol));
            screen_.SetColour("FuelTypeLabel", colours::Red);
        }
        ShowBit("DirectSendLabel", s_.DirectSend());
        ShowBit("need_good_tahoeLabel", s_.NeedGoodTahoe());

        const double angle = s_.AdvanceDegrees();
        const SettingsText kind = angle > 0    ? SettingsText::AngleAdvance
                                  : angle == 0 ? SettingsText::AngleNone
                                               : SettingsText::AngleRetard;
        screen_.SetText("NecessaryAngleLabel", TrFormat(kind, FormatGeneral(angle)));

        // Before their first read in a run the service values show nothing.
        screen_.SetText("CalculatedAngleLabel", s_.adaptation_coefficient
                                                    ? std::to_string(*s_.adaptation_coefficient)
                                                    : std::string(kNotAvailable));
        screen_.SetText("AdaptationsCounterLabel", s_.adaptations_counter ? std::to_string(*s_.adaptations_counter)
                                                                          : std::string(kNotAvailable));

        screen_.SetText("FrequencyLabel", TrFormat(SettingsText::EngineSpeed, std::to_string(s_.engine_speed)));
        screen_.SetText("CurrentADCValueLabel", std::to_string(s_.tps_adc));
        screen_.Pump();

        const int progress = static_cast<int>(static_cast<long>(pass) * 100 / passes);
        if (progress > screen_.Number(monitor::kProgressGauge, Property::Position))
            screen_.SetPosition(monitor::kProgressGauge, Gauge(progress));

        const int tenths = s_.TimeToGasTenths();
        screen_.SetText("TimeForGasAnglesLabel", FormatGeneral(tenths / 10.0));
        screen_.SetColour("TimeForGasAnglesLabel", tenths > 0 ? colours::Red : colours::ButtonFace);

        const int sync = s_.Synchronisation();
        if (sync == 1) {
            screen_.SetText("SynchronizationLabel", Tr(SettingsText::SyncDone));
            screen_.SetColour("SynchronizationLabel", colours::Green);
        } else if (sync == 0) {
            screen_.SetText("SynchronizationLabel", Tr(SettingsText::SyncMorePulses));
            screen_.SetColour("SynchronizationLabel", colours::Red);
        } else if (sync < 0) {
            screen_.SetText("SynchronizationLabel", Tr(SettingsText::SyncFewerPulses));
            screen_.SetColour("SynchronizationLabel", colours::ButtonFace);
        }

        screen_.SetText("CMP1_Signal_Label", std::to_string(s_.Cmp1Edges()));
        screen_.SetText("CMP2_Signal_Label", std::to_string(s_.Cmp2Edges()));
    }

    void ShowBit(const char* label, bool on) {
        screen_.SetText(label, on ? "  1  " : "  0  ");
        screen_.SetColour(label, on ? colours::Red : colours::Green);
    }

    LiveContext& ctx_;
    Screen& screen_;
    RealtimeSnapshot& s_;
};

void EndOfRunReset(LiveContext& ctx) {
    auto& screen = ctx.screen();
    screen.SetText(monitor::kButton, Tr(monitor::kIdleCaption));
    ctx.state.RealtimeStopRequested = false;
    ctx.guard.RealtimeReadingActive = false;
    ctx.link.ClearStop();
    screen.SetVisible(monitor::kProgressGauge, false);
    screen.SetPosition(monitor::kProgressGauge, 0);
    screen.SetPosition(monitor::kCorrectionGauge, 0);
    screen.SetPosition(monitor::kThrottleGauge, 0);
    for (const char* label : kValueLabels) screen.SetText(label, kNotAvailable);
    for (const char* label : kButtonFaceLabels) screen.SetColour(label, colours::ButtonFace);
    for (const char* label : kValueLabels) screen.SetOpaque(label, false);
    screen.Pump();
}

}  // namespace

double CpuTemperature(std::int16_t raw) {
    const double t = (1.43 - raw * 0.00080586) / 0.0043 + 25;
    // Tenths by truncation, held in 16 bits as the firmware's tools do.
    const auto tenths = static_cast<std::int16_t>(static_cast<std::int32_t>(std::trunc(t * 10)));
    return tenths / 10.0;
}

void GetRealtimeParametersButtonClick(LiveContext& ctx) {
    auto& screen = ctx.screen();
    if (!ctx.link.IsConnected()) {
        screen.ShowMessage(Tr(monitor::kDisconnectedMessage));
        EndOfRunReset(ctx);
        return;
    }
    if (ctx.guard.RealtimeReadingActive) {
        // A second press, handled inside an exchange of the running loop.
        screen.SetText(monitor::kButton, Tr(monitor::kIdleCaption));
        ctx.state.RealtimeStopRequested = true;
        // During a log copy the stop is taken up once the copy and its file
        // are done; otherwise the exchange waiting now gives up at once.
        if (!ctx.state.LogCopyRunning) ctx.link.RequestStop();
        for (const char* label : kValueLabels) screen.SetOpaque(label, false);
        return;
    }
    // Two polling loops, or a loop and a configuration transfer, would mix
    // their frames on the one line.
    if (ctx.guard.TPSFixingActive) {
        screen.ShowMessage(Tr(monitor::kTrackingRunsMessage));
        return;
    }
    if (ctx.link.LineBusy()) {
        screen.ShowNotice(Tr(kLineBusyMessage));
        return;
    }
    DeviceLink::LineHold hold(ctx.link, {ProcedureKind::Ordinary, "monitor"});
    screen.SetText(monitor::kButton, Tr(monitor::kRunningCaption));
    for (const char* label : kColouredLabels) screen.SetOpaque(label, true);
    ctx.guard.RealtimeReadingActive = true;
    ctx.state.RealtimeStopRequested = false;
    screen.SetVisible(monitor::kProgressGauge, true);
    screen.Pump();
    Run(ctx).Passes();
    EndOfRunReset(ctx);
}

}  // namespace tovrel
