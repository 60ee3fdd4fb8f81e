// The map document: the one way a map changes, what its listeners hear, and
// the views that follow it.
#include <gtest/gtest.h>

#include <cmath>

#include "ConfigFile.h"
#include "MapDocument.h"
#include "MapEditor.h"
#include "RecordingScreen.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

struct Heard {
    std::vector<MapChange> changes;
    void Listen(MapDocument& document) {
        document.AddListener([this](const MapChange& c) { changes.push_back(c); });
    }
};

TEST(MapDocument, ApplyTellsTheNarrowestRunThatChangedAndNothingElse) {
    const auto nan = std::nan("");
    struct Case {
        const char* name;
        PointRange range;
        std::function<void(std::span<double>)> edit;
        ApplyResult result;
        std::optional<PointRange> heard;
    } cases[] = {
        {"two points inside a longer run", {2, 10}, [](std::span<double> y) { y[1] = 5, y[5] = -1; },
         ApplyResult::Changed, PointRange{3, 5}},
        {"the last point", PointRange::One(79), [](std::span<double> y) { y[0] = 31.9; }, ApplyResult::Changed,
         PointRange::One(79)},
        {"the same values again", PointRange::All(), [](std::span<double> y) { y[40] = 0; }, ApplyResult::Unchanged,
         std::nullopt},
        {"a NaN", PointRange::One(6), [nan](std::span<double> y) { y[0] = nan; }, ApplyResult::Changed,
         PointRange::One(6)},
        {"before the first point", {-1, 2}, nullptr, ApplyResult::Refused, std::nullopt},
        {"past the last point", {79, 2}, nullptr, ApplyResult::Refused, std::nullopt},
        {"starting at 80", PointRange::One(80), nullptr, ApplyResult::Refused, std::nullopt},
        {"an empty range", {5, 0}, nullptr, ApplyResult::Refused, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MapDocument document;
        Heard heard;
        heard.Listen(document);
        const TimingMap before = document.Map(MapKind::Petrol);
        bool ran = false;
        const auto result = document.Apply(MapKind::Petrol, c.range, MapEditCause::GridCommit, [&](std::span<double> y) {
            ran = true;
            EXPECT_EQ(y.size(), static_cast<std::size_t>(c.range.count));
            c.edit(y);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ran, c.result != ApplyResult::Refused);
        if (c.heard) {
            EXPECT_EQ(heard.changes, (std::vector<MapChange>{{MapKind::Petrol, *c.heard, MapEditCause::GridCommit}}));
        } else {
            EXPECT_TRUE(heard.changes.empty());
        }
        // Only the y values of that map move; the axes never do.
        EXPECT_EQ(document.Map(MapKind::Petrol).x, before.x);
        for (MapKind other : {MapKind::LPG, MapKind::LPGLoadDependence, MapKind::PetrolLoadDependence})
            EXPECT_EQ(document.Map(other).y, (std::array<double, MapPointCount>{}));
    }
    // A NaN put back over the same NaN changes nothing.
    MapDocument document;
    document.SetPoint(MapKind::LPG, 0, nan, MapEditCause::FileLoad);
    Heard heard;
    heard.Listen(document);
    EXPECT_EQ(document.SetPoint(MapKind::LPG, 0, nan, MapEditCause::FileLoad), ApplyResult::Unchanged);
    EXPECT_TRUE(heard.changes.empty());
}

TEST(MapDocument, WholeSetChangesAreOneChangePerMapThatChanged) {
    MapDocument document;
    Heard heard;
    heard.Listen(document);
    FillMapTemplate(document);
    std::vector<MapChange> want;
    for (MapKind kind : kMapKinds) want.push_back({kind, PointRange::All(), MapEditCause::Template});
    EXPECT_EQ(heard.changes, want);
    EXPECT_EQ(document.Y(MapKind::Petrol, 79), 2.0);

    // Only the maps that differ are heard of, with the points that differ.
    heard.changes.clear();
    TimingMaps next = document.Maps();
    next.LPGLoadDependence.y[10] = 50;
    next.LPGLoadDependence.y[12] = 50;
    document.ReplaceAll(next, MapEditCause::Replace);
    EXPECT_EQ(heard.changes,
              (std::vector<MapChange>{{MapKind::LPGLoadDependence, {10, 3}, MapEditCause::Replace}}));
    EXPECT_EQ(document.Maps(), next);

    // A listener taken away hears nothing more; the others still do.
    Heard second;
    const int id = document.AddListener([&](const MapChange& c) { second.changes.push_back(c); });
    document.RemoveListener(id);
    heard.changes.clear();
    ResetMapsToUnread(document);
    EXPECT_EQ(heard.changes.size(), 4u);
    EXPECT_TRUE(second.changes.empty());
}

// A screen that counts how the charts are drawn.
class CountingScreen : public RecordingScreen {
public:
    struct PointSet {
        std::string series;
        int index;
        double y;
        friend bool operator==(const PointSet&, const PointSet&) = default;
    };
    std::vector<PointSet> point_sets;
    int whole_series = 0;
    void SetSeries(std::string_view series, std::vector<ChartPoint> points) override {
        ++whole_series;
        RecordingScreen::SetSeries(series, std::move(points));
    }
    void SetPointY(std::string_view series, int index, double y) override {
        point_sets.push_back({std::string(series), index, y});
        RecordingScreen::SetPointY(series, index, y);
    }
    void Forget() {
        Clear();
        point_sets.clear();
        whole_series = 0;
    }
};

class MapViewsTest : public ::testing::Test {
protected:
    MapViewsTest() {
        InitMapControls(screen);
        Button1Click(screen, state);
        ChartMouseEnter(state, MapKind::LPG);
        heard.Listen(state.document);
        screen.Forget();
    }
    CountingScreen screen;
    MapsState state;
    MapViews views{screen, state.document};
    Heard heard;
};

TEST_F(MapViewsTest, AKeyRepeatMovesOnlyThePointsItChanged) {
    // One point: each press is one point change of that point, nothing else.
    screen.SetChecked("LPGFulMapMoveCheckBox", false);
    screen.SetChecked("LPGSpeedCheckBox", false);  // 0.1 degree
    ChartClickSeries(screen, state, MapKind::LPG, 4);
    screen.Forget();
    for (int i = 0; i < 3; ++i) ChartKeyDown(screen, state, MapKind::LPG, kKeyUp);
    ASSERT_EQ(screen.point_sets.size(), 3u);
    for (const auto& p : screen.point_sets) {
        EXPECT_EQ(p.series, "LineSeries1");
        EXPECT_EQ(p.index, 4);
    }
    EXPECT_DOUBLE_EQ(screen.point_sets.back().y, 9.3);
    EXPECT_EQ(screen.whole_series, 0);
    EXPECT_TRUE(screen.events.empty());  // no grid cell, no other control
    EXPECT_EQ(screen.PointColour("LineSeries1", 4), colours::Red);  // the mark stays
    EXPECT_EQ(heard.changes.back(), (MapChange{MapKind::LPG, PointRange::One(4), MapEditCause::Key}));

    // The whole curve: every point once per press, still no series replaced.
    screen.SetChecked("LPGFulMapMoveCheckBox", true);
    screen.Forget();
    ChartKeyDown(screen, state, MapKind::LPG, kKeyDown);
    ASSERT_EQ(screen.point_sets.size(), 80u);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(screen.point_sets[static_cast<std::size_t>(i)].index, i);
    EXPECT_EQ(screen.whole_series, 0);
    EXPECT_EQ(heard.changes.back(), (MapChange{MapKind::LPG, PointRange::All(), MapEditCause::Key}));

    // A key at a limit changes nothing and draws nothing.
    screen.SetChecked("LPGSpeedCheckBox", true);  // 100 + 1 is not below 101
    state.document.FillMap(MapKind::LPG, 100, MapEditCause::Replace);
    screen.Forget();
    ChartKeyDown(screen, state, MapKind::LPG, kKeyUp);
    EXPECT_TRUE(screen.point_sets.empty());
    EXPECT_EQ(state.document.Y(MapKind::LPG, 0), 100.0);
}

// The chart keys take their values from the maps, not from what the chart
// shows: after a grid commit the chart lags until the next page change, and
// a key then shows the map's value moved by one step.
TEST_F(MapViewsTest, KeysMoveTheMapsValuesNotTheChartsLaggingOnes) {
    state.editor[0].GridEditColumn = 3;  // point 23
    state.editor[0].GridEditRow = 4;
    screen.SetText(GridCell("StringGridLPG", 3, 4), "5");
    GridKeyDown(screen, state, MapKind::LPG, kKeyEnter);
    EXPECT_EQ(heard.changes.back(), (MapChange{MapKind::LPG, PointRange::One(23), MapEditCause::GridCommit}));
    EXPECT_EQ(screen.Series("LineSeries1")[23].y, 9.0);  // not redrawn
    EXPECT_TRUE(screen.point_sets.empty());
    EXPECT_EQ(screen.whole_series, 0);

    ChartKeyDown(screen, state, MapKind::LPG, kKeyUp);  // whole-map mode
    EXPECT_EQ(state.document.Y(MapKind::LPG, 23), 6.0);
    EXPECT_EQ(screen.Series("LineSeries1")[23].y, 6.0);
    EXPECT_EQ(screen.Series("LineSeries1")[22].y, 10.0);
}

TEST_F(MapViewsTest, AFileLoadGoesThroughTheDocumentAndTheRefreshDrawsIt) {
    TempDir dir;
    TimingMaps file;
    FillMapTemplate(file);
    file.Petrol.y[7] = -3.5;
    screen.SetText(kStartTimeoutEdit, "5");
    ASSERT_TRUE(SaveConfigurationFile(screen, dir / "f.xml", file.LPG, file.Petrol, file.LPGLoadDependence,
                                      file.PetrolLoadDependence));
    screen.Forget();
    screen.file_choices = {dir / "f.xml"};
    N2Click(screen, state);
    EXPECT_EQ(heard.changes, (std::vector<MapChange>{{MapKind::Petrol, PointRange::One(7), MapEditCause::FileLoad}}));
    EXPECT_EQ(state.document.Maps(), file);
    EXPECT_EQ(screen.Series("Series1")[7].y, -3.5);
    EXPECT_EQ(screen.Text(GridCell("StringGridPetrol", 1, 8)), "-3.5");

    // A file that fails changes nothing, so nobody hears of it.
    heard.changes.clear();
    screen.file_choices = {dir / "missing.xml"};
    N2Click(screen, state);
    EXPECT_TRUE(heard.changes.empty());
    EXPECT_EQ(screen.errors.size(), 1u);
}

}  // namespace
}  // namespace tovrel::test
