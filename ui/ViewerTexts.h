#pragma once
// Texts of the log viewer: its menu item, window, filters, plots and what it
// says about the files it opens (see link/Texts.h). Context "viewer".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class ViewerText : std::uint16_t {
    MenuItem,
    Title,
    Open,
    OpenTitle,
    OpenFilter,
    Export,
    ExportTitle,
    ExportFilter,
    Exported,
    ExportFailed,
    Reading,
    Refused,
    FirstBadLine,
    ShownRecording,
    ShownDeviceLog,
    SyncFilter,
    SyncAll,
    SyncOnly,
    FuelFilter,
    FuelBoth,
    FuelGas,
    FuelPetrol,
    AxisTime,
    AxisEntry,
    AxisEngineSpeed,
    AxisThrottle,
    AxisAdvance,
    AxisSyncFuel,
    SeriesApplied,
    SeriesMapValue,
    SeriesSync,
    SeriesGas,
    ScatterTitle,
    SeriesMap,
    SeriesPasses,
    HistogramAxis,
    Count
};

const texts::Catalogue<ViewerText>& CatalogueOf(ViewerText);

}  // namespace tovrel
