#include "MapOperations.h"

#include <algorithm>
#include <cmath>

#include "MapControls.h"

namespace tovrel {

double MapMaximum(MapKind kind) {
    const auto* c = FindMapControls(kind);
    return c ? c->grid_limit : 0;
}

double MapMinimum(MapKind kind) { return -MapMaximum(kind); }

double RoundToDevice(MapKind kind, double y) {
    return IsAdvanceMap(kind) ? std::round(y * 100.0) / 100.0 : std::round(y);
}

OperationResult ComputeOperation(MapKind kind, const TimingMap& map, std::span<const int> points,
                                 MapOperation operation, double argument,
                                 const std::array<double, MapPointCount>* last_read) {
    OperationResult r;
    for (int p : points)
        if (p >= 0 && p < MapPointCount) r.points.push_back(p);
    std::sort(r.points.begin(), r.points.end());
    r.points.erase(std::unique(r.points.begin(), r.points.end()), r.points.end());
    if (r.points.empty() || !FindMapControls(kind)) {
        r.refused = true;
        return r;
    }
    if (operation == MapOperation::Revert && !last_read) {
        r.refused = true;
        return r;
    }
    const auto y = [&map](int i) { return map.y[static_cast<std::size_t>(i)]; };
    const int first = r.points.front(), last = r.points.back();
    const double lo = MapMinimum(kind), hi = MapMaximum(kind);
    for (int p : r.points) {
        double v = y(p);
        switch (operation) {
            case MapOperation::Set: v = argument; break;
            case MapOperation::Step: v = y(p) + argument; break;
            case MapOperation::Scale: v = y(p) * argument / 100.0; break;
            case MapOperation::Interpolate:
                if (last > first) v = y(first) + (y(last) - y(first)) * (p - first) / (last - first);
                break;
            case MapOperation::Smooth:
                if (p != first && p != last && p > 0 && p < MapPointCount - 1)
                    v = (y(p - 1) + 2 * y(p) + y(p + 1)) / 4.0;
                break;
            case MapOperation::Revert: v = (*last_read)[static_cast<std::size_t>(p)]; break;
        }
        v = RoundToDevice(kind, v);
        // A value that is not a number is limited as well: it never leaves
        // an operation.
        if (!(v >= lo)) {
            v = lo;
            r.limited.push_back(p);
        } else if (v > hi) {
            v = hi;
            r.limited.push_back(p);
        }
        r.values.push_back(v);
    }
    return r;
}

ApplyResult ApplyPointValues(MapDocument& document, MapKind kind, std::span<const int> points,
                             std::span<const double> values, MapEditCause cause) {
    if (points.empty() || points.size() != values.size()) return ApplyResult::Unchanged;
    const auto [lo, hi] = std::minmax_element(points.begin(), points.end());
    const int first = *lo;
    return document.Apply(kind, PointRange{first, *hi - first + 1}, cause, [&](std::span<double> y) {
        for (std::size_t i = 0; i < points.size(); ++i) y[static_cast<std::size_t>(points[i] - first)] = values[i];
    });
}

}  // namespace tovrel
