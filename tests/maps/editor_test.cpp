// The map editor's handlers and views, and the 3D curves.
#include <gtest/gtest.h>

#include "MapEditor.h"
#include "NumberText.h"
#include "RecordingScreen.h"
#include "View3D.h"

namespace tovrel::test {
namespace {

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        InitMapControls(screen);
        RefreshAllMapViews(screen, state.document.Maps());
    }
    ~EditorTest() override { SetDecimalSeparator('.'); }

    // Selection mode: whole-map box cleared, pointer over the chart.
    void PointMode(MapKind kind) {
        screen.SetChecked(FindMapControls(kind)->whole_map_box, false);
        ChartMouseEnter(state, kind);
    }
    std::vector<double> Shown(MapKind kind) {
        std::vector<double> ys;
        for (const auto& p : screen.Series(FindMapControls(kind)->series)) ys.push_back(p.y);
        return ys;
    }
    std::string Cell(MapKind kind, int column, int row) {
        return screen.Text(GridCell(FindMapControls(kind)->grid, column, row));
    }
    void Type(MapKind kind, int column, int row, const std::string& text) {
        screen.SetText(GridCell(FindMapControls(kind)->grid, column, row), text);
    }

    RecordingScreen screen;
    MapsState state;
    MapViews views{screen, state.document};
};

TEST_F(EditorTest, StartStateOfTheControls) {
    for (auto kind : kMapKinds) {
        const auto* c = FindMapControls(kind);
        EXPECT_TRUE(screen.IsChecked(c->big_step_box));
        EXPECT_TRUE(screen.IsChecked(c->whole_map_box));
        EXPECT_FALSE(screen.IsChecked(c->scale_box));
        EXPECT_EQ(screen.Text(c->whole_map_box), "Двигать всю карту");
        EXPECT_EQ(screen.Number(c->chart, Property::Minimum), 0);
        EXPECT_EQ(screen.Number(c->chart, Property::Maximum), IsAdvanceMap(kind) ? 20 : 100);
        EXPECT_EQ(state.Editor(kind)->SelectedPoint, 0);
        EXPECT_FALSE(state.Editor(kind)->PointerOverChart);
    }
}

TEST_F(EditorTest, TemplateFillsGridsWithHeadersAndDrawsEveryView) {
    Button1Click(screen, state);
    for (int col = 1; col <= 8; ++col) {
        EXPECT_EQ(Cell(MapKind::LPG, col, 0), std::to_string((col - 1) * 1000));
        EXPECT_EQ(Cell(MapKind::LPGLoadDependence, col, 0), std::to_string(col - 1));
        for (int row = 1; row <= 10; ++row) {
            EXPECT_EQ(Cell(MapKind::LPG, col, row), "9");
            EXPECT_EQ(Cell(MapKind::Petrol, col, row), "2");
            EXPECT_EQ(Cell(MapKind::PetrolLoadDependence, col, row), "100");
        }
    }
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(Cell(MapKind::Petrol, 0, row), std::to_string((row - 1) * 100));
        EXPECT_EQ(Cell(MapKind::LPGLoadDependence, 0, row), std::to_string(row - 1));
    }
    const auto lpg = screen.Series("LineSeries1");
    ASSERT_EQ(lpg.size(), 80u);
    EXPECT_EQ(lpg[79], (ChartPoint{7900, 9}));
    // Every factor is 1: all gas curves at 9 degrees, all petrol curves at 2.
    for (auto s : kGas3DSeries)
        for (const auto& p : screen.Series(s)) ASSERT_EQ(p.y, 9.0);
    for (auto s : kPetrol3DSeries)
        for (const auto& p : screen.Series(s)) ASSERT_EQ(p.y, 2.0);
    EXPECT_EQ(screen.Series("Series2").size(), 80u);
}

TEST_F(EditorTest, GridShowsTheUsersNumberForm) {
    state.document.SetPoint(MapKind::Petrol, 13, 9.5, MapEditCause::Replace);  // column 2, row 4
    SetDecimalSeparator(',');
    ShowMapInGrid(screen, state.document.Maps(), MapKind::Petrol);
    EXPECT_EQ(Cell(MapKind::Petrol, 2, 4), "9,5");
}

TEST_F(EditorTest, WholeMapModeShiftsTheCurveWithinItsBounds) {
    Button1Click(screen, state);
    ChartMouseEnter(state, MapKind::LPG);
    ChartKeyDown(screen, state, MapKind::LPG, kKeyUp);
    EXPECT_EQ(state.document.Maps().LPG.y[0], 10.0);
    EXPECT_EQ(state.document.Maps().LPG.y[79], 10.0);
    EXPECT_EQ(Shown(MapKind::LPG), std::vector<double>(80, 10.0));
    // Clicks and left/right do nothing in this mode.
    ChartClickSeries(screen, state, MapKind::LPG, 5);
    ChartKeyDown(screen, state, MapKind::LPG, kKeyRight);
    EXPECT_EQ(state.Editor(MapKind::LPG)->SelectedPoint, 0);
    EXPECT_FALSE(screen.PointColour("LineSeries1", 5));

    // Throttle map at 100: the next big step would pass the bound.
    ChartMouseEnter(state, MapKind::PetrolLoadDependence);
    ChartKeyDown(screen, state, MapKind::PetrolLoadDependence, kKeyUp);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[40], 100.0);
    ChartKeyDown(screen, state, MapKind::PetrolLoadDependence, kKeyDown);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[40], 95.0);
    EXPECT_EQ(Shown(MapKind::PetrolLoadDependence), std::vector<double>(80, 95.0));
}

TEST_F(EditorTest, KeysActOnlyWhileThePointerIsOverTheChart) {
    Button1Click(screen, state);
    ChartKeyDown(screen, state, MapKind::Petrol, kKeyUp);
    EXPECT_EQ(state.document.Maps().Petrol.y[0], 2.0);
    ChartMouseEnter(state, MapKind::Petrol);
    ChartMouseLeave(state, MapKind::Petrol);
    ChartKeyDown(screen, state, MapKind::Petrol, kKeyUp);
    EXPECT_EQ(state.document.Maps().Petrol.y[0], 2.0);
    ChartMouseEnter(state, MapKind::Petrol);
    ChartKeyDown(screen, state, MapKind::Petrol, 65);  // not an arrow
    EXPECT_EQ(state.document.Maps().Petrol.y[0], 2.0);
}

TEST_F(EditorTest, SelectionMovesWithClicksAndKeysAndStopsAtTheEnds) {
    PointMode(MapKind::LPG);
    ChartKeyDown(screen, state, MapKind::LPG, kKeyLeft);
    EXPECT_EQ(state.Editor(MapKind::LPG)->SelectedPoint, 0);
    ChartClickSeries(screen, state, MapKind::LPG, 78);
    EXPECT_EQ(screen.PointColour("LineSeries1", 0), colours::Blue);
    EXPECT_EQ(screen.PointColour("LineSeries1", 78), colours::Red);
    ChartKeyDown(screen, state, MapKind::LPG, kKeyRight);
    ChartKeyDown(screen, state, MapKind::LPG, kKeyRight);
    EXPECT_EQ(state.Editor(MapKind::LPG)->SelectedPoint, 79);
    EXPECT_EQ(screen.PointColour("LineSeries1", 78), colours::Blue);
    EXPECT_EQ(screen.PointColour("LineSeries1", 79), colours::Red);
    ChartClickSeries(screen, state, MapKind::LPG, 80);  // no such point
    EXPECT_EQ(state.Editor(MapKind::LPG)->SelectedPoint, 79);
    // A redraw drops the colours but keeps the selection.
    ShowMapInChart(screen, state.document.Maps(), MapKind::LPG);
    EXPECT_FALSE(screen.PointColour("LineSeries1", 79));
    EXPECT_EQ(state.Editor(MapKind::LPG)->SelectedPoint, 79);
}

TEST_F(EditorTest, PointMovesStayStrictlyInsideTheLimits) {
    struct Case {
        MapKind kind;
        double start;
        bool big_step;
        int presses;
        double end;
    } cases[] = {
        {MapKind::LPG, 31.5, true, 1, 31.5},   // 32.5 is not below 32
        {MapKind::LPG, 31.5, false, 1, 31.6},
        {MapKind::LPGLoadDependence, 96, true, 1, 96},  // 101 is not below 101
        {MapKind::LPGLoadDependence, 96, false, 10, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(MapKindName(c.kind)) + " " + std::to_string(c.start));
        const auto* controls = FindMapControls(c.kind);
        PointMode(c.kind);
        screen.SetChecked(controls->big_step_box, c.big_step);
        ChartClickSeries(screen, state, c.kind, 4);
        state.document.SetPoint(c.kind, 4, c.start, MapEditCause::Replace);
        ShowMapInChart(screen, state.document.Maps(), c.kind);
        for (int i = 0; i < c.presses; ++i) ChartKeyDown(screen, state, c.kind, kKeyUp);
        EXPECT_DOUBLE_EQ(state.document.Map(c.kind).y[4], c.end);
        EXPECT_DOUBLE_EQ(Shown(c.kind)[4], c.end);
        EXPECT_EQ(state.document.Map(c.kind).y[3], 0.0);
    }
    // Down towards the lower limit likewise.
    state.document.SetPoint(MapKind::Petrol, 0, -31.5, MapEditCause::Replace);
    PointMode(MapKind::Petrol);
    ChartKeyDown(screen, state, MapKind::Petrol, kKeyDown);
    EXPECT_EQ(state.document.Maps().Petrol.y[0], -31.5);
}

TEST_F(EditorTest, GridCommitsTakeNumbersInRangeAndRestoreOthers) {
    struct Case {
        MapKind kind;
        std::string text;
        double stored;   // what the map holds afterwards (it held 7 before)
        std::string cell;
    } cases[] = {
        {MapKind::LPG, "32", 32, "32"},
        {MapKind::LPG, "32.01", 7, "7"},
        {MapKind::Petrol, " -32 ", -32, " -32 "},
        {MapKind::LPGLoadDependence, "100", 100, "100"},
        {MapKind::PetrolLoadDependence, "-101", -101, "-101"},
        {MapKind::PetrolLoadDependence, "101.5", 7, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(MapKindName(c.kind)) + " '" + c.text + "'");
        const auto& map = state.document.Map(c.kind);
        state.document.SetPoint(c.kind, 23, 7, MapEditCause::Replace);  // column 3, row 4
        ShowMapInGrid(screen, state.document.Maps(), c.kind);
        ASSERT_TRUE(GridSelectCell(screen, state, c.kind, 3, 4));
        Type(c.kind, 3, 4, c.text);
        GridKeyDown(screen, state, c.kind, kKeyEnter);
        EXPECT_EQ(map.y[23], c.stored);
        EXPECT_EQ(Cell(c.kind, 3, 4), c.cell);
        // The chart catches up only at the next refresh.
        EXPECT_EQ(Shown(c.kind)[23], 0.0);
    }
    EXPECT_TRUE(screen.errors.empty());
}

TEST_F(EditorTest, ATextThatIsNoNumberIsReportedAndKeepsTheCellAndSelection) {
    state.document.SetPoint(MapKind::LPG, 0, 4, MapEditCause::Replace);
    ShowMapInGrid(screen, state.document.Maps(), MapKind::LPG);
    // The first commit reads cell (1, 1), point 0.
    Type(MapKind::LPG, 1, 1, "4.5");
    EXPECT_TRUE(GridSelectCell(screen, state, MapKind::LPG, 2, 2));
    EXPECT_EQ(state.document.Maps().LPG.y[0], 4.5);
    for (std::string text : {"", "abc", "4,5.1"}) {
        SCOPED_TRACE("'" + text + "'");
        screen.Clear();
        Type(MapKind::LPG, 2, 2, text);
        EXPECT_FALSE(GridSelectCell(screen, state, MapKind::LPG, 5, 5));
        EXPECT_EQ(screen.errors, std::vector<std::string>{"'" + text + "' is not a valid floating point value"});
        EXPECT_EQ(state.Editor(MapKind::LPG)->GridEditColumn, 2);
        EXPECT_EQ(state.document.Maps().LPG.y[11], 0.0);
        EXPECT_EQ(Cell(MapKind::LPG, 2, 2), text);
    }
    // Either separator is the decimal point, whichever the grid shows:
    // "4,25" is never taken for 4.
    for (const char shown : {'.', ','}) {
        for (const char* text : {"4,25", "4.25"}) {
            SCOPED_TRACE(std::string("'") + text + "' shown with '" + shown + "'");
            SetDecimalSeparator(shown);
            state.document.SetPoint(MapKind::LPG, 11, 0, MapEditCause::Replace);
            Type(MapKind::LPG, 2, 2, text);
            EXPECT_TRUE(GridSelectCell(screen, state, MapKind::LPG, 5, 5));
            EXPECT_EQ(state.document.Maps().LPG.y[11], 4.25);
            ASSERT_TRUE(GridSelectCell(screen, state, MapKind::LPG, 2, 2));
        }
    }
}

TEST_F(EditorTest, AxisBoxesSwitchTheVerticalMinimum) {
    for (auto kind : kMapKinds) {
        const auto* c = FindMapControls(kind);
        screen.SetChecked(c->scale_box, true);
        ScaleCheckBoxClick(screen, kind);
        EXPECT_EQ(screen.Number(c->chart, Property::Minimum), IsAdvanceMap(kind) ? -20 : -100);
        screen.SetChecked(c->scale_box, false);
        ScaleCheckBoxClick(screen, kind);
        EXPECT_EQ(screen.Number(c->chart, Property::Minimum), 0);
        EXPECT_EQ(screen.Number(c->chart, Property::Maximum), IsAdvanceMap(kind) ? 20 : 100);
    }
    screen.SetChecked("Petrol_3D_ScaleCheckBox", true);
    Petrol_3D_ScaleCheckBoxClick(screen);
    EXPECT_EQ(screen.Number("Chart3DPetrol", Property::Minimum), -20);
    EXPECT_EQ(screen.Number("Chart3DPetrol", Property::Maximum), 35);
}

TEST(View3D, EachBandScalesTheSpeedMapByItsMeanThrottle) {
    TimingMaps maps;
    FillMapTemplate(maps);
    for (int i = 0; i < 10; ++i) maps.LPGLoadDependence.y[static_cast<std::size_t>(i)] = 50;
    for (int i = 70; i < 80; ++i) maps.LPGLoadDependence.y[static_cast<std::size_t>(i)] = -20;
    maps.LPG.y[3] = 4;
    const auto curves = Compute3DCurves(maps.LPG, maps.LPGLoadDependence);
    for (int k = 0; k < 8; ++k) {
        const auto& c = curves[static_cast<std::size_t>(k)];
        ASSERT_EQ(c.size(), 80u);
        const double factor = k == 0 ? 0.5 : k == 7 ? -0.2 : 1.0;
        EXPECT_EQ(c[3], (ChartPoint{300, 4 * factor}));
        EXPECT_EQ(c[79], (ChartPoint{7900, 9 * factor}));
    }
    // The markers put every curve far below the view.
    ResetMapsToUnread(maps);
    RecordingScreen screen;
    BuildPetrol3DView(screen, maps);
    EXPECT_EQ(screen.Series("LineSeries11")[0].y, -1200.0);  // band 0
    EXPECT_EQ(screen.Series("LineSeries4")[79].y, -1200.0);  // band 7
}

}  // namespace
}  // namespace tovrel::test
