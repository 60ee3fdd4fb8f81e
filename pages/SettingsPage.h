#pragma once
// The settings page: the variator's parameters, the monitor's read-outs and
// the device logs. Its controls' names live here and nowhere else in the
// logic; the window's page builder names its widgets from these constants.
#include <array>
#include <string_view>

#include "Screen.h"
#include "Shell.h"

namespace tovrel {

namespace monitor {
inline constexpr const char* kButton = "GetRealtimeParametersButton";
inline constexpr const char* kProgressGauge = "ReadRealtimeParametersPercentCompletedGauge";
inline constexpr const char* kCorrectionGauge = "CurrentTPSCorrectionCGauge";
inline constexpr const char* kThrottleGauge = "PercentOfTPSOpenCGauge";
}  // namespace monitor

inline constexpr const char* kLogsCounterLabel = "LOGsCounterLabel";
inline constexpr const char* kLogsCheckBox = "LOGsCheckBox";
inline constexpr const char* kStartLogButton = "StartLOGButton";
inline constexpr std::string_view kStartTimeoutEdit = "EEditVariatorStartTimeout";

class SettingsPage {
public:
    explicit SettingsPage(Screen& screen) : c_(screen.controls()) {}

    Control Tab() const { return {c_, "TabSheetVariatorSettings"}; }

    // ---- the parameters kept in EEPROM
    Control ParametersBox() const { return {c_, "EEPROMParametersGroupBox"}; }
    Control StartTimeout() const { return {c_, kStartTimeoutEdit}; }
    Control StartTimeoutCaption() const { return {c_, "LabelVariatorStartTimeout"}; }
    Control StartTimeoutLimit() const { return {c_, "Label15"}; }
    // The throttle sensor's calibration points as stored.
    Control TpsMaximum() const { return {c_, "ADC_MAX_Value_Label"}; }
    Control TpsMinimum() const { return {c_, "ADC_MIN_Value_Label"}; }
    Control TpsMaximumCaption() const { return {c_, "Label3"}; }
    Control TpsMinimumCaption() const { return {c_, "Label4"}; }
    // Service values of the device options.
    Control LowestMotorRpm() const { return {c_, "Lowest_Motor_RPM_Label"}; }
    Control LowestMotorRpmUnit() const { return {c_, "Label31"}; }
    Control TimerDivision() const { return {c_, "TAP_FirmwareTimerDivisionLabel"}; }
    std::array<Control, 3> DeviceOptionLabels() const {
        return {LowestMotorRpm(), LowestMotorRpmUnit(), TimerDivision()};
    }

    // Uncovered by the service hot key; the adaptation labels only when the
    // firmware counts adaptations.
    template <class F> void ForEachServiceLabel(F f) const {
        for (auto name : shell::ServiceLabels) f(Control(c_, name));
    }
    template <class F> void ForEachAdaptationLabel(F f) const {
        for (auto name : shell::AdaptationLabels) f(Control(c_, name));
    }
    template <class F> void ForEachTimerDivisionLabel(F f) const {
        for (auto name : shell::TimerDivisionLabels) f(Control(c_, name));
    }

    // ---- device logs
    Control StartLogButton() const { return {c_, kStartLogButton}; }
    Control LogsCheckBox() const { return {c_, kLogsCheckBox}; }
    Control LogsCounter() const { return {c_, kLogsCounterLabel}; }
    std::array<Control, 3> LogControls() const { return {StartLogButton(), LogsCheckBox(), LogsCounter()}; }

    // ---- the monitor
    Control MonitorButton() const { return {c_, monitor::kButton}; }
    Control MonitorProgress() const { return {c_, monitor::kProgressGauge}; }
    Control CorrectionGauge() const { return {c_, monitor::kCorrectionGauge}; }
    Control ThrottleGauge() const { return {c_, monitor::kThrottleGauge}; }
    Control FuelType() const { return {c_, "FuelTypeLabel"}; }
    Control TimeToGas() const { return {c_, "TimeForGasAnglesLabel"}; }
    Control Advance() const { return {c_, "NecessaryAngleLabel"}; }
    Control AdaptationCoefficient() const { return {c_, "CalculatedAngleLabel"}; }
    Control EngineSpeed() const { return {c_, "FrequencyLabel"}; }
    Control ThrottleReading() const { return {c_, "CurrentADCValueLabel"}; }
    Control Synchronisation() const { return {c_, "SynchronizationLabel"}; }
    Control Cmp1Edges() const { return {c_, "CMP1_Signal_Label"}; }
    Control Cmp2Edges() const { return {c_, "CMP2_Signal_Label"}; }
    Control NeedGoodTahoe() const { return {c_, "need_good_tahoeLabel"}; }
    Control DirectSend() const { return {c_, "DirectSendLabel"}; }
    Control AdaptationsCounter() const { return {c_, "AdaptationsCounterLabel"}; }
    Control CpuTemperature() const { return {c_, "CPUTemperatureLabel"}; }
    Control TpsCorrection() const { return {c_, "TPSCorrectionValueLabel"}; }

    // The thirteen value labels, in the order the end of a run resets them.
    std::array<Control, 13> ValueLabels() const {
        return {FuelType(),       TimeToGas(),     Advance(),       AdaptationCoefficient(), EngineSpeed(),
                ThrottleReading(), Synchronisation(), Cmp1Edges(),   Cmp2Edges(),             NeedGoodTahoe(),
                DirectSend(),      AdaptationsCounter(), CpuTemperature()};
    }
    // The labels that carry a colour while a run shows values.
    std::array<Control, 8> ColouredLabels() const {
        return {FuelType(),      TimeToGas(),  AdaptationCoefficient(), Synchronisation(),
                NeedGoodTahoe(), DirectSend(), AdaptationsCounter(),    CpuTemperature()};
    }
    // The labels whose colour goes back to the button face after a run.
    std::array<Control, 6> ButtonFaceLabels() const {
        return {FuelType(), TimeToGas(), Synchronisation(), NeedGoodTahoe(), DirectSend(), AdaptationsCounter()};
    }

private:
    Controls& c_;
};

}  // namespace tovrel
