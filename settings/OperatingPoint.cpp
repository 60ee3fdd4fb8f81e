#include "OperatingPoint.h"

#include <algorithm>
#include <cmath>

namespace tovrel {

double MapValueAt(const TimingMap& map, double x) {
    const auto& xs = map.x;
    if (!(x > xs.front())) return map.y.front();  // also a NaN x
    if (x >= xs.back()) return map.y.back();
    // The first point at or beyond x; the one before it lies below x.
    const auto it = std::lower_bound(xs.begin(), xs.end(), x);
    const auto i = static_cast<std::size_t>(it - xs.begin());
    const double x0 = xs[i - 1], x1 = xs[i];
    if (x1 <= x0) return map.y[i];
    const double f = (x - x0) / (x1 - x0);
    return map.y[i - 1] + f * (map.y[i] - map.y[i - 1]);
}

int NearestMapPoint(const TimingMap& map, double x) {
    int best = 0;
    double best_distance = std::abs(map.x[0] - x);
    for (int i = 1; i < MapPointCount; ++i) {
        const double d = std::abs(map.x[static_cast<std::size_t>(i)] - x);
        if (d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}

std::array<MapOperatingPoint, 4> OperatingPoints(const RealtimeSnapshot& s, const TimingMaps& maps) {
    std::array<MapOperatingPoint, 4> points;
    const bool synchronised = s.Synchronisation() == 1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const MapKind kind = kMapKinds[i];
        const TimingMap& map = maps[kind];
        auto& p = points[i];
        p.kind = kind;
        p.x = IsAdvanceMap(kind) ? static_cast<double>(s.engine_speed) : static_cast<double>(s.ThrottleIndex());
        p.map_value = MapValueAt(map, p.x);
        p.nearest = NearestMapPoint(map, p.x);
        p.applied = IsAdvanceMap(kind) ? s.AdvanceDegrees() : static_cast<double>(s.Correction());
        const bool gas_map = kind == MapKind::LPG || kind == MapKind::LPGLoadDependence;
        p.in_use = gas_map == s.Gas();
        p.synchronised = synchronised;
    }
    return points;
}

void OperatingTrail::SetLength(double seconds) {
    seconds_ = std::max(0.0, seconds);
    if (seconds_ == 0) samples_.clear();
}

void OperatingTrail::Add(double t, double x, double y) {
    if (seconds_ <= 0) return;
    samples_.push_back({t, x, y});
    Drop(t);
}

void OperatingTrail::Drop(double now) {
    while (!samples_.empty() && now - samples_.front().t > seconds_) samples_.pop_front();
}

std::vector<OperatingTrail::Point> OperatingTrail::Points(double now) const {
    std::vector<Point> points;
    if (seconds_ <= 0) return points;
    points.reserve(samples_.size());
    for (const auto& s : samples_) {
        const double age = now - s.t;
        if (age > seconds_) continue;
        points.push_back({s.x, s.y, std::clamp(1.0 - age / seconds_, 0.0, 1.0)});
    }
    return points;
}

}  // namespace tovrel
