#pragma once
// The throttle sensor's calibration page: tracking the sensor's ends while
// the fitter works the pedal, and the ends typed by hand.
#include "Screen.h"

namespace tovrel {

namespace tps {
inline constexpr const char* kTrackButton = "StartFix_MAX_MIN_TPSButton";
}  // namespace tps

class ThrottleCalibrationPage {
public:
    explicit ThrottleCalibrationPage(Screen& screen) : c_(screen.controls()) {}

    Control TrackButton() const { return {c_, tps::kTrackButton}; }
    Control Reading() const { return {c_, "Label25"}; }
    Control TrackedMinimum() const { return {c_, "Detected_MIN_ADC_Label"}; }
    Control TrackedMaximum() const { return {c_, "Detected_MAX_ADC_Label"}; }
    Control TypedMaximum() const { return {c_, "MAX_TPS_Value_Edit"}; }
    Control TypedMinimum() const { return {c_, "MIN_TPS_Value_Edit"}; }
    Control StoreTrackedMaximumButton() const { return {c_, "Fix_Auto_Detected_MAX_TPSButton"}; }
    Control StoreTrackedMinimumButton() const { return {c_, "Fix_Auto_Detected_MIN_TPSButton"}; }
    Control StoreTypedMaximumButton() const { return {c_, "Fix_Manually_Set_MAX_TPS_Value_Button"}; }
    Control StoreTypedMinimumButton() const { return {c_, "Fix_Manually_Set_MIN_TPS_Value_Button"}; }

private:
    Controls& c_;
};

}  // namespace tovrel
