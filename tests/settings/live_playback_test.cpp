// Playing a recording back at other speeds, paused and stepped.
#include <gtest/gtest.h>

#include <vector>

#include "Playback.h"

using namespace tovrel;

namespace {

// Eleven passes, 100 ms apart, the last one at 1 s.
Recording TenthsOfASecond() {
    Recording r;
    for (int i = 0; i <= 10; ++i) {
        RecordedPass p;
        p.ms = i * 100;
        p.snapshot.pass = i;
        p.snapshot.engine_speed = static_cast<std::uint16_t>(1000 + 100 * i);
        r.passes.push_back(p);
    }
    return r;
}

// Every pass handed out while playing from `start` in frames of `frame` s.
std::vector<std::size_t> PlayThrough(Playback& playback, double start, double frame, int frames) {
    std::vector<std::size_t> shown;
    playback.Play(start);
    for (int f = 0; f <= frames; ++f) {
        const auto [first, last] = playback.Advance(start + f * frame);
        for (auto i = first; i < last; ++i) shown.push_back(i);
    }
    return shown;
}

}  // namespace

TEST(PlaybackTest, EverySpeedShowsEveryPassOnceInOrderAndOnTime) {
    const Recording r = TenthsOfASecond();
    std::vector<std::size_t> all(r.passes.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    for (double speed : {0.25, 1.0, 8.0}) {
        SCOPED_TRACE(speed);
        Playback playback(r);
        playback.SetSpeed(speed, 0);
        // 60 frames a second, long enough for the slowest speed.
        EXPECT_EQ(PlayThrough(playback, 5.0, 1.0 / 60, 60 * 5), all);
        EXPECT_TRUE(playback.Finished());
        EXPECT_FALSE(playback.Playing());
    }
    // On time: at 8x the recording's second takes an eighth of a second.
    Playback fast(r);
    fast.SetSpeed(8, 0);
    fast.Play(0);
    EXPECT_EQ(fast.Advance(0.0624).second, 5u);   // passes at 0..400 ms
    EXPECT_EQ(fast.Advance(0.125).second, 11u);
    // Speeds outside the range are held to it.
    fast.SetSpeed(100, 1);
    EXPECT_EQ(fast.Speed(), Playback::kFastest);
    fast.SetSpeed(0, 1);
    EXPECT_EQ(fast.Speed(), Playback::kSlowest);
}

TEST(PlaybackTest, PauseStepAndSpeedChangeKeepThePosition) {
    const Recording r = TenthsOfASecond();
    Playback playback(r);
    playback.Play(10.0);
    EXPECT_EQ(playback.Advance(10.25), std::make_pair(std::size_t{0}, std::size_t{3}));  // 0, 100, 200 ms
    // Twice as fast from 300 ms on: 100 ms later the recording is at 500 ms.
    playback.Advance(10.3);
    playback.SetSpeed(2, 10.3);
    EXPECT_DOUBLE_EQ(playback.RecordingTime(10.4), 500);
    EXPECT_EQ(playback.Advance(10.4).second, 6u);

    playback.Pause(10.4);
    EXPECT_EQ(playback.Advance(20.0), std::make_pair(std::size_t{6}, std::size_t{6}));
    EXPECT_EQ(playback.Step(+1), 6u);
    EXPECT_EQ(playback.Step(+1), 7u);
    EXPECT_EQ(playback.Step(-1), 6u);
    EXPECT_EQ(playback.Position(), 7u);
    // Playing on continues with the pass after the one shown.
    playback.Play(30.0);
    const auto [first, last] = playback.Advance(30.0 + 0.045);  // 90 ms of recording at 2x
    EXPECT_EQ(first, 7u);
    EXPECT_EQ(last, 8u);
    EXPECT_EQ(playback.Step(+1), std::nullopt);  // no steps while playing

    // Steps stop at the ends.
    Playback other(r);
    EXPECT_EQ(other.Step(-1), std::nullopt);
    for (std::size_t i = 0; i < r.passes.size(); ++i) EXPECT_EQ(other.Step(+1), i);
    EXPECT_EQ(other.Step(+1), std::nullopt);
    // Play at the end starts over.
    other.Play(0);
    EXPECT_EQ(other.Advance(0).second, 1u);
}
