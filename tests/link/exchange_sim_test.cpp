// The exchange against the simulated variator on a pseudo-terminal: late
// replies, a busy port, stop requests, a silent device.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Dataextractor.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

class SimExchangeTest : public SimFixture {};

// A reply that starts after the first byte's timeout used to be read one byte
// off, into bytes 1 to 6, where its check could pass: a point holding 2.5
// degrees (0x00FA at index 5) came back as 0x0500. The late bytes now belong
// to nobody: the retry's drain throws them away and the retry is answered.
TEST_F(SimExchangeTest, LateReplyIsNeverReadShifted) {
    auto& sim = AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    auto c = sim.Working();
    c.maps[0][5] = 250;
    c.maps[0][6] = 260;
    sim.SetWorking(c);
    sim.InjectFault(sim::Fault::LateReply, 1);
    EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 5, 100, true, 2), 250);
    EXPECT_TRUE(link->LastExchangeOk());
    // Nothing of it is left for the next request either.
    EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 6, 100, true, 2), 260);
    EXPECT_TRUE(link->LastExchangeOk());
    EXPECT_TRUE(screen.messages.empty());
}

// A port that another program holds is reported as busy, not as a plain
// failure to connect.
TEST_F(SimExchangeTest, BusyPortSaysSo) {
    AddSim(1);
    ComPort other;
    ASSERT_TRUE(other.Open(dir / "COM1", kBaudRate, 2000));
    EXPECT_EQ(link->Connect(1, true), 0);
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kPortBusyMessage))});
    other.Close();
    EXPECT_EQ(link->Connect(1, true), 1);
}

// The same port met during the start's scan is named in the message, not
// left to look like a port without a variator.
TEST_F(SimExchangeTest, BusyPortMetDuringTheScanIsNamed) {
    AddSim(3);
    ComPort other;
    ASSERT_TRUE(other.Open(dir / "COM3", kBaudRate, 2000));
    EXPECT_FALSE(link->ConnectAtStart());
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].rfind(std::string(Tr(kNoDeviceMessage)), 0), 0u);
    EXPECT_NE(screen.messages[0].find(std::string(Tr(kBusyPortsDuringScanMessage)) + "COM3."), std::string::npos);
}

// A stop request made while an exchange waits ends it at its next slice,
// without further attempts, instead of after every attempt's full wait:
// while it waits for a reply that never comes (one request went out), and
// while it waits for the late reply still owed to the probe (none went out).
TEST_F(SimExchangeTest, StopRequestCutsTheWaitShort) {
    for (const bool probe_answered : {true, false}) {
        SCOPED_TRACE(probe_answered ? "waiting for the reply" : "waiting for the probe's owed reply");
        screen.on_pump = nullptr;
        link->Disconnect();
        link->DeviceConnected = false;
        sim::Line silent(dir / "COM5");
        std::thread device([&] {
            if (silent.Receive(std::chrono::milliseconds(1000)).empty() || !probe_answered) return;
            silent.Send({0x55, 0xAA, 0xFF, 0x00, 0x01, 0xFF, 0xFE});
        });
        link->Connect(5, false);
        device.join();
        int pumps = 0;
        screen.on_pump = [&] {
            if (++pumps == 3) link->RequestStop();  // two slices of waiting
        };
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 0, 100, true, 2), 0);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(link->LastExchangeOk());
        EXPECT_LT(waited, std::chrono::milliseconds(kExchangeTimeoutMs));
        EXPECT_EQ(silent.Receive(std::chrono::milliseconds(50)).size(), probe_answered ? 7u : 0u);
        // While the stop stands nothing more goes out; it is not silence either.
        EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 0, 100, true, 2), 0);
        EXPECT_TRUE(silent.Receive(std::chrono::milliseconds(50)).empty());
        link->ClearStop();
    }
}

// A device that never answers is reported as silent, not as a bad checksum.
TEST_F(SimExchangeTest, SilentDeviceSaysSo) {
    sim::Line silent(dir / "COM5");
    EXPECT_EQ(link->Connect(5, true), 0);
    EXPECT_EQ(screen.messages, (std::vector<std::string>{std::string(Tr(kNoAnswerMessage)),
                                                         "Компорт открыт. Вариатор не подключен"}));
}

}  // namespace
}  // namespace tovrel::test
