#pragma once
// The two 3D pages, one per fuel: a perspective chart of eight band curves,
// its negative-values box and the page's tab.
#include <array>
#include <string_view>

#include "Screen.h"

namespace tovrel {

inline constexpr int k3DBandCount = 8;

// Series of each band, by band.
inline constexpr std::array<std::string_view, k3DBandCount> kGas3DSeries = {
    "Series9", "Series8", "Series7", "Series6", "Series5", "Series4", "Series3", "Series2"};
inline constexpr std::array<std::string_view, k3DBandCount> kPetrol3DSeries = {
    "LineSeries11", "LineSeries10", "LineSeries9", "LineSeries8",
    "LineSeries7",  "LineSeries6",  "LineSeries5", "LineSeries4"};
inline constexpr std::string_view kGas3DChart = "Chart3DGAS";
inline constexpr std::string_view kPetrol3DChart = "Chart3DPetrol";

class View3DPage {
public:
    enum Fuel { Gas, Petrol };
    View3DPage(Screen& screen, Fuel fuel) : c_(screen.controls()), petrol_(fuel == Petrol) {}

    Control Tab() const { return {c_, petrol_ ? "MAP3DPetrolTab" : "Map3DGASTab"}; }
    // Its Text is the title; Minimum and Maximum the vertical axis.
    Control Chart() const { return {c_, petrol_ ? kPetrol3DChart : kGas3DChart}; }
    Control NegativeValuesBox() const {
        return {c_, petrol_ ? "Petrol_3D_ScaleCheckBox" : "LPG_3D_ScaleCheckBox"};
    }
    // The curve of pedal band `band` (0 released .. 7 almost fully pressed).
    SeriesControl Band(int band) const {
        return {c_, (petrol_ ? kPetrol3DSeries : kGas3DSeries)[static_cast<std::size_t>(band)]};
    }
    // The gas page's "build" button.
    Control BuildButton() const { return {c_, "Button2"}; }

private:
    Controls& c_;
    bool petrol_;
};

}  // namespace tovrel
