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

int Gauge(int percent) { return std::clamp(percent, 0, 100); }

// The monitor's values with a fraction, in the screen's number form.
std::string AdvanceText(const RealtimeSnapshot& s) {
    const double angle = s.AdvanceDegrees();
    const SettingsText kind = angle > 0    ? SettingsText::AngleAdvance
                              : angle == 0 ? SettingsText::AngleNone
                                           : SettingsText::AngleRetard;
    return TrFormat(kind, FormatGeneral(angle));
}
std::string TimeToGasText(const RealtimeSnapshot& s) { return FormatGeneral(s.TimeToGasTenths() / 10.0); }

class Run {
public:
    explicit Run(LiveContext& ctx) : ctx_(ctx), screen_(ctx.screen()), page_(screen_), s_(ctx.state.snapshot) {}

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
        if (status_ok && ctx_.options.DeviceCapabilities.KeepsLogs() && page_.LogsCheckBox().IsChecked())
            LogStep(ctx_, s_.status);
        s_.tps_correction = static_cast<std::uint16_t>(Read(131));
        s_.advance = Read(132);
        if (ctx_.state.ServiceValuesShown) s_.adaptation_coefficient = Read(133);
        if (ctx_.state.AdaptationValuesShown && (pass % 20 == 0 || pass < 2)) {
            s_.adaptations_counter = static_cast<std::uint16_t>(Read(142));
            page_.AdaptationsCounter().SetColour(*s_.adaptations_counter == 0 ? colours::ButtonFace : colours::Green);
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
        page_.CpuTemperature().SetText(FormatGeneral(t));
        Rgb colour = colours::Red;
        if (t < -20) colour = colours::SkyBlue;
        else if (t < 80) colour = colours::Green;
        else if (t < 100) colour = colours::Yellow;
        page_.CpuTemperature().SetColour(colour);
    }

    void Show(int pass, int passes) {
        // TPS correction of the fuel in use.
        const int correction = s_.Correction();
        page_.CorrectionGauge().SetPosition(Gauge(correction));
        const SettingsText correction_text = correction == 100 ? SettingsText::CorrectionUnchanged
                                             : correction == 0 ? SettingsText::CorrectionZero
                                             : correction > 0  ? SettingsText::CorrectionPositive
                                                               : SettingsText::CorrectionInverted;
        page_.TpsCorrection().SetText(TrFormat(correction_text, std::to_string(correction)));

        page_.ThrottleGauge().SetPosition(Gauge(s_.ThrottlePercent()));

        if (s_.Gas()) {
            page_.FuelType().SetText(Tr(SettingsText::FuelGas));
            page_.FuelType().SetColour(colours::Green);
        } else {
            page_.FuelType().SetText(Tr(SettingsText::FuelPetrol));
            page_.FuelType().SetColour(colours::Red);
        }
        ShowBit(page_.DirectSend(), s_.DirectSend());
        ShowBit(page_.NeedGoodTahoe(), s_.NeedGoodTahoe());

        page_.Advance().SetText(AdvanceText(s_));

        // Before their first read in a run the service values show nothing.
        page_.AdaptationCoefficient().SetText(s_.adaptation_coefficient
                                                    ? std::to_string(*s_.adaptation_coefficient)
                                                    : std::string(kNotAvailable));
        page_.AdaptationsCounter().SetText(s_.adaptations_counter ? std::to_string(*s_.adaptations_counter)
                                                                          : std::string(kNotAvailable));

        page_.EngineSpeed().SetText(TrFormat(SettingsText::EngineSpeed, std::to_string(s_.engine_speed)));
        page_.ThrottleReading().SetText(std::to_string(s_.tps_adc));
        screen_.Pump();

        const int progress = static_cast<int>(static_cast<long>(pass) * 100 / passes);
        // The gauge only moves forward within a run.
        if (progress > progress_shown_) {
            progress_shown_ = Gauge(progress);
            page_.MonitorProgress().SetPosition(progress_shown_);
        }

        const int tenths = s_.TimeToGasTenths();
        page_.TimeToGas().SetText(TimeToGasText(s_));
        page_.TimeToGas().SetColour(tenths > 0 ? colours::Red : colours::ButtonFace);

        const int sync = s_.Synchronisation();
        if (sync == 1) {
            page_.Synchronisation().SetText(Tr(SettingsText::SyncDone));
            page_.Synchronisation().SetColour(colours::Green);
        } else if (sync == 0) {
            page_.Synchronisation().SetText(Tr(SettingsText::SyncMorePulses));
            page_.Synchronisation().SetColour(colours::Red);
        } else if (sync < 0) {
            page_.Synchronisation().SetText(Tr(SettingsText::SyncFewerPulses));
            page_.Synchronisation().SetColour(colours::ButtonFace);
        }

        page_.Cmp1Edges().SetText(std::to_string(s_.Cmp1Edges()));
        page_.Cmp2Edges().SetText(std::to_string(s_.Cmp2Edges()));
    }

    static void ShowBit(const Control& label, bool on) {
        label.SetText(on ? "  1  " : "  0  ");
        label.SetColour(on ? colours::Red : colours::Green);
    }

    LiveContext& ctx_;
    Screen& screen_;
    SettingsPage page_;
    RealtimeSnapshot& s_;
    int progress_shown_ = 0;  // the run starts with the gauge at 0
};

void EndOfRunReset(LiveContext& ctx) {
    auto& screen = ctx.screen();
    const SettingsPage page(screen);
    page.MonitorButton().SetText(Tr(monitor::kIdleCaption));
    ctx.state.RealtimeStopRequested = false;
    ctx.guard.RealtimeReadingActive = false;
    ctx.link.ClearStop();
    page.MonitorProgress().SetVisible(false);
    page.MonitorProgress().SetPosition(0);
    page.CorrectionGauge().SetPosition(0);
    page.ThrottleGauge().SetPosition(0);
    for (const auto& label : page.ValueLabels()) label.SetText(kNotAvailable);
    for (const auto& label : page.ButtonFaceLabels()) label.SetColour(colours::ButtonFace);
    for (const auto& label : page.ValueLabels()) label.SetOpaque(false);
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
    const SettingsPage page(screen);
    if (!ctx.link.IsConnected()) {
        screen.ShowMessage(Tr(monitor::kDisconnectedMessage));
        EndOfRunReset(ctx);
        return;
    }
    if (ctx.guard.RealtimeReadingActive) {
        // A second press, handled inside an exchange of the running loop.
        page.MonitorButton().SetText(Tr(monitor::kIdleCaption));
        ctx.state.RealtimeStopRequested = true;
        // During a log copy the stop is taken up once the copy and its file
        // are done; otherwise the exchange waiting now gives up at once.
        if (!ctx.state.LogCopyRunning) ctx.link.RequestStop();
        for (const auto& label : page.ValueLabels()) label.SetOpaque(false);
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
    page.MonitorButton().SetText(Tr(monitor::kRunningCaption));
    for (const auto& label : page.ColouredLabels()) label.SetOpaque(true);
    ctx.guard.RealtimeReadingActive = true;
    ctx.state.RealtimeStopRequested = false;
    page.MonitorProgress().SetVisible(true);
    screen.Pump();
    Run(ctx).Passes();
    EndOfRunReset(ctx);
}

void ShowMonitorNumbers(Screen& screen, const RealtimeSnapshot& s) {
    const SettingsPage page(screen);
    // Only a label that shows a pass's value: before a run and after its
    // reset they say "n/a" (or nothing yet) and stay so.
    auto rewrite = [](const Control& label, const std::string& text) {
        const std::string shown = label.Text();
        if (!shown.empty() && shown != kNotAvailable) label.SetText(text);
    };
    rewrite(page.CpuTemperature(), FormatGeneral(CpuTemperature(s.temperature_raw)));
    rewrite(page.Advance(), AdvanceText(s));
    rewrite(page.TimeToGas(), TimeToGasText(s));
}

}  // namespace tovrel
