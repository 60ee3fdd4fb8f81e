#pragma once
// The two pages of one map (its chart and its grid) as the logic sees them.
// The controls' names come from the map's row in MapControls; the editor,
// the transfers and the file commands show things through this presenter.
#include <string>

#include "MapControls.h"
#include "Screen.h"

namespace tovrel {

class MapPage {
public:
    MapPage(Screen& screen, const MapControls& map) : c_(screen.controls()), map_(map) {}

    Control ChartTab() const { return {c_, map_.chart_tab}; }
    // The chart itself: its Text is the title, Minimum and Maximum the
    // vertical axis.
    Control Chart() const { return {c_, map_.chart}; }
    SeriesControl Curve() const { return {c_, map_.series}; }
    // The other side of a compare, drawn dashed on the same chart: the
    // curve's name followed by "Compare". An empty series ends the compare.
    static std::string ComparisonName(const MapControls& map) { return std::string(map.series) + "Compare"; }
    SeriesControl ComparisonCurve() const { return {c_, ComparisonName(map_)}; }
    Control BigStepBox() const { return {c_, map_.big_step_box}; }
    Control WholeMapBox() const { return {c_, map_.whole_map_box}; }
    Control NegativeValuesBox() const { return {c_, map_.scale_box}; }

    Control GridTab() const { return {c_, map_.grid_tab}; }
    // Cell (column, row) of the grid, the header row and column included.
    Control Cell(int column, int row) const { return {c_, GridCell(map_.grid, column, row)}; }

private:
    Controls& c_;
    const MapControls& map_;
};

}  // namespace tovrel
