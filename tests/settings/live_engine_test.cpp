// The simulated engine: its log state machine, scripting and seeded noise.
#include <gtest/gtest.h>

#include "Engine.h"

namespace tovrel::sim {
namespace {

std::uint16_t LogBits(Engine& e) { return *e.Read(130, 0) & 0x1800; }

TEST(Engine, LogIsRecordedAnnouncedAndHandedBackAfterItsLastEntryIsRead) {
    EngineOptions o;
    o.frozen = true;
    o.log_entry_ms = 2;
    Engine e(o);
    int announced = 0;
    e.OnLogFinished([&](int n, const Engine::LogBufferWords&) { announced = n; });
    EXPECT_EQ(LogBits(e), 0x0800);  // no log
    EXPECT_TRUE(e.Write(143, 0, 1000));
    EXPECT_EQ(LogBits(e), 0x1000);  // recording
    e.Advance(std::chrono::milliseconds(300));
    EXPECT_EQ(LogBits(e), 0x1000);
    e.Advance(std::chrono::milliseconds(300));
    EXPECT_EQ(LogBits(e), 0);  // ready
    EXPECT_EQ(announced, 1);
    const auto words = e.LogBuffer();
    EXPECT_EQ(*e.Read(143, 17), words[17].t);
    EXPECT_EQ(*e.Read(144, 17), words[17].flags);
    EXPECT_EQ(LogBits(e), 0);
    e.Read(144, 255);
    EXPECT_EQ(LogBits(e), 0x0800);
    EXPECT_TRUE(e.Write(143, 0, 5));  // taken, starts nothing
    EXPECT_EQ(e.LogsStarted(), 1);
    EXPECT_FALSE(e.Write(142, 0, 1000));
}

TEST(Engine, StartsLogsOnItsOwnOnceThePreviousOneWasRead) {
    EngineOptions o;
    o.frozen = true;
    o.log_every_s = 1;
    o.log_entry_ms = 1;
    Engine e(o);
    e.Advance(std::chrono::milliseconds(1500));
    EXPECT_EQ(e.LogsFinished(), 1);
    e.Advance(std::chrono::seconds(5));
    EXPECT_EQ(e.LogsStarted(), 1);  // the unread log is kept
    e.Read(144, 255);
    e.Advance(std::chrono::milliseconds(1300));
    EXPECT_EQ(e.LogsFinished(), 2);
}

TEST(Engine, SameSeedSameValuesAndScriptsComeFirst) {
    EngineOptions o;
    o.frozen = true;
    o.seed = 42;
    Engine a(o), b(o);
    for (int i = 0; i < 50; ++i) {
        a.Advance(std::chrono::milliseconds(37));
        b.Advance(std::chrono::milliseconds(37));
        for (std::uint8_t addr : {128, 129, 130, 131, 132, 133, 134, 135, 140, 142}) ASSERT_EQ(a.Read(addr, 0), b.Read(addr, 0));
    }
    EXPECT_FALSE(a.Read(145, 0));  // device options are not the engine's
    a.Script(129, {1, 2});
    a.Hold(129, 9);
    EXPECT_EQ(a.Read(129, 0), 1);
    EXPECT_EQ(a.Read(129, 0), 2);
    EXPECT_EQ(a.Read(129, 0), 9);
    a.Release(129);
    EXPECT_NE(a.Read(129, 0), 9);
}

TEST(Engine, PedalSweepsTheSensorBetweenItsEnds) {
    EngineOptions o;
    o.frozen = true;
    o.tps_noise = 0;
    Engine e(o);
    for (int i = 0; i < 60; ++i) {
        e.Read(129, 0);
        e.Advance(std::chrono::milliseconds(100));
    }
    auto range = e.ServedTpsRange();
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, 450);
    EXPECT_EQ(range->second, 3900);
}

}  // namespace
}  // namespace tovrel::sim
