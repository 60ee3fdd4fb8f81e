#pragma once
// The 3D view: for each fuel, the advance actually applied over engine speed
// for eight bands of pedal positions (the speed map scaled by the band's mean
// throttle percent), drawn as eight series of a perspective chart.
#include <array>
#include <string_view>
#include <vector>

#include "Calculations.h"
#include "Screen.h"
#include "View3DPage.h"

namespace tovrel {

// Curves by band 0 (pedal released) to 7 (pedal almost fully pressed).
using Curves3D = std::array<std::vector<ChartPoint>, k3DBandCount>;
Curves3D Compute3DCurves(const TimingMap& speed, const TimingMap& throttle);

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
