#include "MapEditor.h"

#include "MainWindowPage.h"
#include "MapPage.h"
#include "NumberText.h"
#include "View3D.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr int kGridColumns = 9;  // header column + 8
constexpr int kGridRows = 11;    // header row + 10

constexpr MapsText kChartTitles[4] = {MapsText::ChartLPG, MapsText::ChartPetrol, MapsText::ChartLPGLoad,
                                              MapsText::ChartPetrolLoad};
constexpr MapsText kChartTabCaptions[4] = {MapsText::ChartLPG, MapsText::ChartPetrol,
                                                   MapsText::ChartTabLPGLoad, MapsText::ChartPetrolLoad};
constexpr MapsText kGridTabCaptions[4] = {MapsText::GridTabLPG, MapsText::GridTabPetrol,
                                                  MapsText::GridTabLPGLoad, MapsText::GridTabPetrolLoad};

// The point a grid cell holds; nothing for header cells and cells outside
// the 8 x 10 body.
std::optional<int> CellPoint(int column, int row) {
    if (column < 1 || column >= kGridColumns || row < 1 || row >= kGridRows) return std::nullopt;
    return (column - 1) * 10 + (row - 1);
}

void Recolour(Screen& screen, const MapControls& c, int from, int to) {
    Controls::Update together(screen.controls());
    const auto curve = MapPage(screen, c).Curve();
    curve.SetPointColour(from, kPointColour);
    curve.SetPointColour(to, kSelectedPointColour);
}

// Which views a change redraws as it happens.
enum class LiveRedraw { None, ChangedPoints, WholeChart, AllViews };
LiveRedraw RedrawFor(MapEditCause cause) {
    switch (cause) {
        case MapEditCause::Key: return LiveRedraw::ChangedPoints;
        case MapEditCause::DeviceRead: return LiveRedraw::WholeChart;
        // An operation, a paste, an undo: the points on the chart, the cells
        // in the grid and the 3D view of the map's fuel, at once.
        case MapEditCause::EditOperation:
        case MapEditCause::Undo: return LiveRedraw::AllViews;
        // The chart of a committed cell catches up at the next page change.
        // The template and a file are followed by a refresh of every view;
        // the markers a full read puts in first show as the read replaces
        // them point by point; the start values come before any view is drawn.
        case MapEditCause::GridCommit:
        case MapEditCause::Template:
        case MapEditCause::FileLoad:
        case MapEditCause::Replace: return LiveRedraw::None;
    }
    return LiveRedraw::None;
}

void MoveBy(MapDocument& document, MapKind kind, PointRange range, double delta) {
    document.Apply(kind, range, MapEditCause::Key, [delta](std::span<double> y) {
        for (double& v : y) v += delta;
    });
}

}  // namespace

MapEditorState* MapsState::Editor(MapKind kind) {
    const auto i = static_cast<std::size_t>(MapKindIndex(kind));
    return i < editor.size() ? &editor[i] : nullptr;
}

MapViews::MapViews(Screen& screen, MapDocument& document)
    : screen_(screen), document_(document), id_(document.AddListener([this](const MapChange& c) { Changed(c); })) {}

MapViews::~MapViews() { document_.RemoveListener(id_); }

void MapViews::Changed(const MapChange& change) {
    Controls::Update together(screen_.controls());
    switch (RedrawFor(change.cause)) {
        case LiveRedraw::None:
            break;
        case LiveRedraw::ChangedPoints: {
            const auto* c = FindMapControls(change.kind);
            if (!c) break;
            for (int i = change.range.first; i < change.range.first + change.range.count; ++i)
                MapPage(screen_, *c).Curve().SetPointY(i, document_.Y(change.kind, i));
            break;
        }
        case LiveRedraw::WholeChart:
            ShowMapInChart(screen_, document_.Maps(), change.kind);
            break;
        case LiveRedraw::AllViews: {
            const auto* c = FindMapControls(change.kind);
            if (!c) break;
            const MapPage page(screen_, *c);
            for (int i = change.range.first; i < change.range.first + change.range.count; ++i) {
                const double y = document_.Y(change.kind, i);
                page.Curve().SetPointY(i, y);
                page.Cell(i / 10 + 1, i % 10 + 1).SetText(FormatGeneral(y));
            }
            if (change.kind == MapKind::LPG || change.kind == MapKind::LPGLoadDependence)
                BuildLPG3DView(screen_, document_.Maps());
            else
                BuildPetrol3DView(screen_, document_.Maps());
            break;
        }
    }
}

void InitMapControls(Screen& screen) {
    for (int i = 0; i < 4; ++i) {
        const auto& c = MapControlsAt(i);
        const MapPage page(screen, c);
        page.ChartTab().SetText(Tr(kChartTabCaptions[i]));
        page.GridTab().SetText(Tr(kGridTabCaptions[i]));
        page.Chart().SetText(Tr(kChartTitles[i]));
        page.Chart().Set(Property::Minimum, 0);
        page.Chart().Set(Property::Maximum, c.axis_maximum);
        page.BigStepBox().SetText(Tr(MapsText::BigStepBox));
        page.BigStepBox().SetChecked(true);
        page.WholeMapBox().SetText(Tr(MapsText::WholeMapBox));
        page.WholeMapBox().SetChecked(true);
        page.NegativeValuesBox().SetText(Tr(MapsText::NegativeValuesBox));
        page.NegativeValuesBox().SetChecked(false);
    }
    const MainWindowPage window(screen);
    window.TemplateButton().SetText(Tr(MapsText::TemplateButton));
    window.Progress().Set(Property::Minimum, 0);
    window.Progress().Set(Property::Maximum, MapPointCount - 1);
    window.Progress().SetVisible(false);
    window.ProgressCaption().SetVisible(false);
    Init3DControls(screen);
}

void ShowMapInChart(Screen& screen, const TimingMaps& maps, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const auto& map = maps[kind];
    std::vector<ChartPoint> points(MapPointCount);
    for (std::size_t i = 0; i < MapPointCount; ++i) points[i] = {map.x[i], map.y[i]};
    MapPage(screen, *c).Curve().SetPoints(std::move(points));
}

void ShowMapInGrid(Screen& screen, const TimingMaps& maps, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const auto* map = &maps[kind];
    const MapPage page(screen, *c);
    for (int col = 1; col < kGridColumns; ++col)
        page.Cell(col, 0).SetText(std::to_string((col - 1) * c->column_header_step));
    for (int row = 1; row < kGridRows; ++row)
        page.Cell(0, row).SetText(std::to_string((row - 1) * c->row_header_step));
    for (int col = 1; col < kGridColumns; ++col)
        for (int row = 1; row < kGridRows; ++row)
            page.Cell(col, row).SetText(FormatGeneral(map->y[static_cast<std::size_t>(*CellPoint(col, row))]));
}

void RefreshAllMapViews(Screen& screen, const TimingMaps& maps) {
    ShowMapInChart(screen, maps, MapKind::LPG);
    ShowMapInChart(screen, maps, MapKind::Petrol);
    ShowMapInGrid(screen, maps, MapKind::LPG);
    ShowMapInGrid(screen, maps, MapKind::Petrol);
    ShowMapInChart(screen, maps, MapKind::LPGLoadDependence);
    ShowMapInChart(screen, maps, MapKind::PetrolLoadDependence);
    ShowMapInGrid(screen, maps, MapKind::LPGLoadDependence);
    ShowMapInGrid(screen, maps, MapKind::PetrolLoadDependence);
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
    if (MapPage(screen, *c).WholeMapBox().IsChecked()) return;
    Recolour(screen, *c, e->SelectedPoint, point_index);
    e->SelectedPoint = point_index;
}

void ChartKeyDown(Screen& screen, MapsState& state, MapKind kind, int key) {
    const auto* c = FindMapControls(kind);
    auto* e = state.Editor(kind);
    if (!c || !e) return;
    if (key != kKeyLeft && key != kKeyUp && key != kKeyRight && key != kKeyDown) return;
    const MapPage page(screen, *c);
    const double step = page.BigStepBox().IsChecked() ? c->big_step : c->small_step;
    if (!e->PointerOverChart) return;

    MapDocument& document = state.document;
    if (page.WholeMapBox().IsChecked()) {
        const auto& map = document.Map(kind);
        if (key == kKeyUp && CanShiftMapUp(map, step)) MoveBy(document, kind, PointRange::All(), step);
        if (key == kKeyDown && CanShiftMapDown(map, step)) MoveBy(document, kind, PointRange::All(), -step);
        return;
    }
    const int s = e->SelectedPoint;
    const double y = document.Y(kind, s);
    switch (key) {
        case kKeyUp:
            if (y + step < c->key_limit) MoveBy(document, kind, PointRange::One(s), step);
            break;
        case kKeyDown:
            if (y - step > -c->key_limit) MoveBy(document, kind, PointRange::One(s), -step);
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
    if (!c || !e) return true;
    if (e->GridEditColumn < 1) e->GridEditColumn = 1;
    if (e->GridEditRow < 1) e->GridEditRow = 1;
    const auto point = CellPoint(e->GridEditColumn, e->GridEditRow);
    if (!point) return true;  // a cell the grid does not have holds nothing to take
    const std::string text = MapPage(screen, *c).Cell(e->GridEditColumn, e->GridEditRow).Text();
    const auto value = ParseGeneral(text);
    if (!value) {
        screen.ShowError(NotAFloatMessage(text));
        return false;
    }
    if (*value >= -c->grid_limit && *value <= c->grid_limit) {
        state.document.SetPoint(kind, *point, *value, MapEditCause::GridCommit);
    } else {
        ShowMapInGrid(screen, state.document.Maps(), kind);
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
    FillMapTemplate(state.document);
    RefreshAllMapViews(screen, state.document.Maps());
}

void PageControl1Change(Screen& screen, const MapsState& state) {
    RefreshAllMapViews(screen, state.document.Maps());
    // The redraw gives every point the series' colour back. Where the arrow
    // keys move single points, the point they move stays marked: otherwise
    // a page change would leave the fitter moving a point he cannot see.
    for (int i = 0; i < 4; ++i) {
        const auto& c = MapControlsAt(i);
        const MapPage page(screen, c);
        if (page.WholeMapBox().IsChecked()) continue;
        page.Curve().SetPointColour(state.editor[static_cast<std::size_t>(i)].SelectedPoint, kSelectedPointColour);
    }
}

void ScaleCheckBoxClick(Screen& screen, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const MapPage page(screen, *c);
    page.Chart().Set(Property::Minimum, page.NegativeValuesBox().IsChecked() ? c->axis_negative_minimum : 0);
}

}  // namespace tovrel
