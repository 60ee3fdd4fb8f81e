#include "MapHistory.h"

#include <algorithm>

namespace tovrel {

MapHistory::MapHistory(MapDocument& document)
    : document_(document), id_(document.AddListener([this](const MapChange& c) { Changed(c); })) {
    for (int m = 0; m < 4; ++m) shadow_[static_cast<std::size_t>(m)] = document.Maps()[m].y;
}

MapHistory::~MapHistory() { document_.RemoveListener(id_); }

void MapHistory::Changed(const MapChange& change) {
    const int m = MapKindIndex(change.kind);
    if (m < 0 || m >= 4) return;
    auto& shadow = shadow_[static_cast<std::size_t>(m)];
    const int from = change.range.first, to = change.range.first + change.range.count;
    if (change.cause != MapEditCause::Undo) {
        auto& p = pending_[static_cast<std::size_t>(m)];
        if (!p.touched) {
            p.touched = true;
            p.before = shadow;
            p.low = from;
            p.high = to - 1;
        } else {
            p.low = std::min(p.low, from);
            p.high = std::max(p.high, to - 1);
        }
        if (change.cause != MapEditCause::Replace || !cause_) cause_ = change.cause;
    }
    for (int i = from; i < to; ++i) shadow[static_cast<std::size_t>(i)] = document_.Y(change.kind, i);
}

std::optional<MapStep> MapHistory::Take() {
    MapStep step;
    step.cause = cause_.value_or(MapEditCause::Replace);
    for (int m = 0; m < 4; ++m) {
        auto& p = pending_[static_cast<std::size_t>(m)];
        if (!p.touched) continue;
        p.touched = false;
        const auto& now = shadow_[static_cast<std::size_t>(m)];
        // Only the run that really differs: a read that brings back what
        // was there makes no step.
        int low = p.high + 1, high = p.low - 1;
        for (int i = p.low; i <= p.high; ++i) {
            const auto k = static_cast<std::size_t>(i);
            // Compared bitwise-equal as numbers; NaN never stays in a map.
            if (p.before[k] != now[k]) {
                low = std::min(low, i);
                high = std::max(high, i);
            }
        }
        if (low > high) continue;
        MapStepPart part;
        part.kind = kMapKinds[static_cast<std::size_t>(m)];
        part.first = low;
        part.before.assign(p.before.begin() + low, p.before.begin() + high + 1);
        part.after.assign(now.begin() + low, now.begin() + high + 1);
        step.parts.push_back(std::move(part));
    }
    cause_.reset();
    if (step.parts.empty()) return std::nullopt;
    return step;
}

void ApplyStep(MapDocument& document, const MapStep& step, bool undo) {
    for (const auto& part : step.parts) {
        const auto& values = undo ? part.before : part.after;
        document.Apply(part.kind, PointRange{part.first, static_cast<int>(values.size())}, MapEditCause::Undo,
                       [&values](std::span<double> y) { std::copy(values.begin(), values.end(), y.begin()); });
    }
}

}  // namespace tovrel
