#pragma once
// The 3D view: for each fuel, the advance actually applied over engine speed
// for eight bands of pedal positions (the speed map scaled by the band's mean
// throttle percent), drawn as eight series of a perspective chart.
#include <array>
#include <string_view>
#include <vector>

#include "Calculations.h"
#include "Screen.h"

namespace tovrel {

inline constexpr int k3DBandCount = 8;
// Curves by band 0 (pedal released) to 7 (pedal almost fully pressed).
using Curves3D = std::array<std::vector<ChartPoint>, k3DBandCount>;
Curves3D Compute3DCurves(const TimingMap& speed, const TimingMap& throttle);

// Series of each band, by band.
inline constexpr std::array<std::string_view, k3DBandCount> kGas3DSeries = {
    "Series9", "Series8", "Series7", "Series6", "Series5", "Series4", "Series3", "Series2"};
inline constexpr std::array<std::string_view, k3DBandCount> kPetrol3DSeries = {
    "LineSeries11", "LineSeries10", "LineSeries9", "LineSeries8",
    "LineSeries7",  "LineSeries6",  "LineSeries5", "LineSeries4"};
inline constexpr std::string_view kGas3DChart = "Chart3DGAS";
inline constexpr std::string_view kPetrol3DChart = "Chart3DPetrol";

void BuildLPG3DView(Screen& screen, const TimingMaps& maps);
void BuildPetrol3DView(Screen& screen, const TimingMaps& maps);
inline void Button2Click(Screen& s, const TimingMaps& maps) { BuildLPG3DView(s, maps); }
inline void Button3Click(Screen& s, const TimingMaps& maps) { BuildPetrol3DView(s, maps); }
// Vertical axis from -20 when ticked, from 0 when not (the maximum stays).
void LPG_3D_ScaleCheckBoxClick(Screen& screen);
void Petrol_3D_ScaleCheckBoxClick(Screen& screen);
// Captions, start states and axis ranges of the two 3D charts.
void Init3DControls(Screen& screen);

}  // namespace tovrel
