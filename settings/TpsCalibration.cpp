#include "TpsCalibration.h"

#include <string>

#include "Commit.h"
#include "NumberText.h"
#include "SettingsPage.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace {

constexpr std::int16_t kReadValue = 1000;
constexpr SettingsText kManualError = SettingsText::ManualValueFailed;

std::string Unsigned16(long v) { return std::to_string(static_cast<std::uint16_t>(v)); }

// The connection, the write guard, and a line not held by another procedure.
bool Admitted(LiveContext& ctx) {
    if (!ctx.link.IsConnected()) return false;
    if (ctx.guard.CheckWriteAllowed(ctx.screen()) != 0) return false;
    if (ctx.link.LineBusy()) {
        ctx.screen().ShowNotice(Tr(kLineBusyMessage));
        return false;
    }
    return true;
}

std::int16_t ReadTps(LiveContext& ctx) {
    return ctx.link.UARTdataExchangeForTovrel(ExchangeOp::Read, tps::kReadingAddress, 0, kReadValue, true, 2);
}

bool SavePresentReading(LiveContext& ctx, bool maximum) {
    if (!Admitted(ctx)) return false;
    DeviceLink::LineHold hold(ctx.link, {ProcedureKind::Write, "throttle reading store"});
    const long v = ReadTps(ctx);
    // A reading that did not come back is no reading: nothing is stored.
    if (!ctx.link.LastExchangeOk()) return false;
    bool written = false;
    const bool ok = maximum
        ? SaveCalibrationValue(ctx, tps::kMaxAddress, v,
                               Tr(SettingsText::MaxValueFailed),
                               &written)
        : SaveCalibrationValue(ctx, tps::kMinAddress, v,
                               Tr(SettingsText::MinValueFailed),
                               &written);
    // The label shows what the variator holds: it follows a confirmed write,
    // whether or not the commit after it was confirmed too.
    if (written) {
        const SettingsPage page(ctx.screen());
        (maximum ? page.TpsMaximum() : page.TpsMinimum()).SetText(Unsigned16(v));
    }
    return ok;
}

// `text` is what the user typed, or the tracked end as its label shows it.
bool SaveTextValue(LiveContext& ctx, const std::string& text, const Control& button, bool maximum) {
    if (!Admitted(ctx)) return false;
    auto& screen = ctx.screen();
    const auto v = ParseInteger(text);
    if (!v) {
        screen.ShowError(NotAnIntegerMessage(text));
        return false;
    }
    DeviceLink::LineHold hold(ctx.link, {ProcedureKind::Write, "throttle value store"});
    button.SetText(Tr(tps::kSavingCaption));
    bool written = false;
    const bool ok =
        SaveCalibrationValue(ctx, maximum ? tps::kMaxAddress : tps::kMinAddress, *v, Tr(kManualError), &written);
    const SettingsPage settings(screen);
    if (written) (maximum ? settings.TpsMaximum() : settings.TpsMinimum()).SetText(Unsigned16(*v));
    button.SetText(maximum ? Tr(tps::kSavedMaxCaption) : Tr(tps::kSavedMinCaption));
    return ok;
}

}  // namespace

bool SaveCalibrationValue(LiveContext& ctx, std::uint8_t address, long v, std::string_view errorMessage,
                          bool* write_confirmed) {
    if (write_confirmed) *write_confirmed = false;
    const auto bits = static_cast<std::uint16_t>(v);
    const std::int16_t r = ctx.link.UARTdataExchangeForTovrel(ExchangeOp::Write, address, 0,
                                                              static_cast<std::int16_t>(bits), true, 2);
    // The returned value, signed, against the low 16 bits, unsigned: a value
    // of 32768 or more is never taken for confirmed.
    const bool confirmed = ctx.link.LastExchangeOk();
    if (write_confirmed) *write_confirmed = confirmed;
    if (confirmed && r == static_cast<long>(bits)) {
        if (ctx.state.before_commit && !ctx.state.before_commit()) return false;
        return CommitToEEPROM(ctx.link);
    }
    // A vanished device has had its own box, which names the cause.
    if (!ctx.link.DeviceGone()) ctx.screen().ShowMessage(errorMessage);
    return false;
}

bool SaveADCMaxButtonClick(LiveContext& ctx) { return SavePresentReading(ctx, true); }
bool SaveADCMinButtonClick(LiveContext& ctx) { return SavePresentReading(ctx, false); }

bool Fix_Auto_Detected_MAX_TPSButtonClick(LiveContext& ctx) {
    return SaveTextValue(ctx, TrackedText(ctx.state.TrackedMaximum), ThrottleCalibrationPage(ctx.screen()).StoreTrackedMaximumButton(), true);
}
bool Fix_Auto_Detected_MIN_TPSButtonClick(LiveContext& ctx) {
    return SaveTextValue(ctx, TrackedText(ctx.state.TrackedMinimum), ThrottleCalibrationPage(ctx.screen()).StoreTrackedMinimumButton(), false);
}
bool Fix_Manually_Set_MAX_TPS_Value_ButtonClick(LiveContext& ctx) {
    const ThrottleCalibrationPage page(ctx.screen());
    return SaveTextValue(ctx, page.TypedMaximum().Text(), page.StoreTypedMaximumButton(), true);
}
bool Fix_Manually_Set_MIN_TPS_Value_ButtonClick(LiveContext& ctx) {
    const ThrottleCalibrationPage page(ctx.screen());
    return SaveTextValue(ctx, page.TypedMinimum().Text(), page.StoreTypedMinimumButton(), false);
}

void StartFix_MAX_MIN_TPSButtonClick(LiveContext& ctx) {
    auto& screen = ctx.screen();
    const ThrottleCalibrationPage page(screen);
    if (!ctx.link.IsConnected()) return;
    if (ctx.guard.TPSFixingActive) {
        // A second press, handled inside an exchange of the running loop.
        page.TrackButton().SetText(Tr(tps::kTrackIdleCaption));
        ctx.state.TPSFixingStopRequested = true;
        ctx.link.RequestStop();
        return;
    }
    // Two polling loops, or a loop and a configuration transfer, would mix
    // their frames on the one line.
    if (ctx.guard.RealtimeReadingActive) {
        screen.ShowMessage(Tr(tps::kMonitorRunsMessage));
        return;
    }
    if (ctx.link.LineBusy()) {
        screen.ShowNotice(Tr(kLineBusyMessage));
        return;
    }
    DeviceLink::LineHold hold(ctx.link, {ProcedureKind::Ordinary, "throttle tracking"});
    page.TrackButton().SetText(Tr(tps::kTrackRunningCaption));
    ctx.guard.TPSFixingActive = true;
    ctx.state.TPSFixingStopRequested = false;
    screen.Pump();
    std::int16_t minimum = 4095, maximum = 0;
    bool stop_requested = false;
    const int passes = ctx.state.tracking_passes;
    for (int pass = 0; pass < passes; ++pass) {
        const std::int16_t r = ReadTps(ctx);
        // A failed reading is shown as nothing and counts for neither end.
        const bool got = ctx.link.LastExchangeOk();
        page.Reading().SetText(got ? std::to_string(r) : std::string("n/a"));
        if (got && r < minimum) {
            minimum = r;
            ctx.state.TrackedMinimum = minimum;
            page.TrackedMinimum().SetText(std::to_string(minimum));
        }
        if (got && r > maximum) {
            maximum = r;
            ctx.state.TrackedMaximum = maximum;
            page.TrackedMaximum().SetText(std::to_string(maximum));
        }
        if (ctx.state.on_reading) ctx.state.on_reading(pass, r);
        if (ctx.state.TPSFixingStopRequested) {
            stop_requested = true;
            pass = passes;
        } else if (!ctx.link.IsConnected() || ctx.link.StopRequested()) {
            // The link was closed under the loop, or the window is closing:
            // nothing left to read.
            pass = passes;
        } else if (ctx.link.LineSilent()) {
            ctx.link.ReportLineSilent();
            pass = passes;
        }
    }
    ctx.state.TPSFixingStopRequested = false;
    ctx.link.ClearStop();
    ctx.guard.TPSFixingActive = false;
    // A stop press has already put the idle caption back.
    if (!stop_requested) page.TrackButton().SetText(Tr(tps::kTrackIdleCaption));
}

std::string TrackedText(std::optional<std::int16_t> end) {
    return end ? std::to_string(*end) : std::string(tps::kNotTracked);
}

void Change_Min_to_Max_TPSButtonClick(Screen& screen, LiveState& state) {
    const ThrottleCalibrationPage page(screen);
    if (!state.TrackedMaximum) {
        screen.ShowError(NotAnIntegerMessage(TrackedText(state.TrackedMaximum)));
        return;
    }
    if (!state.TrackedMinimum) {
        screen.ShowError(NotAnIntegerMessage(TrackedText(state.TrackedMinimum)));
        return;
    }
    std::swap(state.TrackedMaximum, state.TrackedMinimum);
    page.TrackedMaximum().SetText(TrackedText(state.TrackedMaximum));
    page.TrackedMinimum().SetText(TrackedText(state.TrackedMinimum));
}

}  // namespace tovrel
