#include "ConfigurationCompare.h"

#include <cmath>

#include "NumberText.h"

namespace tovrel {

Configuration FromContent(const ConfigurationContent& content) {
    Configuration c;
    c.y = content.y;
    c.timeout = content.timeout;
    return c;
}

ConfigurationContent ToContent(const Configuration& configuration) {
    ConfigurationContent content;
    content.y = configuration.y;
    content.timeout = configuration.timeout;
    return content;
}

int ConfigurationDiff::DifferingPoints() const {
    int n = 0;
    for (const auto& m : maps) n += static_cast<int>(m.points.size());
    return n;
}

namespace {

bool SameValue(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::fabs(a - b) <= kSameValue;
}

bool SameTimeout(const std::string& a, const std::string& b) {
    const auto x = ParseInteger(a), y = ParseInteger(b);
    if (x && y) return *x == *y;
    return a == b;
}

std::optional<std::string> Text(const std::optional<int>& v) {
    if (!v) return std::nullopt;
    return std::to_string(*v);
}

}  // namespace

ConfigurationDiff CompareConfigurations(const Configuration& ours, const Configuration& theirs) {
    ConfigurationDiff diff;
    for (MapKind kind : kMapKinds) {
        auto& d = diff.maps[static_cast<std::size_t>(MapKindIndex(kind))];
        d.kind = kind;
        const auto& a = ours.Map(kind);
        const auto& b = theirs.Map(kind);
        double sum = 0;
        for (int i = 0; i < MapPointCount; ++i) {
            const double x = a[static_cast<std::size_t>(i)], y = b[static_cast<std::size_t>(i)];
            if (SameValue(x, y)) continue;
            d.points.push_back({i, x, y});
            const double delta = std::fabs(y - x);
            sum += delta;
            if (!(delta <= d.largest)) d.largest = delta;  // NaN wins: it is shown, not hidden
        }
        if (!d.points.empty()) d.mean = sum / static_cast<double>(d.points.size());
    }
    if (ours.timeout.has_value() != theirs.timeout.has_value() ||
        (ours.timeout && !SameTimeout(*ours.timeout, *theirs.timeout)))
        diff.parameters.push_back({ConfigParameter::StartTimeout, ours.timeout, theirs.timeout});
    if (ours.tps_min && theirs.tps_min && *ours.tps_min != *theirs.tps_min)
        diff.parameters.push_back({ConfigParameter::TpsMinimum, Text(ours.tps_min), Text(theirs.tps_min)});
    if (ours.tps_max && theirs.tps_max && *ours.tps_max != *theirs.tps_max)
        diff.parameters.push_back({ConfigParameter::TpsMaximum, Text(ours.tps_max), Text(theirs.tps_max)});
    return diff;
}

DifferenceView NextDifferenceView(DifferenceView view) {
    switch (view) {
        case DifferenceView::Value: return DifferenceView::Difference;
        case DifferenceView::Difference: return DifferenceView::Percent;
        case DifferenceView::Percent: return DifferenceView::Value;
    }
    return DifferenceView::Value;
}

std::optional<double> ShownDifference(DifferenceView view, double ours, double theirs) {
    switch (view) {
        case DifferenceView::Value: return ours;
        case DifferenceView::Difference: return theirs - ours;
        case DifferenceView::Percent:
            if (SameValue(ours, theirs)) return 0.0;
            if (ours == 0) return std::nullopt;
            return (theirs - ours) / std::fabs(ours) * 100.0;
    }
    return std::nullopt;
}

void TakeTheirs(Configuration& ours, const Configuration& theirs, MapKind kind) {
    const auto i = static_cast<std::size_t>(MapKindIndex(kind));
    ours.y[i] = theirs.y[i];
}

void TakeTheirs(Configuration& ours, const Configuration& theirs, ConfigParameter which) {
    switch (which) {
        case ConfigParameter::StartTimeout:
            if (theirs.timeout) ours.timeout = theirs.timeout;
            break;
        case ConfigParameter::TpsMinimum:
            if (theirs.tps_min) ours.tps_min = theirs.tps_min;
            break;
        case ConfigParameter::TpsMaximum:
            if (theirs.tps_max) ours.tps_max = theirs.tps_max;
            break;
    }
}

}  // namespace tovrel
