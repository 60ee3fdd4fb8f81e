// The map model: fillings, device encodings and whole-map range checks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Calculations.h"

namespace tovrel::test {
namespace {

TimingMap MapOf(double value) {
    TimingMap m;
    m.y.fill(value);
    return m;
}

TEST(MapModel, FillingsSetAxesAndValues) {
    TimingMaps maps;
    struct Case {
        void (*fill)(TimingMaps&);
        double lpg, petrol, throttle;
    } cases[] = {{InitTimingMaps, 0, 0, 0}, {FillMapTemplate, 9, 2, 100}, {ResetMapsToUnread, 1000, 1000, -120}};
    for (const auto& c : cases) {
        maps.LPG.x.fill(-1);
        maps.PetrolLoadDependence.x.fill(-1);
        c.fill(maps);
        for (std::size_t i = 0; i < MapPointCount; ++i) {
            EXPECT_EQ(maps.LPG.x[i], 100.0 * static_cast<double>(i));
            EXPECT_EQ(maps.Petrol.x[i], 100.0 * static_cast<double>(i));
            EXPECT_EQ(maps.LPGLoadDependence.x[i], static_cast<double>(i));
            EXPECT_EQ(maps.PetrolLoadDependence.x[i], static_cast<double>(i));
            EXPECT_EQ(maps.LPG.y[i], c.lpg);
            EXPECT_EQ(maps.Petrol.y[i], c.petrol);
            EXPECT_EQ(maps.LPGLoadDependence.y[i], c.throttle);
            EXPECT_EQ(maps.PetrolLoadDependence.y[i], c.throttle);
        }
    }
}

TEST(MapModel, KindsAreExactWords) {
    TimingMaps maps;
    for (MapKind kind : kMapKinds) {
        EXPECT_EQ(ParseMapKind(MapKindName(kind)), kind);
        EXPECT_EQ(&maps[kind], &maps[MapKindIndex(kind)]);
    }
    EXPECT_EQ(MapKindName(MapKind::PetrolLoadDependence), "PetrolLoadDependence");
    EXPECT_EQ(&maps[MapKind::LPGLoadDependence], &maps.LPGLoadDependence);
    for (std::string_view word : {"lpg", "LPG ", "", "Petrolmap", "LPGLoad"})
        EXPECT_FALSE(ParseMapKind(word)) << word;
}

TEST(MapModel, EncodingTruncatesTowardZeroAndKeepsLow16Bits) {
    struct Case {
        MapKind kind;
        double y;
        std::uint16_t sent;
    } cases[] = {
        {MapKind::LPG, 9.999, 999},   {MapKind::LPG, -0.015, 0xFFFF},   {MapKind::LPG, 9.5, 0x03B6},
        {MapKind::Petrol, -0.5, 0xFFCE}, {MapKind::LPG, 1000.0, 0x86A0}, {MapKind::LPGLoadDependence, 100.7, 100},
        {MapKind::PetrolLoadDependence, -120.0, 0xFF88}, {MapKind::PetrolLoadDependence, -0.9, 0},
        // Values from a file may be anything; they are cut, never undefined.
        {MapKind::LPG, 1e300, 0}, {MapKind::LPG, std::nan(""), 0},
        {MapKind::LPGLoadDependence, 65536.0 * 3 + 5, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(MapKindName(c.kind)) + " " + std::to_string(c.y));
        EXPECT_EQ(static_cast<std::uint16_t>(EncodeMapValue(c.kind, c.y)), c.sent);
    }
}

TEST(MapModel, DecodingTakesSignedHundredthsOrTheSignedLowByte) {
    EXPECT_EQ(DecodeMapValue(MapKind::LPG, static_cast<std::int16_t>(0xFC18)), -10.0);
    EXPECT_EQ(DecodeMapValue(MapKind::Petrol, 0x0384), 9.0);
    EXPECT_EQ(DecodeMapValue(MapKind::LPGLoadDependence, 0x0164), 100.0);
    EXPECT_EQ(DecodeMapValue(MapKind::LPGLoadDependence, 0x00FF), -1.0);
    EXPECT_EQ(DecodeMapValue(MapKind::PetrolLoadDependence, 0x00F6), -10.0);
}

// A value read from the variator goes back as the same value: 0.29 * 100 is
// 28.999999999999996 in binary, and plain truncation would send 28.
TEST(MapModel, EveryDeviceValueSurvivesReadThenWrite) {
    for (int v = -32768; v <= 32767; ++v) {
        const auto value = static_cast<std::int16_t>(v);
        ASSERT_EQ(EncodeMapValue(MapKind::LPG, DecodeMapValue(MapKind::LPG, value)), value) << v;
    }
    for (int v = -128; v <= 127; ++v) {
        const auto value = static_cast<std::int16_t>(v);
        ASSERT_EQ(EncodeMapValue(MapKind::LPGLoadDependence, DecodeMapValue(MapKind::LPGLoadDependence, value)),
                  value)
            << v;
    }
    // Chart steps of 0.1 from 0 land on whole hundredths too.
    double y = 0;
    for (int i = 1; i <= 300; ++i) {
        y += 0.1;
        ASSERT_EQ(EncodeMapValue(MapKind::Petrol, y), i * 10) << i;
    }
}

TEST(MapModel, ShiftChecks) {
    struct Case {
        double largest_or_smallest;
        double step;
        bool up, allowed;
    } cases[] = {
        {-50, 100.9, true, true},   // all negative: 0 is the largest
        {99.9, 1.0, true, true},    // 99 + 1 < 101
        {100.0, 1.0, true, false},  // 101 is not below 101
        {100.9, 0.1, true, true},   // truncates to 100
        {101.0, 0.1, true, false},
        {-99.5, 1.0, false, true},  // -99 - 1 > -101
        {-100.0, 1.0, false, false},
        {50, 100.9, false, true},   // all positive: 0 is the smallest
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.largest_or_smallest) + (c.up ? " up " : " down ") + std::to_string(c.step));
        TimingMap m = MapOf(c.up ? -3 : 3);
        m.y[41] = c.largest_or_smallest;
        EXPECT_EQ(c.up ? CanShiftMapUp(m, c.step) : CanShiftMapDown(m, c.step), c.allowed);
    }
    // Values beyond the 32-bit range saturate instead of wrapping round.
    EXPECT_FALSE(CanShiftMapUp(MapOf(1e12), 1.0));
    EXPECT_FALSE(CanShiftMapDown(MapOf(-1e12), 1.0));
    EXPECT_FALSE(CanShiftMapUp(MapOf(std::numeric_limits<double>::infinity()), 1.0));
}

}  // namespace
}  // namespace tovrel::test
