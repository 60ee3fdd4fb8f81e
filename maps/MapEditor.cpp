#include "MapEditor.h"

#include "NumberText.h"
#include "View3D.h"

namespace tovrel {

namespace {

constexpr int kGridColumns = 9;  // header column + 8
constexpr int kGridRows = 11;    // header row + 10

constexpr std::string_view kChartTitles[4] = {"Карта УОЗ для газа", "Карта УОЗ для бензина", "Карта TPS для газа",
                                              "Карта TPS для бензина"};
constexpr std::string_view kChartTabCaptions[4] = {"Карта УОЗ для газа", "Карта УОЗ для бензина",
                                                   "Карта TPS для газа ", "Карта TPS для бензина"};
constexpr std::string_view kGridTabCaptions[4] = {"Таблица УОЗ для газа", "Таблица УОЗ для бензина",
                                                  "Таблица TPS для газа", "Таблица TPS для бензина"};

// The point a grid cell holds; nothing for header cells and cells outside
// the 8 x 10 body.
std::optional<int> CellPoint(int column, int row) {
    if (column < 1 || column >= kGridColumns || row < 1 || row >= kGridRows) return std::nullopt;
    return (column - 1) * 10 + (row - 1);
}

void Recolour(Screen& screen, const MapControls& c, int from, int to) {
    screen.SetPointColour(c.series, from, kPointColour);
    screen.SetPointColour(c.series, to, kSelectedPointColour);
}

void ShiftWholeMap(Screen& screen, const MapControls& c, TimingMap& map, double delta) {
    const auto shown = screen.Series(c.series);
    for (int i = 0; i < MapPointCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        if (p < shown.size()) screen.SetPointY(c.series, i, shown[p].y + delta);
        map.y[p] += delta;
    }
}

void MovePoint(Screen& screen, const MapControls& c, TimingMap& map, int s, double delta) {
    const auto shown = screen.Series(c.series);
    const auto p = static_cast<std::size_t>(s);
    if (p < shown.size()) screen.SetPointY(c.series, s, shown[p].y + delta);
    map.y[p] += delta;
}

}  // namespace

MapEditorState* MapsState::Editor(MapKind kind) {
    auto i = MapKindIndex(kind);
    return i ? &editor[static_cast<std::size_t>(*i)] : nullptr;
}

void InitMapControls(Screen& screen) {
    for (int i = 0; i < 4; ++i) {
        const auto& c = MapControlsAt(i);
        screen.SetText(c.chart_tab, kChartTabCaptions[i]);
        screen.SetText(c.grid_tab, kGridTabCaptions[i]);
        screen.SetText(c.chart, kChartTitles[i]);
        screen.Set(c.chart, Property::Minimum, 0);
        screen.Set(c.chart, Property::Maximum, c.axis_maximum);
        screen.SetText(c.big_step_box, "Изменение карты с большим шагом");
        screen.SetChecked(c.big_step_box, true);
        screen.SetText(c.whole_map_box, "Двигать всю карту");
        screen.SetChecked(c.whole_map_box, true);
        screen.SetText(c.scale_box, "Отрицательные значения");
        screen.SetChecked(c.scale_box, false);
    }
    screen.SetText("Button1", "Шаблон данных");
    screen.Set(kProgressBar, Property::Minimum, 0);
    screen.Set(kProgressBar, Property::Maximum, MapPointCount - 1);
    screen.SetVisible(kProgressBar, false);
    screen.SetVisible(kProgressLabel, false);
    Init3DControls(screen);
}

void DrawMapChart(Screen& screen, MapKind kind, const TimingMap& map) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    std::vector<ChartPoint> points(MapPointCount);
    for (std::size_t i = 0; i < MapPointCount; ++i) points[i] = {map.x[i], map.y[i]};
    screen.SetSeries(c->series, std::move(points));
}

void ShowMapInChart(Screen& screen, const TimingMaps& maps, MapKind kind) {
    if (const auto* map = maps.Find(kind)) DrawMapChart(screen, kind, *map);
}

void ShowMapInGrid(Screen& screen, const TimingMaps& maps, MapKind kind) {
    const auto* c = FindMapControls(kind);
    const auto* map = maps.Find(kind);
    if (!c || !map) return;
    for (int col = 1; col < kGridColumns; ++col)
        screen.SetText(GridCell(c->grid, col, 0), std::to_string((col - 1) * c->column_header_step));
    for (int row = 1; row < kGridRows; ++row)
        screen.SetText(GridCell(c->grid, 0, row), std::to_string((row - 1) * c->row_header_step));
    for (int col = 1; col < kGridColumns; ++col)
        for (int row = 1; row < kGridRows; ++row)
            screen.SetText(GridCell(c->grid, col, row), FormatGeneral(map->y[static_cast<std::size_t>(*CellPoint(col, row))]));
}

void RefreshAllMapViews(Screen& screen, const TimingMaps& maps) {
    ShowMapInChart(screen, maps, map_kind::LPG);
    ShowMapInChart(screen, maps, map_kind::Petrol);
    ShowMapInGrid(screen, maps, map_kind::LPG);
    ShowMapInGrid(screen, maps, map_kind::Petrol);
    ShowMapInChart(screen, maps, map_kind::LPGLoadDependence);
    ShowMapInChart(screen, maps, map_kind::PetrolLoadDependence);
    ShowMapInGrid(screen, maps, map_kind::LPGLoadDependence);
    ShowMapInGrid(screen, maps, map_kind::PetrolLoadDependence);
    BuildLPG3DView(screen, maps);
    BuildPetrol3DView(screen, maps);
}

void ChartMouseEnter(MapsState& state, MapKind kind) {
    if (auto* e = state.Editor(kind)) e->PointerOverChart = true;
}

void ChartMouseLeave(MapsState& state, MapKind kind) {
    if (auto* e = state.Editor(kind)) e->PointerOverChart = false;
}

void ChartClickSeries(Screen& screen, MapsState& state, MapKind kind, int point_index) {
    const auto* c = FindMapControls(kind);
    auto* e = state.Editor(kind);
    if (!c || !e || point_index < 0 || point_index >= MapPointCount) return;
    if (screen.IsChecked(c->whole_map_box)) return;
    Recolour(screen, *c, e->SelectedPoint, point_index);
    e->SelectedPoint = point_index;
}

void ChartKeyDown(Screen& screen, MapsState& state, MapKind kind, int key) {
    const auto* c = FindMapControls(kind);
    auto* e = state.Editor(kind);
    auto* map = state.maps.Find(kind);
    if (!c || !e || !map) return;
    if (key != kKeyLeft && key != kKeyUp && key != kKeyRight && key != kKeyDown) return;
    const double step = screen.IsChecked(c->big_step_box) ? c->big_step : c->small_step;
    if (!e->PointerOverChart) return;

    if (screen.IsChecked(c->whole_map_box)) {
        if (key == kKeyUp && CanShiftMapUp(*map, step)) ShiftWholeMap(screen, *c, *map, step);
        if (key == kKeyDown && CanShiftMapDown(*map, step)) ShiftWholeMap(screen, *c, *map, -step);
        return;
    }
    const int s = e->SelectedPoint;
    const double y = map->y[static_cast<std::size_t>(s)];
    switch (key) {
        case kKeyUp:
            if (y + step < c->key_limit) MovePoint(screen, *c, *map, s, step);
            break;
        case kKeyDown:
            if (y - step > -c->key_limit) MovePoint(screen, *c, *map, s, -step);
            break;
        case kKeyLeft:
            if (s > 0) {
                Recolour(screen, *c, s, s - 1);
                e->SelectedPoint = s - 1;
            }
            break;
        case kKeyRight:
            if (s < MapPointCount - 1) {
                Recolour(screen, *c, s, s + 1);
                e->SelectedPoint = s + 1;
            }
            break;
        default:
            break;
    }
}

bool TakeGridCell(Screen& screen, MapsState& state, MapKind kind) {
    const auto* c = FindMapControls(kind);
    auto* e = state.Editor(kind);
    auto* map = state.maps.Find(kind);
    if (!c || !e || !map) return true;
    if (e->GridEditColumn < 1) e->GridEditColumn = 1;
    if (e->GridEditRow < 1) e->GridEditRow = 1;
    const auto point = CellPoint(e->GridEditColumn, e->GridEditRow);
    if (!point) return true;  // a cell the grid does not have holds nothing to take
    const std::string text = screen.Text(GridCell(c->grid, e->GridEditColumn, e->GridEditRow));
    const auto value = ParseGeneral(text);
    if (!value) {
        screen.ShowError(NotAFloatMessage(text));
        return false;
    }
    if (*value >= -c->grid_limit && *value <= c->grid_limit) {
        map->y[static_cast<std::size_t>(*point)] = *value;
    } else {
        ShowMapInGrid(screen, state.maps, kind);
    }
    return true;
}

bool GridSelectCell(Screen& screen, MapsState& state, MapKind kind, int column, int row) {
    auto* e = state.Editor(kind);
    if (!e) return true;
    if (!TakeGridCell(screen, state, kind)) return false;
    e->GridEditColumn = column;
    e->GridEditRow = row;
    return true;
}

void GridKeyDown(Screen& screen, MapsState& state, MapKind kind, int key) {
    if (key == kKeyEnter) TakeGridCell(screen, state, kind);
}

void Button1Click(Screen& screen, MapsState& state) {
    FillMapTemplate(state.maps);
    RefreshAllMapViews(screen, state.maps);
}

void PageControl1Change(Screen& screen, const MapsState& state) {
    RefreshAllMapViews(screen, state.maps);
    // The redraw gives every point the series' colour back. Where the arrow
    // keys move single points, the point they move stays marked: otherwise
    // a page change would leave the fitter moving a point he cannot see.
    for (int i = 0; i < 4; ++i) {
        const auto& c = MapControlsAt(i);
        if (screen.IsChecked(c.whole_map_box)) continue;
        screen.SetPointColour(c.series, state.editor[static_cast<std::size_t>(i)].SelectedPoint, kSelectedPointColour);
    }
}

void ScaleCheckBoxClick(Screen& screen, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    screen.Set(c->chart, Property::Minimum, screen.IsChecked(c->scale_box) ? c->axis_negative_minimum : 0);
}

}  // namespace tovrel
