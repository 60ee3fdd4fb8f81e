// Full timeout sets, and reads that tell a failed call from a short one.
#include <gtest/gtest.h>

#include <chrono>

#include "Crc.h"
#include "Line.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

using namespace std::chrono;

class TimeoutSetTest : public PtyPortTest {};

TEST_F(TimeoutSetTest, TotalAndIntervalLimitsOfASet) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 100));
    std::uint8_t buf[4] = {0xEE, 0xEE, 0xEE, 0xEE};

    // Silent line: 100 ms per byte plus 100 ms, no interval limit.
    ASSERT_TRUE(port.SetTimeouts({0, 100, 100, 0, 0}));
    auto start = steady_clock::now();
    auto r = port.ReadSome(buf, 3);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 0u);
    EXPECT_GE(ElapsedMs(start), 400);

    // Two bytes, then silence: the interval limit ends the read long before
    // the total one, and the call still counts as made.
    ASSERT_TRUE(port.SetTimeouts({150, 1000, 5000, 0, 0}));
    peer->Send({0x34, 0x12});
    start = steady_clock::now();
    r = port.ReadSome(buf, 4);
    EXPECT_LT(ElapsedMs(start), 2000);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(buf[1], 0x12);
    EXPECT_EQ(buf[2], 0xEE);

    // Writes without a limit go through whole.
    const std::uint8_t out[3] = {1, 2, 3};
    r = port.WriteSome(out, 3);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 3u);
    EXPECT_TRUE(port.Drain());
}

TEST_F(TimeoutSetTest, VanishedDeviceIsAFailedCallNotATimeout) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 2000));
    peer.reset();
    std::uint8_t b = 0;
    const auto r = port.ReadSome(&b, 1);
    EXPECT_FALSE(r.ok);
    port.Close();
    EXPECT_FALSE(port.Drain());
    EXPECT_FALSE(port.ReadSome(&b, 1).ok);
    EXPECT_FALSE(port.SetTimeouts({}));
}

}  // namespace
}  // namespace tovrel::test
