#include "MapControls.h"

namespace tovrel {

namespace {

constexpr MapControls kControls[4] = {
    {MapKind::LPG, 1, "Чтение газовой карты из вариатора", "Запись газовой карты в вариатор",
     "WritePLGMap: функция UARTdataExchangeForTovrel возвращает неверное значение", page::LPGChart,
     "TabSheetLPGmap", "ChartLPG", "LineSeries1", "LPGSpeedCheckBox", "LPGFulMapMoveCheckBox", "LPGScaleCheckBox",
     page::LPGGrid, "TabSheetGASGrid", "StringGridLPG", 1.0, 0.1, 32, 32, 20, -20, 1000, 100},
    {MapKind::Petrol, 2, "Чтение бензиновой карты из вариатора", "Запись бензиновой карты в вариатор",
     "WritePetrolMap: функция UARTdataExchangeForTovrel возвращает неверное значение", page::PetrolChart,
     "TabSheetPetrolmap", "ChartPetrol", "Series1", "PetrolSpeedCheckBox", "PetrolFulMapMoveCheckBox",
     "PetrolScaleCheckBox", page::PetrolGrid, "TabSheetPetrolGrid", "StringGridPetrol", 1.0, 0.1, 32, 32, 20, -20,
     1000, 100},
    {MapKind::LPGLoadDependence, 3, "Чтение газовой карты TPS", "Запись газовой карты TPS в вариатор",
     "WritePLGLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение",
     page::LPGLoadDependenceChart, "TabSheetLPGLoadDependencemap", "ChartLPGLoadDependence", "LineSeries2",
     "LPGLoadDependenceSpeedCheckBox", "LPGLoadDependenceFulMapMoveCheckBox", "LPGLoadScaleCheckBox",
     page::LPGLoadDependenceGrid, "TabSheetGASLoad", "StringGridLPGLoadDependence", 5.0, 1.0, 101, 101, 100, -100,
     1, 1},
    {MapKind::PetrolLoadDependence, 4, "Чтение бензиновой карты TPS", "Запись бензиновой карты TPS в вариатор",
     "WritePetrolLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение",
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
