#include "Playback.h"

#include <algorithm>

namespace tovrel {

double Playback::RecordingTime(double now) const {
    if (!playing_) return started_from_;
    return started_from_ + (now - started_at_) * 1000.0 * speed_;
}

void Playback::SetSpeed(double speed, double now) {
    started_from_ = RecordingTime(now);
    started_at_ = now;
    speed_ = std::clamp(speed, kSlowest, kFastest);
}

void Playback::Play(double now) {
    if (playing_) return;
    // Starting over after the end, or from a step: from the next pass due.
    if (Finished()) {
        next_ = 0;
        started_from_ = recording_.passes.empty() ? 0 : static_cast<double>(recording_.passes.front().ms);
    } else if (next_ < recording_.passes.size()) {
        started_from_ = std::max(started_from_, static_cast<double>(recording_.passes[next_].ms) - 1e-9);
    }
    started_at_ = now;
    playing_ = true;
}

void Playback::Pause(double now) {
    if (!playing_) return;
    started_from_ = RecordingTime(now);
    playing_ = false;
}

std::pair<std::size_t, std::size_t> Playback::Advance(double now) {
    const std::size_t first = next_;
    if (!playing_) return {first, first};
    const double t = RecordingTime(now);
    const auto& passes = recording_.passes;
    while (next_ < passes.size() && passes[next_].ms <= t) ++next_;
    if (Finished()) Pause(now);
    return {first, next_};
}

std::optional<std::size_t> Playback::Step(int direction) {
    if (playing_) return std::nullopt;
    const auto& passes = recording_.passes;
    if (direction > 0) {
        if (next_ >= passes.size()) return std::nullopt;
        started_from_ = static_cast<double>(passes[next_].ms);
        return next_++;
    }
    // The pass shown last is next_ - 1; the one before it is shown now.
    if (next_ < 2) return std::nullopt;
    --next_;
    started_from_ = static_cast<double>(passes[next_ - 1].ms);
    return next_ - 1;
}

}  // namespace tovrel
