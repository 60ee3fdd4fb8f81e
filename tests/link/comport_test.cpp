// The POSIX serial port over real pseudo-terminals.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Crc.h"
#include "Line.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

using namespace std::chrono;

class ComPortTest : public PtyPortTest {};

TEST_F(ComPortTest, ClosedPortRefusesEverythingButClose) {
    std::uint8_t b[4] = {};
    EXPECT_FALSE(port.Read(b, 1));
    EXPECT_FALSE(port.Write(b, 1));
    EXPECT_FALSE(port.Purge());
    EXPECT_FALSE(port.SetTimeout(10));
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.Open(dir / "COM9", kBaudRate, 100));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Open(dir / "COM1", kBaudRate, 100));  // a second Open tries again
}

TEST_F(ComPortTest, OpenIsExclusiveAndKeepsTheOpenConnection) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 200));
    EXPECT_FALSE(port.Open(dir / "COM1", kBaudRate, 200));
    ComPort other;
    EXPECT_FALSE(other.Open(dir / "COM1", kBaudRate, 200));

    std::uint8_t out[3] = {1, 2, 3};
    ASSERT_TRUE(port.Write(out, 3));
    auto got = peer->Receive(milliseconds(500));
    ASSERT_EQ(got.size(), 3u);

    port.Close();
    EXPECT_TRUE(other.Open(dir / "COM1", kBaudRate, 200));
}

TEST_F(ComPortTest, ShortReadKeepsPartialDataAtTheStart) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 100));
    peer->Send({0x11, 0x22, 0x33});
    std::uint8_t buf[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    auto start = steady_clock::now();
    EXPECT_FALSE(port.Read(buf, 6));
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(buf[0], 0x11);
    EXPECT_EQ(buf[1], 0x22);
    EXPECT_EQ(buf[2], 0x33);
    EXPECT_EQ(buf[3], 0xEE);
    EXPECT_EQ(buf[5], 0xEE);
}

TEST_F(ComPortTest, TimeoutsFollowIntervalAndTotalRules) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 1));
    std::uint8_t b = 0;
    auto start = steady_clock::now();
    EXPECT_FALSE(port.Read(&b, 1));  // silent line, 1 + 1 ms
    EXPECT_LT(ElapsedMs(start), 200);

    ASSERT_TRUE(port.SetTimeout(300));
    start = steady_clock::now();
    EXPECT_FALSE(port.Read(&b, 1));  // total timeout 1 + 300 ms
    EXPECT_GE(ElapsedMs(start), 300);

    // Bytes that keep coming within the interval are all collected (the
    // total limit of 5 + 1000 ms leaves room on a busy machine).
    ASSERT_TRUE(port.SetTimeout(1000));
    std::thread sender([&] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(milliseconds(50));
            peer->Send({static_cast<std::uint8_t>(i)});
        }
    });
    std::uint8_t five[5] = {};
    EXPECT_TRUE(port.Read(five, 5));
    sender.join();
    EXPECT_EQ(five[4], 4);
}

TEST_F(ComPortTest, PurgeDropsWaitingInput) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 50));
    peer->Send({1, 2, 3});
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_TRUE(port.Purge());
    std::uint8_t b = 0;
    EXPECT_FALSE(port.Read(&b, 1));
}

TEST_F(ComPortTest, VanishedDeviceFailsPromptly) {
    ASSERT_TRUE(port.Open(dir / "COM1", kBaudRate, 2000));
    peer.reset();  // the device end disappears, like an unplugged adapter
    std::uint8_t b[7] = {};
    auto start = steady_clock::now();
    EXPECT_FALSE(port.Read(b, 7));
    EXPECT_LT(ElapsedMs(start), 1500);
    EXPECT_TRUE(port.Close());
}

}  // namespace
}  // namespace tovrel::test
