// Edit operations over a selection, the undo history they leave, and what is
// known of the maps in the variator.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "MapHistory.h"
#include "MapOperations.h"
#include "MapSync.h"

namespace tovrel::test {
namespace {

TimingMap Ramp(double start, double step) {
    TimingMap m{};
    for (int i = 0; i < MapPointCount; ++i) m.y[static_cast<std::size_t>(i)] = start + step * i;
    return m;
}

TEST(MapOperations, ValuesLimitsAndOrder) {
    std::array<double, MapPointCount> read{};
    read.fill(7.25);
    struct Case {
        const char* name;
        MapKind kind;
        TimingMap map;
        std::vector<int> points;
        MapOperation op;
        double argument;
        std::vector<int> want_points;
        std::vector<double> want;
        std::vector<int> want_limited;
    } cases[] = {
        {"set, points given out of order and twice", MapKind::LPG, Ramp(0, 1), {5, 3, 5, 4}, MapOperation::Set, 12.5,
         {3, 4, 5}, {12.5, 12.5, 12.5}, {}},
        {"set rounds to a hundredth of a degree", MapKind::Petrol, Ramp(0, 0), {0}, MapOperation::Set, 9.004, {0},
         {9.0}, {}},
        {"set beyond the grid range is held to it", MapKind::LPG, Ramp(0, 0), {0, 1}, MapOperation::Set, 40, {0, 1},
         {32, 32}, {0, 1}},
        {"32 degrees and 101 percent are reachable", MapKind::LPGLoadDependence, Ramp(100, 0), {7},
         MapOperation::Step, 1, {7}, {101}, {}},
        {"step down stops at -32 and names the point", MapKind::LPG, Ramp(-31, 0), {2, 9}, MapOperation::Step, -5,
         {2, 9}, {-32, -32}, {2, 9}},
        {"throttle step is whole percent", MapKind::PetrolLoadDependence, Ramp(50, 0), {0}, MapOperation::Step, 2.6,
         {0}, {53}, {}},
        {"scale by 150 percent, one point over the top", MapKind::LPG, Ramp(10, 5), {0, 1, 2}, MapOperation::Scale,
         150, {0, 1, 2}, {15, 22.5, 30}, {}},
        {"scale of the not-yet-read marker is limited", MapKind::LPG, Ramp(1000, 0), {0}, MapOperation::Scale, 100,
         {0}, {32}, {0}},
        {"interpolate over a gap keeps the ends", MapKind::LPG, Ramp(0, 0), {10, 12, 14}, MapOperation::Set, 0, {10, 12, 14},
         {0, 0, 0}, {}},
        {"smooth keeps the selection's ends", MapKind::LPG, [] {
             auto m = Ramp(0, 0);
             m.y[5] = 8;
             return m;
         }(), {4, 5, 6}, MapOperation::Smooth, 0, {4, 5, 6}, {0, 4, 0}, {}},
        {"smooth uses neighbours outside the selection", MapKind::LPG, [] {
             auto m = Ramp(0, 0);
             m.y[4] = 4;
             m.y[6] = 8;
             return m;
         }(), {3, 5, 7}, MapOperation::Smooth, 0, {3, 5, 7}, {0, 3, 0}, {}},
        {"revert to the values last read", MapKind::LPG, Ramp(3, 0), {1, 0}, MapOperation::Revert, 0, {0, 1},
         {7.25, 7.25}, {}},
        {"indices outside the map are dropped", MapKind::LPG, Ramp(0, 0), {-1, 80, 79}, MapOperation::Step, 1, {79},
         {1}, {}},
    };
    // The interpolation case proper: first 2, last 10, points between on the line.
    auto line = Ramp(0, 0);
    line.y[10] = 2;
    line.y[14] = 10;
    cases[8].map = line;
    cases[8].op = MapOperation::Interpolate;
    cases[8].want = {2, 6, 10};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = ComputeOperation(c.kind, c.map, c.points, c.op, c.argument, &read);
        EXPECT_FALSE(r.refused);
        EXPECT_EQ(r.points, c.want_points);
        ASSERT_EQ(r.values.size(), c.want.size());
        for (std::size_t i = 0; i < c.want.size(); ++i) EXPECT_DOUBLE_EQ(r.values[i], c.want[i]) << i;
        EXPECT_EQ(r.limited, c.want_limited);
    }
}

TEST(MapOperations, RefusedWithoutPointsOrReadValues) {
    const auto map = Ramp(0, 1);
    EXPECT_TRUE(ComputeOperation(MapKind::LPG, map, std::vector<int>{}, MapOperation::Set, 1).refused);
    EXPECT_TRUE(ComputeOperation(MapKind::LPG, map, std::vector<int>{3}, MapOperation::Revert, 0, nullptr).refused);
}

TEST(MapOperations, ANotANumberResultIsLimited) {
    const auto r = ComputeOperation(MapKind::LPG, Ramp(std::nan(""), 0), std::vector<int>{0}, MapOperation::Step, 1);
    ASSERT_EQ(r.values.size(), 1u);
    EXPECT_EQ(r.values[0], -32);
    EXPECT_EQ(r.limited, std::vector<int>{0});
}

TEST(MapOperations, ApplyTouchesOnlyTheGivenPoints) {
    MapDocument doc;
    std::vector<MapChange> heard;
    doc.AddListener([&heard](const MapChange& c) { heard.push_back(c); });
    const std::vector<int> points{2, 6};
    const std::vector<double> values{1.5, -2};
    EXPECT_EQ(ApplyPointValues(doc, MapKind::Petrol, points, values, MapEditCause::EditOperation),
              ApplyResult::Changed);
    EXPECT_EQ(doc.Y(MapKind::Petrol, 2), 1.5);
    EXPECT_EQ(doc.Y(MapKind::Petrol, 6), -2);
    for (int i : {1, 3, 4, 5, 7}) EXPECT_EQ(doc.Y(MapKind::Petrol, i), 0) << i;
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], (MapChange{MapKind::Petrol, PointRange{2, 5}, MapEditCause::EditOperation}));
}

// Undo and redo of recorded steps give back every map bit for bit.
TEST(MapHistory, StepsUndoAndRedoToTheExactBytes) {
    MapDocument doc;
    FillMapTemplate(doc);
    MapHistory history(doc);
    const TimingMaps start = doc.Maps();

    // One action: two points of one map, the whole of another.
    doc.SetPoint(MapKind::LPG, 3, 9.1, MapEditCause::Key);
    doc.SetPoint(MapKind::LPG, 40, 0.30000000000000004, MapEditCause::Key);
    doc.FillMap(MapKind::PetrolLoadDependence, 55, MapEditCause::Key);
    const auto first = history.Take();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->cause, MapEditCause::Key);
    ASSERT_EQ(first->parts.size(), 2u);
    EXPECT_EQ(first->parts[0].first, 3);
    EXPECT_EQ(first->parts[0].before.size(), 38u);
    const TimingMaps after_first = doc.Maps();

    // A whole read over the edits: markers first, then the points read.
    ResetMapsToUnread(doc);
    for (int i = 0; i < MapPointCount; ++i) doc.SetPoint(MapKind::LPG, i, 1.0 + i / 100.0, MapEditCause::DeviceRead);
    const auto read = history.Take();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->cause, MapEditCause::DeviceRead);
    const TimingMaps after_read = doc.Maps();

    const auto same = [](const TimingMaps& a, const TimingMaps& b) {
        for (int m = 0; m < 4; ++m)
            if (std::memcmp(a[m].y.data(), b[m].y.data(), sizeof a[m].y) != 0) return false;
        return true;
    };
    ApplyStep(doc, *read, true);
    EXPECT_TRUE(same(doc.Maps(), after_first));
    ApplyStep(doc, *first, true);
    EXPECT_TRUE(same(doc.Maps(), start));
    ApplyStep(doc, *first, false);
    ApplyStep(doc, *read, false);
    EXPECT_TRUE(same(doc.Maps(), after_read));
    // Undoing and redoing is not itself recorded.
    EXPECT_FALSE(history.Take());
}

TEST(MapHistory, AChangeThatComesBackMakesNoStep) {
    MapDocument doc;
    MapHistory history(doc);
    doc.SetPoint(MapKind::LPG, 0, 5, MapEditCause::Key);
    doc.SetPoint(MapKind::LPG, 0, 0, MapEditCause::Key);
    EXPECT_FALSE(history.Take());
}

TEST(MapDeviceCopies, EditorWorkingMemoryAndEeprom) {
    MapDeviceCopies copies;
    auto map = Ramp(1, 0.1);
    EXPECT_EQ(copies.State(MapKind::LPG, map), MapSyncState{});
    copies.Read(MapKind::LPG, map);
    EXPECT_EQ(copies.State(MapKind::LPG, map), (MapSyncState{true, false, true, false}));
    ASSERT_TRUE(copies.LastRead(MapKind::LPG));

    // Below the variator's resolution an edit is no difference.
    map.y[4] += 0.001;
    EXPECT_FALSE(copies.State(MapKind::LPG, map).editor_differs);
    map.y[4] += 0.5;
    EXPECT_TRUE(copies.State(MapKind::LPG, map).editor_differs);

    copies.Written(MapKind::LPG, map);
    EXPECT_EQ(copies.State(MapKind::LPG, map), (MapSyncState{true, false, true, true}));
    // A read before the commit does not make the EEPROM look like the working memory.
    copies.Read(MapKind::LPG, map);
    EXPECT_TRUE(copies.State(MapKind::LPG, map).eeprom_differs);
    copies.Committed();
    EXPECT_EQ(copies.State(MapKind::LPG, map), (MapSyncState{true, false, true, false}));
    // A commit made by another procedure counts once.
    map.y[5] += 1;
    copies.Written(MapKind::LPG, map);
    copies.NoteCommits(0);
    EXPECT_TRUE(copies.State(MapKind::LPG, map).eeprom_differs);
    copies.NoteCommits(1);
    EXPECT_FALSE(copies.State(MapKind::LPG, map).eeprom_differs);
    // Another map was never read: nothing known, nothing claimed.
    EXPECT_EQ(copies.State(MapKind::Petrol, map), MapSyncState{});
}

}  // namespace
}  // namespace tovrel::test
