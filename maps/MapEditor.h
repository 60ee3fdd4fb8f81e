#pragma once
// The map editor without widgets: the state of the four charts and grids and
// the handlers the window forwards its clicks, keys and cell selections to,
// plus the redraw operations the rest of the subsystem calls. Charts are the
// chart controls with their line series, grids are cells addressed with
// GridCell (Screen.h).
#include <array>
#include <functional>
#include <string>

#include "Calculations.h"
#include "MapControls.h"
#include "MapDocument.h"
#include "MapHistory.h"
#include "MapSync.h"
#include "Screen.h"
#include "WriteGuard.h"

namespace tovrel {

struct MapEditorState {
    int SelectedPoint = 0;          // the point the arrow keys move
    bool PointerOverChart = false;  // chart keys act only while true
    int GridEditColumn = 0;         // the grid cell selected last
    int GridEditRow = 0;
};

// The subsystem's program-wide state: one per program run, owned by the main
// window's logic and passed by reference.
struct MapsState {
    MapDocument document;  // the four maps; every change goes through it
    MapHistory history{document};  // the changes as undoable steps
    MapDeviceCopies device;        // the maps in the variator as far as known
    std::array<MapEditorState, 4> editor{};  // in the order of kMapKinds
    WriteGuard guard;
    // Whole-map reads and writes in progress. An edit made meanwhile would
    // leave the variator with a map that mixes the old and the new values,
    // or be overwritten half-way by the read; the window refuses edits while
    // this is not 0.
    int TransfersRunning = 0;
    // Asked before the whole configuration is committed to EEPROM and before
    // a configuration file replaces the maps (with the file's name): false
    // stops that step, the hook having said why. Unset: nothing is asked.
    std::function<bool()> before_commit;
    std::function<bool(const std::string& file_name)> before_file_load;

    MapEditorState* Editor(MapKind kind);
};

// Counts one map transfer for its scope.
class MapTransferHold {
public:
    explicit MapTransferHold(MapsState& state) : state_(state) { ++state_.TransfersRunning; }
    ~MapTransferHold() { --state_.TransfersRunning; }
    MapTransferHold(const MapTransferHold&) = delete;
    MapTransferHold& operator=(const MapTransferHold&) = delete;

private:
    MapsState& state_;
};

// Key codes the chart and grid handlers act on.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;

inline constexpr Rgb kSelectedPointColour = colours::Red;
inline constexpr Rgb kPointColour = colours::Blue;

// Captions, start states and axis ranges of the map charts' controls.
void InitMapControls(Screen& screen);

// Keeps the map views in step with the document while it lives: a point
// moved by a chart key is moved on the chart (only the points that changed,
// keeping their colours); a point read from the variator redraws the map's
// chart whole, so the curve grows while the user watches. Nothing else is
// redrawn as it changes: a grid commit leaves the chart, the grids and the
// 3D views wait for the next RefreshAllMapViews (every page change), and
// the template, a file and the full read refresh the views themselves when
// they are done.
class MapViews {
public:
    MapViews(Screen& screen, MapDocument& document);
    ~MapViews();
    MapViews(const MapViews&) = delete;
    MapViews& operator=(const MapViews&) = delete;

private:
    void Changed(const MapChange& change);
    Screen& screen_;
    MapDocument& document_;
    int id_;
};

// Redraws the kind's series from the map: 80 points, series colour.
void ShowMapInChart(Screen& screen, const TimingMaps& maps, MapKind kind);
// Writes the grid headers and every y value in the user's number form.
void ShowMapInGrid(Screen& screen, const TimingMaps& maps, MapKind kind);
// Both charts and grids of the advance maps, then of the throttle maps, then
// the two 3D views.
void RefreshAllMapViews(Screen& screen, const TimingMaps& maps);

// ---- chart handlers (ChartLPGMouseEnter, ChartLPGClickSeries, ...) ----
void ChartMouseEnter(MapsState& state, MapKind kind);
void ChartMouseLeave(MapsState& state, MapKind kind);
void ChartClickSeries(Screen& screen, MapsState& state, MapKind kind, int point_index);
void ChartKeyDown(Screen& screen, MapsState& state, MapKind kind, int key);

// ---- grid handlers (StringGridLPGSelectCell, StringGridLPGKeyDown) ----
// Commits the cell selected before, then remembers (column, row). False when
// the commit failed on a text that is not a number: the error was shown and
// the remembered cell stays.
bool GridSelectCell(Screen& screen, MapsState& state, MapKind kind, int column, int row);
void GridKeyDown(Screen& screen, MapsState& state, MapKind kind, int key);
// Takes the text of the remembered cell into the map when it is a number in
// the kind's range, otherwise shows the stored value again. False (after
// showing the conversion error) when the text is not a number.
bool TakeGridCell(Screen& screen, MapsState& state, MapKind kind);

// ---- other controls ----
// The data template button: template maps, every view redrawn. Sends nothing.
void Button1Click(Screen& screen, MapsState& state);
// A page change: every map view redrawn from the maps (a grid commit does
// not redraw its chart), the selected point of the one-point charts marked
// again.
void PageControl1Change(Screen& screen, const MapsState& state);
// The axis boxes: vertical axis from -20 (-100) when ticked, from 0 when not.
void ScaleCheckBoxClick(Screen& screen, MapKind kind);
inline void LPGScaleCheckBoxClick(Screen& s) { ScaleCheckBoxClick(s, MapKind::LPG); }
inline void PetrolScaleCheckBoxClick(Screen& s) { ScaleCheckBoxClick(s, MapKind::Petrol); }
inline void LPGLoadScaleCheckBoxClick(Screen& s) { ScaleCheckBoxClick(s, MapKind::LPGLoadDependence); }
inline void PetrolLoadScaleCheckBoxClick(Screen& s) { ScaleCheckBoxClick(s, MapKind::PetrolLoadDependence); }

}  // namespace tovrel
