#pragma once
// The oscilloscope page: the capture button, the status label, the memo with
// the instructions and the 32-bit mode box.
#include <string_view>

#include "Screen.h"

namespace tovrel {

class OscilloscopePage {
public:
    static constexpr std::string_view kCaptureButton = "ConnectAndShowOsciillButton";
    static constexpr std::string_view kStatus = "Oscill_Label";
    static constexpr std::string_view kInstructions = "Oscill_Memo";
    static constexpr std::string_view kMode32Box = "Oscilloscope_32_Mode_CheckBox";

    explicit OscilloscopePage(Screen& screen) : c_(screen.controls()) {}

    Control CaptureButton() const { return {c_, kCaptureButton}; }
    Control Status() const { return {c_, kStatus}; }
    Control Instructions() const { return {c_, kInstructions}; }
    Control Mode32Box() const { return {c_, kMode32Box}; }
    Control PrescalerButton() const { return {c_, "OscillPrescalerSelectButton"}; }
    // The picture of the oscillogram and the box that scrolls it.
    Control Picture() const { return {c_, "Oscill_Image"}; }
    Control ScrollBox() const { return {c_, "OscillScrollBox"}; }

private:
    Controls& c_;
};

}  // namespace tovrel
