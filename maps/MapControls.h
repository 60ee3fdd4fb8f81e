#pragma once
// Everything that differs between the four maps on the screen and on the
// line: addresses, texts, controls, pages, steps and limits.
#include <cstdint>
#include <string_view>

#include "MapsTexts.h"

#include "Calculations.h"
#include "Shell.h"

namespace tovrel {

struct MapControls {
    MapKind kind;
    std::uint8_t address;  // table number on the line
    // Texts of the transfers.
    MapsText read_text, write_text, wrong_value_message;
    // The chart tab and its controls.
    int chart_page;
    std::string_view chart_tab, chart, series;
    std::string_view big_step_box, whole_map_box, scale_box;
    // The grid tab.
    int grid_page;
    std::string_view grid_tab, grid;
    // Editing.
    double big_step, small_step;
    double key_limit;   // a moved point stays strictly inside -limit..limit
    double grid_limit;  // a typed value must lie within -limit..limit
    int axis_maximum, axis_negative_minimum;
    // Grid headers: a cell stands for column header + row header.
    int column_header_step, row_header_step;
};

// Null only for a value outside the four kinds.
const MapControls* FindMapControls(MapKind kind);
const MapControls& MapControlsAt(int index);  // 0..3 in the order of kMapKinds


}  // namespace tovrel
