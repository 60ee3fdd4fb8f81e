#pragma once
// The four ignition-advance maps held in memory, their device encodings, the
// two fixed fillings and the whole-map range checks.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovrel {

inline constexpr int MapPointCount = 80;

// The four maps. Their words ("LPG", "Petrol", "LPGLoadDependence",
// "PetrolLoadDependence") are the maps' names in texts and in the XML file.
enum class MapKind : std::uint8_t { LPG, Petrol, LPGLoadDependence, PetrolLoadDependence };
// In the order every whole-configuration procedure and the file use.
inline constexpr std::array<MapKind, 4> kMapKinds = {MapKind::LPG, MapKind::Petrol, MapKind::LPGLoadDependence,
                                                     MapKind::PetrolLoadDependence};

// The kind's word.
std::string_view MapKindName(MapKind kind);
// The kind a word names, compared exactly (case-sensitive); nothing for a
// word that names no map.
std::optional<MapKind> ParseMapKind(std::string_view word);
// 0..3 in the order of kMapKinds.
constexpr int MapKindIndex(MapKind kind) { return static_cast<int>(kind); }
// "LPG" and "Petrol" give advance angles over engine speed; the other two
// give throttle percentages over pedal position.
constexpr bool IsAdvanceMap(MapKind kind) { return kind == MapKind::LPG || kind == MapKind::Petrol; }

// One map: x values (rpm or pedal position) and y values (degrees or percent).
struct TimingMap {
    std::array<double, MapPointCount> x{};
    std::array<double, MapPointCount> y{};
    friend bool operator==(const TimingMap&, const TimingMap&) = default;
};

struct TimingMaps {
    TimingMap LPG, Petrol, LPGLoadDependence, PetrolLoadDependence;

    TimingMap& operator[](MapKind kind) { return (*this)[MapKindIndex(kind)]; }
    const TimingMap& operator[](MapKind kind) const { return (*this)[MapKindIndex(kind)]; }
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
