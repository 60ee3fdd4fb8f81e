#include "MapDocument.h"

#include <algorithm>
#include <cstring>

namespace tovrel {

namespace {

// Bitwise, so that a NaN put over a NaN counts as no change and 0.0 over
// -0.0 as one.
bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

MapDocument::MapDocument() { tovrel::InitTimingMaps(maps_); }

ApplyResult MapDocument::Apply(MapKind kind, PointRange range, MapEditCause cause, const Edit& edit) {
    if (MapKindIndex(kind) < 0 || MapKindIndex(kind) >= static_cast<int>(kMapKinds.size())) return ApplyResult::Refused;
    if (range.first < 0 || range.count <= 0 || range.count > MapPointCount - range.first) return ApplyResult::Refused;
    auto& y = maps_[kind].y;
    const auto first = static_cast<std::size_t>(range.first);
    const auto count = static_cast<std::size_t>(range.count);
    std::array<double, MapPointCount> before{};
    std::copy_n(y.begin() + static_cast<std::ptrdiff_t>(first), count, before.begin());
    edit(std::span<double>(y.data() + first, count));

    int lo = -1, hi = -1;
    for (std::size_t i = 0; i < count; ++i) {
        if (Same(before[i], y[first + i])) continue;
        if (lo < 0) lo = static_cast<int>(i);
        hi = static_cast<int>(i);
    }
    if (lo < 0) return ApplyResult::Unchanged;
    const MapChange change{kind, {range.first + lo, hi - lo + 1}, cause};
    for (const auto& [id, listener] : listeners_) listener(change);
    return ApplyResult::Changed;
}

ApplyResult MapDocument::SetPoint(MapKind kind, int point, double y, MapEditCause cause) {
    return Apply(kind, PointRange::One(point), cause, [y](std::span<double> v) { v[0] = y; });
}

ApplyResult MapDocument::SetMap(MapKind kind, const std::array<double, MapPointCount>& y, MapEditCause cause) {
    return Apply(kind, PointRange::All(), cause, [&y](std::span<double> v) { std::copy(y.begin(), y.end(), v.begin()); });
}

ApplyResult MapDocument::FillMap(MapKind kind, double y, MapEditCause cause) {
    return Apply(kind, PointRange::All(), cause, [y](std::span<double> v) { std::fill(v.begin(), v.end(), y); });
}

void MapDocument::ReplaceAll(const TimingMaps& maps, MapEditCause cause) {
    for (MapKind kind : kMapKinds) SetMap(kind, maps[kind].y, cause);
}

int MapDocument::AddListener(Listener listener) {
    listeners_.emplace_back(next_id_, std::move(listener));
    return next_id_++;
}

void MapDocument::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

namespace {
void FillFrom(MapDocument& document, void (*fill)(TimingMaps&), MapEditCause cause) {
    TimingMaps maps;
    fill(maps);
    document.ReplaceAll(maps, cause);
}
}  // namespace

void InitTimingMaps(MapDocument& document) { FillFrom(document, &tovrel::InitTimingMaps, MapEditCause::Replace); }
void FillMapTemplate(MapDocument& document) { FillFrom(document, &tovrel::FillMapTemplate, MapEditCause::Template); }
void ResetMapsToUnread(MapDocument& document) {
    FillFrom(document, &tovrel::ResetMapsToUnread, MapEditCause::Replace);
}

}  // namespace tovrel
