#pragma once
// Two configurations side by side: the four maps point by point, the start
// timeout and, when both sides know them, the two throttle sensor points.
// Without a toolkit; the command line's diff and the window's compare both
// use it.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Calculations.h"
#include "ConfigFile.h"

namespace tovrel {

// A whole configuration as a file or the variator holds it. A configuration
// file holds no throttle sensor points; a device read and a restore point do.
struct Configuration {
    std::array<std::array<double, MapPointCount>, 4> y{};  // in the order of kMapKinds
    std::optional<std::string> timeout;                    // the start timeout's text, seconds
    std::optional<int> tps_min, tps_max;                   // throttle sensor ADC at minimum and maximum load

    const std::array<double, MapPointCount>& Map(MapKind kind) const {
        return y[static_cast<std::size_t>(MapKindIndex(kind))];
    }
    friend bool operator==(const Configuration&, const Configuration&) = default;
};

Configuration FromContent(const ConfigurationContent& content);
ConfigurationContent ToContent(const Configuration& configuration);

// Values closer than this are the same value: a file keeps what the variator
// holds to far better than a hundredth of a degree.
inline constexpr double kSameValue = 1e-6;

struct PointDifference {
    int point = 0;  // 0 .. MapPointCount - 1
    double ours = 0, theirs = 0;
    double Delta() const { return theirs - ours; }
};

struct MapDifference {
    MapKind kind = MapKind::LPG;
    std::vector<PointDifference> points;  // in point order
    double largest = 0;                   // the largest |theirs - ours| over the differing points
    double mean = 0;                      // the mean |theirs - ours| over the differing points
    bool Equal() const { return points.empty(); }
};

enum class ConfigParameter { StartTimeout, TpsMinimum, TpsMaximum };

struct ParameterDifference {
    ConfigParameter which = ConfigParameter::StartTimeout;
    std::optional<std::string> ours, theirs;  // nothing: that side does not hold it
};

struct ConfigurationDiff {
    std::array<MapDifference, 4> maps{};  // in the order of kMapKinds
    std::vector<ParameterDifference> parameters;
    const MapDifference& Map(MapKind kind) const { return maps[static_cast<std::size_t>(MapKindIndex(kind))]; }
    int DifferingPoints() const;
    bool Equal() const { return DifferingPoints() == 0 && parameters.empty(); }
};

// `ours` against `theirs`. The start timeout differs when one side holds it
// and the other does not, or when both hold different numbers (texts that
// are no integers are compared as texts). The throttle points are compared
// only when both sides hold them.
ConfigurationDiff CompareConfigurations(const Configuration& ours, const Configuration& theirs);

// What the difference means for one map in the window: the value, the
// difference theirs - ours, or that difference in percent of ours (nothing
// where ours is 0 and theirs is not).
enum class DifferenceView { Value, Difference, Percent };
DifferenceView NextDifferenceView(DifferenceView view);
std::optional<double> ShownDifference(DifferenceView view, double ours, double theirs);

// Takes the other side's values: one map, or one parameter (a parameter the
// other side does not hold stays as it is).
void TakeTheirs(Configuration& ours, const Configuration& theirs, MapKind kind);
void TakeTheirs(Configuration& ours, const Configuration& theirs, ConfigParameter which);

}  // namespace tovrel
