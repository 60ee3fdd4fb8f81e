#pragma once
// The four ignition-advance maps held in memory, their device encodings, the
// two fixed fillings and the whole-map range checks.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovrel {

inline constexpr int MapPointCount = 80;

// A map is selected by one of four literal words, compared exactly.
using MapKind = std::string_view;
namespace map_kind {
inline constexpr MapKind LPG = "LPG";
inline constexpr MapKind Petrol = "Petrol";
inline constexpr MapKind LPGLoadDependence = "LPGLoadDependence";
inline constexpr MapKind PetrolLoadDependence = "PetrolLoadDependence";
}  // namespace map_kind
// In the order every whole-configuration procedure and the file use.
inline constexpr std::array<MapKind, 4> kMapKinds = {map_kind::LPG, map_kind::Petrol, map_kind::LPGLoadDependence,
                                                     map_kind::PetrolLoadDependence};

// 0..3 in the order of kMapKinds; nothing for a word that names no map.
std::optional<int> MapKindIndex(MapKind kind);
// "LPG" and "Petrol" give advance angles over engine speed; the other two
// give throttle percentages over pedal position.
bool IsAdvanceMap(MapKind kind);

// One map: x values (rpm or pedal position) and y values (degrees or percent).
struct TimingMap {
    std::array<double, MapPointCount> x{};
    std::array<double, MapPointCount> y{};
    friend bool operator==(const TimingMap&, const TimingMap&) = default;
};

struct TimingMaps {
    TimingMap LPG, Petrol, LPGLoadDependence, PetrolLoadDependence;

    // Null for a word that names no map.
    TimingMap* Find(MapKind kind);
    const TimingMap* Find(MapKind kind) const;
    TimingMap& operator[](int index);  // 0..3 in the order of kMapKinds
    const TimingMap& operator[](int index) const;
    friend bool operator==(const TimingMaps&, const TimingMaps&) = default;
};

// x values from the kind's axis, y = 0.
void InitTimingMaps(TimingMaps& maps);
// The data template: LPG 9 degrees, Petrol 2 degrees, both throttle maps 100 %.
void FillMapTemplate(TimingMaps& maps);
// The not-yet-read markers: advance maps 1000, throttle maps -120.
void ResetMapsToUnread(TimingMaps& maps);
// Whether y is the kind's not-yet-read marker.
bool IsUnreadMarker(MapKind kind, double y);
double UnreadMarker(MapKind kind);

// Whole-map shifts stay strictly inside -101..101 (see the .cpp).
bool CanShiftMapUp(const TimingMap& map, double step);
bool CanShiftMapDown(const TimingMap& map, double step);

// The 16-bit value field of a map point. Advance maps travel in hundredths of
// a degree, throttle maps in whole percent, both truncated toward zero and
// cut to their low 16 bits; a throttle reply counts by its low byte only.
std::int16_t EncodeMapValue(MapKind kind, double y);
double DecodeMapValue(MapKind kind, std::int16_t value);

}  // namespace tovrel
