#include "Calculations.h"

#include <cmath>
#include <limits>

namespace tovrel {

namespace {

constexpr double kAdvanceTemplate[2] = {9.0, 2.0};  // LPG, Petrol
constexpr double kThrottleTemplate = 100.0;
constexpr double kAdvanceUnread = 1000.0;
constexpr double kThrottleUnread = -120.0;

void SetAxes(TimingMaps& maps) {
    for (int i = 0; i < MapPointCount; ++i) {
        const auto p = static_cast<std::size_t>(i);
        maps.LPG.x[p] = maps.Petrol.x[p] = 100.0 * i;
        maps.LPGLoadDependence.x[p] = maps.PetrolLoadDependence.x[p] = i;
    }
}

void Fill(TimingMaps& maps, double lpg, double petrol, double throttle) {
    SetAxes(maps);
    maps.LPG.y.fill(lpg);
    maps.Petrol.y.fill(petrol);
    maps.LPGLoadDependence.y.fill(throttle);
    maps.PetrolLoadDependence.y.fill(throttle);
}

// y truncated toward zero as a 32-bit integer; values beyond its range
// saturate instead of overflowing.
std::int32_t Truncate32(double y) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (y <= lo) return std::numeric_limits<std::int32_t>::min();
    if (y >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(y);
}

// A device unit count truncated toward zero, as its low 16 bits. A product
// such as 0.29 * 100 lands a hair below the whole number it stands for
// (28.999999999999996); counting it as 28 would make every read-then-write
// change such points, so a product within rounding noise of a whole number
// counts as that number. Anything else is truncated.
std::int16_t UnitsLow16(double units) {
    if (!std::isfinite(units)) return 0;
    const double nearest = std::round(units);
    double whole = std::fabs(units - nearest) <= 1e-10 * std::fmax(1.0, std::fabs(units)) ? nearest : std::trunc(units);
    double low = std::fmod(whole, 65536.0);  // exact, keeps the sign of `whole`
    if (low < 0) low += 65536.0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low));
}

}  // namespace

std::string_view MapKindName(MapKind kind) {
    switch (kind) {
        case MapKind::LPG: return "LPG";
        case MapKind::Petrol: return "Petrol";
        case MapKind::LPGLoadDependence: return "LPGLoadDependence";
        case MapKind::PetrolLoadDependence: return "PetrolLoadDependence";
    }
    return {};
}

std::optional<MapKind> ParseMapKind(std::string_view word) {
    for (MapKind kind : kMapKinds)
        if (MapKindName(kind) == word) return kind;
    return std::nullopt;
}

TimingMap& TimingMaps::operator[](int index) {
    switch (index) {
        case 0: return LPG;
        case 1: return Petrol;
        case 2: return LPGLoadDependence;
        default: return PetrolLoadDependence;
    }
}
const TimingMap& TimingMaps::operator[](int index) const {
    return const_cast<TimingMaps&>(*this)[index];
}

void InitTimingMaps(TimingMaps& maps) { Fill(maps, 0.0, 0.0, 0.0); }
void FillMapTemplate(TimingMaps& maps) { Fill(maps, kAdvanceTemplate[0], kAdvanceTemplate[1], kThrottleTemplate); }
void ResetMapsToUnread(TimingMaps& maps) { Fill(maps, kAdvanceUnread, kAdvanceUnread, kThrottleUnread); }
double UnreadMarker(MapKind kind) { return IsAdvanceMap(kind) ? kAdvanceUnread : kThrottleUnread; }
bool IsUnreadMarker(MapKind kind, double y) { return y == UnreadMarker(kind); }

// m is the largest value truncated toward zero, but never below 0; the bound
// is 101 so that whole steps from whole values end at 100.
bool CanShiftMapUp(const TimingMap& map, double step) {
    std::int32_t m = 0;
    for (double y : map.y)
        if (m < y) m = Truncate32(y);
    return m + step < 101;
}

bool CanShiftMapDown(const TimingMap& map, double step) {
    std::int32_t m = 0;
    for (double y : map.y)
        if (m > y) m = Truncate32(y);
    return m - step > -101;
}

std::int16_t EncodeMapValue(MapKind kind, double y) {
    return UnitsLow16(IsAdvanceMap(kind) ? y * 100.0 : y);
}

double DecodeMapValue(MapKind kind, std::int16_t value) {
    if (IsAdvanceMap(kind)) return value / 100.0;
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF));
}

}  // namespace tovrel
