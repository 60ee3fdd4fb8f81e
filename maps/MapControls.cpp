#include "MapControls.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr MapControls kControls[4] = {
    {MapKind::LPG, 1, MapsText::ReadLPG, MapsText::WriteLPG,
     MapsText::WrongValueLPG, page::LPGChart,
     "TabSheetLPGmap", "ChartLPG", "LineSeries1", "LPGSpeedCheckBox", "LPGFulMapMoveCheckBox", "LPGScaleCheckBox",
     page::LPGGrid, "TabSheetGASGrid", "StringGridLPG", 1.0, 0.1, 32, 32, 20, -20, 1000, 100},
    {MapKind::Petrol, 2, MapsText::ReadPetrol, MapsText::WritePetrol,
     MapsText::WrongValuePetrol, page::PetrolChart,
     "TabSheetPetrolmap", "ChartPetrol", "Series1", "PetrolSpeedCheckBox", "PetrolFulMapMoveCheckBox",
     "PetrolScaleCheckBox", page::PetrolGrid, "TabSheetPetrolGrid", "StringGridPetrol", 1.0, 0.1, 32, 32, 20, -20,
     1000, 100},
    {MapKind::LPGLoadDependence, 3, MapsText::ReadLPGLoad, MapsText::WriteLPGLoad,
     MapsText::WrongValueLPGLoad,
     page::LPGLoadDependenceChart, "TabSheetLPGLoadDependencemap", "ChartLPGLoadDependence", "LineSeries2",
     "LPGLoadDependenceSpeedCheckBox", "LPGLoadDependenceFulMapMoveCheckBox", "LPGLoadScaleCheckBox",
     page::LPGLoadDependenceGrid, "TabSheetGASLoad", "StringGridLPGLoadDependence", 5.0, 1.0, 101, 101, 100, -100,
     1, 1},
    {MapKind::PetrolLoadDependence, 4, MapsText::ReadPetrolLoad, MapsText::WritePetrolLoad,
     MapsText::WrongValuePetrolLoad,
     page::PetrolLoadDependenceChart, "TabSheetPetrolLoadDependencemap", "ChartPetrolLoadDependence",
     "LineSeries3", "PetrolLoadDependenceSpeedCheckBox", "PetrolLoadDependenceFulMapMoveCheckBox",
     "PetrolLoadScaleCheckBox", page::PetrolLoadDependenceGrid, "TabSheetGasolineLoad",
     "StringGridPetrolLoadDependence", 5.0, 1.0, 101, 101, 100, -100, 1, 1},
};

}  // namespace

const MapControls* FindMapControls(MapKind kind) {
    const int i = MapKindIndex(kind);
    return i >= 0 && i < 4 ? &kControls[i] : nullptr;
}

const MapControls& MapControlsAt(int index) { return kControls[index]; }

}  // namespace tovrel
