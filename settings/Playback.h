#pragma once
// Playing a recording back: which of its passes are due at a moment of the
// wall clock, at a speed from a quarter to eight times the recorded pace,
// with pause and single steps. The passes it hands out go the same way as
// live ones, so the maps, grids and dashboard move as they did in the car.
#include <cstddef>
#include <utility>

#include "Recording.h"

namespace tovrel {

class Playback {
public:
    static constexpr double kSlowest = 0.25, kFastest = 8.0;

    // `recording` must outlive the playback.
    explicit Playback(const Recording& recording) : recording_(recording) {}

    // Clamped to kSlowest..kFastest; the position is kept.
    void SetSpeed(double speed, double now);
    double Speed() const { return speed_; }
    // Times in seconds of any steady clock.
    void Play(double now);
    void Pause(double now);
    bool Playing() const { return playing_; }
    // The passes that became due since the last call: indices [first, second).
    std::pair<std::size_t, std::size_t> Advance(double now);
    // While paused: the next (+1) or previous (-1) pass, which the caller
    // shows; nothing at either end.
    std::optional<std::size_t> Step(int direction);
    // Passes shown so far (the next one due is at this index).
    std::size_t Position() const { return next_; }
    bool Finished() const { return next_ >= recording_.passes.size(); }
    // The recording's time (ms) the playback has reached.
    double RecordingTime(double now) const;

private:
    const Recording& recording_;
    double speed_ = 1.0;
    bool playing_ = false;
    double started_at_ = 0;      // wall time of the last Play or speed change
    double started_from_ = 0;    // recording time (ms) then
    std::size_t next_ = 0;
};

}  // namespace tovrel
