#pragma once
// The settings pages' user texts: configuration, monitor, TPS calibration,
// device logs (see link/Texts.h). Context "settings".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class SettingsText : std::uint16_t {
    MonitorIdleCaption,
    RunningCaption,
    Disconnected,
    TrackingRuns,
    TrackIdleCaption,
    SavingCaption,
    SavedMaxCaption,
    SavedMinCaption,
    MonitorRuns,
    ManualValueFailed,
    MaxValueFailed,
    MinValueFailed,
    FuelGas,
    FuelPetrol,
    SyncDone,
    SyncMorePulses,
    SyncFewerPulses,
    DipSwitchOn,
    LimitedFirmware,
    FlashAgain,
    SettingsTab,
    SettingsBox,
    ReadButton,
    WriteButton,
    StartTimeoutLabel,
    StartTimeoutLimit,
    TpsMaxLabel,
    TpsMinLabel,
    StartTimeoutNotConfirmed,
    LogLimit,
    CorrectionUnchanged,
    CorrectionZero,
    CorrectionPositive,
    CorrectionInverted,
    AngleAdvance,
    AngleNone,
    AngleRetard,
    EngineSpeed,
    DirectoryError,
    UserLogDirectory,
    MapPointsNotConfirmed,
    WriteNotConfirmedQuestion,
    ParametersNotCommitted,
    LogWriteFailed,
    LogCopyFailed,
    Count
};

const texts::Catalogue<SettingsText>& CatalogueOf(SettingsText);

}  // namespace tovrel
