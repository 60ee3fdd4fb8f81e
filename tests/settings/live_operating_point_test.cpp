// The live operating point on the maps and its trail.
#include <gtest/gtest.h>

#include "OperatingPoint.h"

using namespace tovrel;

namespace {

// Advance maps: y = x / 100 (1 degree per 100 rpm); throttle maps: y = 2 * index.
TimingMaps RampMaps() {
    TimingMaps maps;
    InitTimingMaps(maps);
    for (int i = 0; i < MapPointCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        maps.LPG.y[p] = maps.Petrol.y[p] = i;
        maps.LPGLoadDependence.y[p] = maps.PetrolLoadDependence.y[p] = 2.0 * i;
    }
    maps.Petrol.y[79] = 50;  // a bend at the last point
    return maps;
}

RealtimeSnapshot Pass(std::uint16_t rpm, int throttle_index, bool gas, int sync) {
    RealtimeSnapshot s;
    s.engine_speed = rpm;
    s.status = static_cast<std::uint16_t>((gas ? 0x100 : 0) | (throttle_index & 0xFF));
    s.advance = 1250;                                   // 12.5 degrees applied
    s.tps_correction = gas ? 0x00F6 : 0x0500;           // -10 % on gas, 5 % on petrol
    s.gas_time_sync = static_cast<std::uint16_t>(sync & 0xFF);
    return s;
}

}  // namespace

TEST(OperatingPointTest, MapValueAtEndsBetweenPointsAndBeyond) {
    const TimingMaps maps = RampMaps();
    struct Case {
        const char* name;
        MapKind kind;
        double x, value;
        int nearest;
    } cases[] = {
        {"first point", MapKind::LPG, 0, 0, 0},
        {"on a point", MapKind::LPG, 2500, 25, 25},
        {"between points", MapKind::LPG, 2530, 25.3, 25},
        {"nearer the upper point", MapKind::LPG, 2570, 25.7, 26},
        {"tie goes to the lower point", MapKind::LPG, 2550, 25.5, 25},
        {"into the bend", MapKind::Petrol, 7850, 78 + 0.5 * (50 - 78), 78},
        {"the last point", MapKind::Petrol, 7900, 50, 79},
        {"beyond the last point", MapKind::Petrol, 12000, 50, 79},
        {"below the first point", MapKind::LPG, -5, 0, 0},
        {"throttle index between", MapKind::LPGLoadDependence, 10.5, 21, 10},
        {"throttle index past the end", MapKind::PetrolLoadDependence, 255, 158, 79},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(MapValueAt(maps[c.kind], c.x), c.value, 1e-9);
        EXPECT_EQ(NearestMapPoint(maps[c.kind], c.x), c.nearest);
    }
}

TEST(OperatingPointTest, EachMapTakesItsAxisFuelAndAppliedValue) {
    const TimingMaps maps = RampMaps();
    const auto gas = OperatingPoints(Pass(3040, 20, true, 1), maps);
    // Advance maps follow the engine speed and show the applied advance.
    EXPECT_DOUBLE_EQ(gas[0].x, 3040);
    EXPECT_NEAR(gas[0].map_value, 30.4, 1e-9);
    EXPECT_EQ(gas[0].nearest, 30);
    EXPECT_DOUBLE_EQ(gas[0].applied, 12.5);
    // Throttle maps follow the throttle index and show the correction of
    // the fuel in use.
    EXPECT_DOUBLE_EQ(gas[2].x, 20);
    EXPECT_DOUBLE_EQ(gas[2].map_value, 40);
    EXPECT_DOUBLE_EQ(gas[2].applied, -10);
    EXPECT_TRUE(gas[0].in_use && gas[2].in_use);
    EXPECT_FALSE(gas[1].in_use || gas[3].in_use);
    for (const auto& p : gas) EXPECT_TRUE(p.synchronised);

    const auto petrol = OperatingPoints(Pass(800, 79, false, 0), maps);
    EXPECT_FALSE(petrol[0].in_use || petrol[2].in_use);
    EXPECT_TRUE(petrol[1].in_use && petrol[3].in_use);
    EXPECT_DOUBLE_EQ(petrol[3].applied, 5);
    EXPECT_DOUBLE_EQ(petrol[3].map_value, 158);
    // Not synchronised (0: more pulses wanted; -1: fewer) greys the markers.
    for (const auto& p : petrol) EXPECT_FALSE(p.synchronised);
    for (const auto& p : OperatingPoints(Pass(800, 0, false, -1), maps)) EXPECT_FALSE(p.synchronised);
}

TEST(OperatingPointTest, TrailFadesAndForgetsOlderPoints) {
    OperatingTrail trail(3.0);
    for (int i = 0; i <= 8; ++i) trail.Add(i * 0.5, 1000 + i, i);  // 0 .. 4 s
    auto points = trail.Points(4.0);
    // 1.0 .. 4.0 s remain; the sample at 0.5 s is 3.5 s old and gone.
    ASSERT_EQ(points.size(), 7u);
    EXPECT_DOUBLE_EQ(points.front().x, 1002);
    EXPECT_DOUBLE_EQ(points.front().strength, 0.0);
    EXPECT_DOUBLE_EQ(points[3].strength, 0.5);
    EXPECT_DOUBLE_EQ(points.back().strength, 1.0);
    for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GT(points[i].strength, points[i - 1].strength);
    // Later, without new samples, the trail empties.
    EXPECT_TRUE(trail.Points(7.5).empty());

    // A length of 0 keeps nothing, also what was there.
    trail.SetLength(0);
    trail.Add(8, 1, 1);
    EXPECT_TRUE(trail.Points(8).empty());
    trail.SetLength(3);
    EXPECT_TRUE(trail.Points(8).empty());
}
