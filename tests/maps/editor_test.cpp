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
        RefreshAllMapViews(screen, state.maps);
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
        EXPECT_EQ(Cell(map_kind::LPG, col, 0), std::to_string((col - 1) * 1000));
        EXPECT_EQ(Cell(map_kind::LPGLoadDependence, col, 0), std::to_string(col - 1));
        for (int row = 1; row <= 10; ++row) {
            EXPECT_EQ(Cell(map_kind::LPG, col, row), "9");
            EXPECT_EQ(Cell(map_kind::Petrol, col, row), "2");
            EXPECT_EQ(Cell(map_kind::PetrolLoadDependence, col, row), "100");
        }
    }
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(Cell(map_kind::Petrol, 0, row), std::to_string((row - 1) * 100));
        EXPECT_EQ(Cell(map_kind::LPGLoadDependence, 0, row), std::to_string(row - 1));
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
    state.maps.Petrol.y[13] = 9.5;  // column 2, row 4
    SetDecimalSeparator(',');
    ShowMapInGrid(screen, state.maps, map_kind::Petrol);
    EXPECT_EQ(Cell(map_kind::Petrol, 2, 4), "9,5");
}

TEST_F(EditorTest, WholeMapModeShiftsTheCurveWithinItsBounds) {
    Button1Click(screen, state);
    ChartMouseEnter(state, map_kind::LPG);
    ChartKeyDown(screen, state, map_kind::LPG, kKeyUp);
    EXPECT_EQ(state.maps.LPG.y[0], 10.0);
    EXPECT_EQ(state.maps.LPG.y[79], 10.0);
    EXPECT_EQ(Shown(map_kind::LPG), std::vector<double>(80, 10.0));
    // Clicks and left/right do nothing in this mode.
    ChartClickSeries(screen, state, map_kind::LPG, 5);
    ChartKeyDown(screen, state, map_kind::LPG, kKeyRight);
    EXPECT_EQ(state.Editor(map_kind::LPG)->SelectedPoint, 0);
    EXPECT_FALSE(screen.PointColour("LineSeries1", 5));

    // Throttle map at 100: the next big step would pass the bound.
    ChartMouseEnter(state, map_kind::PetrolLoadDependence);
    ChartKeyDown(screen, state, map_kind::PetrolLoadDependence, kKeyUp);
    EXPECT_EQ(state.maps.PetrolLoadDependence.y[40], 100.0);
    ChartKeyDown(screen, state, map_kind::PetrolLoadDependence, kKeyDown);
    EXPECT_EQ(state.maps.PetrolLoadDependence.y[40], 95.0);
    EXPECT_EQ(Shown(map_kind::PetrolLoadDependence), std::vector<double>(80, 95.0));
}

TEST_F(EditorTest, KeysActOnlyWhileThePointerIsOverTheChart) {
    Button1Click(screen, state);
    ChartKeyDown(screen, state, map_kind::Petrol, kKeyUp);
    EXPECT_EQ(state.maps.Petrol.y[0], 2.0);
    ChartMouseEnter(state, map_kind::Petrol);
    ChartMouseLeave(state, map_kind::Petrol);
    ChartKeyDown(screen, state, map_kind::Petrol, kKeyUp);
    EXPECT_EQ(state.maps.Petrol.y[0], 2.0);
    ChartMouseEnter(state, map_kind::Petrol);
    ChartKeyDown(screen, state, map_kind::Petrol, 65);  // not an arrow
    EXPECT_EQ(state.maps.Petrol.y[0], 2.0);
}

TEST_F(EditorTest, SelectionMovesWithClicksAndKeysAndStopsAtTheEnds) {
    PointMode(map_kind::LPG);
    ChartKeyDown(screen, state, map_kind::LPG, kKeyLeft);
    EXPECT_EQ(state.Editor(map_kind::LPG)->SelectedPoint, 0);
    ChartClickSeries(screen, state, map_kind::LPG, 78);
    EXPECT_EQ(screen.PointColour("LineSeries1", 0), colours::Blue);
    EXPECT_EQ(screen.PointColour("LineSeries1", 78), colours::Red);
    ChartKeyDown(screen, state, map_kind::LPG, kKeyRight);
    ChartKeyDown(screen, state, map_kind::LPG, kKeyRight);
    EXPECT_EQ(state.Editor(map_kind::LPG)->SelectedPoint, 79);
    EXPECT_EQ(screen.PointColour("LineSeries1", 78), colours::Blue);
    EXPECT_EQ(screen.PointColour("LineSeries1", 79), colours::Red);
    ChartClickSeries(screen, state, map_kind::LPG, 80);  // no such point
    EXPECT_EQ(state.Editor(map_kind::LPG)->SelectedPoint, 79);
    // A redraw drops the colours but keeps the selection.
    ShowMapInChart(screen, state.maps, map_kind::LPG);
    EXPECT_FALSE(screen.PointColour("LineSeries1", 79));
    EXPECT_EQ(state.Editor(map_kind::LPG)->SelectedPoint, 79);
}

TEST_F(EditorTest, PointMovesStayStrictlyInsideTheLimits) {
    struct Case {
        MapKind kind;
        double start;
        bool big_step;
        int presses;
        double end;
    } cases[] = {
        {map_kind::LPG, 31.5, true, 1, 31.5},   // 32.5 is not below 32
        {map_kind::LPG, 31.5, false, 1, 31.6},
        {map_kind::LPGLoadDependence, 96, true, 1, 96},  // 101 is not below 101
        {map_kind::LPGLoadDependence, 96, false, 10, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.start));
        const auto* controls = FindMapControls(c.kind);
        PointMode(c.kind);
        screen.SetChecked(controls->big_step_box, c.big_step);
        ChartClickSeries(screen, state, c.kind, 4);
        state.maps.Find(c.kind)->y[4] = c.start;
        ShowMapInChart(screen, state.maps, c.kind);
        for (int i = 0; i < c.presses; ++i) ChartKeyDown(screen, state, c.kind, kKeyUp);
        EXPECT_DOUBLE_EQ(state.maps.Find(c.kind)->y[4], c.end);
        EXPECT_DOUBLE_EQ(Shown(c.kind)[4], c.end);
        EXPECT_EQ(state.maps.Find(c.kind)->y[3], 0.0);
    }
    // Down towards the lower limit likewise.
    state.maps.Petrol.y[0] = -31.5;
    PointMode(map_kind::Petrol);
    ChartKeyDown(screen, state, map_kind::Petrol, kKeyDown);
    EXPECT_EQ(state.maps.Petrol.y[0], -31.5);
}

TEST_F(EditorTest, GridCommitsTakeNumbersInRangeAndRestoreOthers) {
    struct Case {
        MapKind kind;
        std::string text;
        double stored;   // what the map holds afterwards (it held 7 before)
        std::string cell;
    } cases[] = {
        {map_kind::LPG, "32", 32, "32"},
        {map_kind::LPG, "32.01", 7, "7"},
        {map_kind::Petrol, " -32 ", -32, " -32 "},
        {map_kind::LPGLoadDependence, "100", 100, "100"},
        {map_kind::PetrolLoadDependence, "-101", -101, "-101"},
        {map_kind::PetrolLoadDependence, "101.5", 7, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " '" + c.text + "'");
        auto& map = *state.maps.Find(c.kind);
        map.y[23] = 7;  // column 3, row 4
        ShowMapInGrid(screen, state.maps, c.kind);
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
    state.maps.LPG.y[0] = 4;
    ShowMapInGrid(screen, state.maps, map_kind::LPG);
    // The first commit reads cell (1, 1), point 0.
    Type(map_kind::LPG, 1, 1, "4.5");
    EXPECT_TRUE(GridSelectCell(screen, state, map_kind::LPG, 2, 2));
    EXPECT_EQ(state.maps.LPG.y[0], 4.5);
    for (std::string text : {"", "abc", "4,5"}) {
        SCOPED_TRACE("'" + text + "'");
        screen.Clear();
        Type(map_kind::LPG, 2, 2, text);
        EXPECT_FALSE(GridSelectCell(screen, state, map_kind::LPG, 5, 5));
        EXPECT_EQ(screen.errors, std::vector<std::string>{"'" + text + "' is not a valid floating point value"});
        EXPECT_EQ(state.Editor(map_kind::LPG)->GridEditColumn, 2);
        EXPECT_EQ(state.maps.LPG.y[11], 0.0);
        EXPECT_EQ(Cell(map_kind::LPG, 2, 2), text);
    }
    // In a decimal-comma locale the comma is the separator.
    SetDecimalSeparator(',');
    Type(map_kind::LPG, 2, 2, "4,25");
    EXPECT_TRUE(GridSelectCell(screen, state, map_kind::LPG, 5, 5));
    EXPECT_EQ(state.maps.LPG.y[11], 4.25);
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
