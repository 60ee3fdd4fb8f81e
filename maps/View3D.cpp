#include "View3D.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr int kBandWidth = MapPointCount / k3DBandCount;

void Build(Screen& screen, const TimingMap& speed, const TimingMap& throttle,
           const std::array<std::string_view, k3DBandCount>& series) {
    auto curves = Compute3DCurves(speed, throttle);
    for (int k = 0; k < k3DBandCount; ++k)
        screen.SetSeries(series[static_cast<std::size_t>(k)], std::move(curves[static_cast<std::size_t>(k)]));
}

void ScaleClick(Screen& screen, std::string_view box, std::string_view chart) {
    screen.Set(chart, Property::Minimum, screen.IsChecked(box) ? -20 : 0);
}

}  // namespace

Curves3D Compute3DCurves(const TimingMap& speed, const TimingMap& throttle) {
    std::array<double, k3DBandCount> factor{};
    for (int k = 0; k < k3DBandCount; ++k) {
        double sum = 0;
        for (int j = 0; j < kBandWidth; ++j) sum += throttle.y[static_cast<std::size_t>(kBandWidth * k + j)];
        factor[static_cast<std::size_t>(k)] = sum / 1000.0;  // the band's mean percent / 100
    }
    Curves3D curves;
    for (auto& c : curves) c.reserve(MapPointCount);
    for (std::size_t i = 0; i < MapPointCount; ++i)
        for (std::size_t k = 0; k < k3DBandCount; ++k) curves[k].push_back({speed.x[i], speed.y[i] * factor[k]});
    return curves;
}

void BuildLPG3DView(Screen& screen, const TimingMaps& maps) {
    Build(screen, maps.LPG, maps.LPGLoadDependence, kGas3DSeries);
}

void BuildPetrol3DView(Screen& screen, const TimingMaps& maps) {
    Build(screen, maps.Petrol, maps.PetrolLoadDependence, kPetrol3DSeries);
}

void LPG_3D_ScaleCheckBoxClick(Screen& screen) { ScaleClick(screen, "LPG_3D_ScaleCheckBox", kGas3DChart); }
void Petrol_3D_ScaleCheckBoxClick(Screen& screen) { ScaleClick(screen, "Petrol_3D_ScaleCheckBox", kPetrol3DChart); }

void Init3DControls(Screen& screen) {
    screen.SetText("Map3DGASTab", Tr(MapsText::Gas3DTab));
    screen.SetText("MAP3DPetrolTab", Tr(MapsText::Petrol3DTab));
    screen.SetText(kGas3DChart, "3D GAS MAP");
    screen.SetText(kPetrol3DChart, "3D Petrol MAP");
    screen.Set(kGas3DChart, Property::Minimum, 0);
    screen.Set(kGas3DChart, Property::Maximum, 20);
    screen.Set(kPetrol3DChart, Property::Minimum, 0);
    screen.Set(kPetrol3DChart, Property::Maximum, 35);
    for (auto box : {"LPG_3D_ScaleCheckBox", "Petrol_3D_ScaleCheckBox"}) {
        screen.SetText(box, Tr(MapsText::NegativeValuesBox));
        screen.SetChecked(box, false);
    }
    screen.SetText("Button2", Tr(MapsText::Build3DButton));
}

}  // namespace tovrel
