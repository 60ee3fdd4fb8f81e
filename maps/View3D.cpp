#include "View3D.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr int kBandWidth = MapPointCount / k3DBandCount;

void Build(const View3DPage& page, const TimingMap& speed, const TimingMap& throttle) {
    auto curves = Compute3DCurves(speed, throttle);
    for (int k = 0; k < k3DBandCount; ++k) page.Band(k).SetPoints(std::move(curves[static_cast<std::size_t>(k)]));
}

void ScaleClick(const View3DPage& page) {
    page.Chart().Set(Property::Minimum, page.NegativeValuesBox().IsChecked() ? -20 : 0);
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
    Build(View3DPage(screen, View3DPage::Gas), maps.LPG, maps.LPGLoadDependence);
}

void BuildPetrol3DView(Screen& screen, const TimingMaps& maps) {
    Build(View3DPage(screen, View3DPage::Petrol), maps.Petrol, maps.PetrolLoadDependence);
}

void LPG_3D_ScaleCheckBoxClick(Screen& screen) { ScaleClick(View3DPage(screen, View3DPage::Gas)); }
void Petrol_3D_ScaleCheckBoxClick(Screen& screen) { ScaleClick(View3DPage(screen, View3DPage::Petrol)); }

void Init3DControls(Screen& screen) {
    const View3DPage gas(screen, View3DPage::Gas), petrol(screen, View3DPage::Petrol);
    gas.Tab().SetText(Tr(MapsText::Gas3DTab));
    petrol.Tab().SetText(Tr(MapsText::Petrol3DTab));
    gas.Chart().SetText("3D GAS MAP");
    petrol.Chart().SetText("3D Petrol MAP");
    gas.Chart().Set(Property::Minimum, 0);
    gas.Chart().Set(Property::Maximum, 20);
    petrol.Chart().Set(Property::Minimum, 0);
    petrol.Chart().Set(Property::Maximum, 35);
    for (const auto* page : {&gas, &petrol}) {
        page->NegativeValuesBox().SetText(Tr(MapsText::NegativeValuesBox));
        page->NegativeValuesBox().SetChecked(false);
    }
    gas.BuildButton().SetText(Tr(MapsText::Build3DButton));
}

}  // namespace tovrel
