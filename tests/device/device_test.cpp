// The serial port of this build, the exchange, connecting and the port scan
// against simulated variators on the system's own serial ports (see
// DevicePorts.h). Under wine these are the Win32 calls on COM ports mapped to
// the simulator's pseudo-terminals.
#include <array>
#include <thread>

#include "Crc.h"
#include "DevicePorts.h"

namespace tovrel::test {
namespace {

using Frame = std::array<std::uint8_t, 7>;
constexpr Frame kProbe = {0x55, 0, 0, 0, 0, 0xFF, 0xFF};

class PortOnTheLine : public DeviceTest {
protected:
    ComPort port;
};

TEST_F(PortOnTheLine, ClosedPortRefusesEverythingButClose) {
    std::uint8_t b[4] = {};
    EXPECT_FALSE(port.Read(b, 1));
    EXPECT_FALSE(port.Write(b, 1));
    EXPECT_FALSE(port.Purge());
    EXPECT_FALSE(port.SetTimeout(10));
    EXPECT_FALSE(port.SetTimeouts({1, 1, 1, 1, 1}));
    EXPECT_FALSE(port.Drain());
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.Open(platform::PortPath(250, ports.port_dir).value(), kBaudRate, 100));  // no such port
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Open(ports.Path("normal"), kBaudRate, 100));
}

TEST_F(PortOnTheLine, OpenIsExclusiveAndKeepsTheOpenConnection) {
    ASSERT_TRUE(port.Open(ports.Path("normal"), kBaudRate, 2000));
    EXPECT_FALSE(port.Open(ports.Path("normal"), kBaudRate, 2000));
    ComPort other;
    const bool exclusive = !UnderWine();
    if (exclusive) {
        EXPECT_FALSE(other.Open(ports.Path("normal"), kBaudRate, 2000));
    }
    // The first connection still works.
    ASSERT_TRUE(port.Purge());
    ASSERT_TRUE(port.Write(kProbe.data(), 7));
    Frame reply{};
    ASSERT_TRUE(port.Read(reply.data(), 7));
    EXPECT_EQ(reply[4], 1);  // normal firmware
    port.Close();
    EXPECT_TRUE(other.Open(ports.Path("normal"), kBaudRate, 2000));
}

TEST_F(PortOnTheLine, ShortReadKeepsTheBytesThatCameAtTheStart) {
    ASSERT_TRUE(port.Open(ports.Path("normal"), kBaudRate, 200));
    ASSERT_TRUE(port.Purge());
    ASSERT_TRUE(port.Write(kProbe.data(), 7));
    std::array<std::uint8_t, 10> buf;
    buf.fill(0xEE);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Read(buf.data(), 10));
    EXPECT_LT(ElapsedMs(start), 1500);
    EXPECT_EQ((Frame{buf[0], buf[1], buf[2], buf[3], buf[4], buf[5], buf[6]}),
              (Frame{0x55, 0, 0, 0, 1, 0xFF, 0xFE}));
    EXPECT_EQ(buf[7], 0xEE);
    EXPECT_EQ(buf[9], 0xEE);
}

TEST_F(PortOnTheLine, ReadTimeoutsFollowTheSetInForce) {
    ASSERT_TRUE(port.Open(ports.Path("normal"), kBaudRate, 1));
    std::uint8_t b = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Read(&b, 1));  // silent line: 1 + 1 ms
    EXPECT_LT(ElapsedMs(start), 500);

    ASSERT_TRUE(port.SetTimeout(300));
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Read(&b, 1));  // 1 + 300 ms
    EXPECT_GE(ElapsedMs(start), 290);
    EXPECT_LT(ElapsedMs(start), 2000);

    // A total limit only: 100 * 3 + 100 ms; the call itself succeeds.
    ASSERT_TRUE(port.SetTimeouts({0, 100, 100, 0, 0}));
    std::uint8_t three[3] = {};
    start = std::chrono::steady_clock::now();
    const auto r = port.ReadSome(three, 3);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 0u);
    EXPECT_GE(ElapsedMs(start), 380);

    // Writes and the drain go through with the search set of the loader.
    ASSERT_TRUE(port.SetTimeouts({2000, 1, 2000, 1, 2000}));
    const auto w = port.WriteSome(kProbe.data(), 7);
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.count, 7u);
    EXPECT_TRUE(port.Drain());
    Frame reply{};
    EXPECT_TRUE(port.Read(reply.data(), 7));
}

TEST_F(PortOnTheLine, OpenInStepsAsTheLoaderDoes) {
    ASSERT_TRUE(port.OpenDevice(ports.Path("loader")));
    EXPECT_FALSE(port.OpenDevice(ports.Path("loader")));
    EXPECT_TRUE(port.SetLineSettings(kBaudRate));
    EXPECT_TRUE(port.SetTimeouts({2000, 1, 2000, 1, 2000}));
    EXPECT_TRUE(port.Purge());
    EXPECT_TRUE(port.SetQueueSizes(1024, 1024));
    // The loader firmware answers the probe with its mode.
    ASSERT_TRUE(port.Write(kProbe.data(), 7));
    Frame reply{};
    ASSERT_TRUE(port.Read(reply.data(), 7));
    EXPECT_EQ(reply[4], 2);
}

class ExchangeOnTheLine : public DeviceTest {};

TEST_F(ExchangeOnTheLine, WriteIsConfirmedAndReadsBack) {
    ASSERT_EQ(link->Connect(ports.Number("normal"), false), 1);
    struct Case {
        std::uint8_t address, index;
        std::int16_t value;
    };
    for (const Case c : {Case{1, 0, 123}, Case{1, 79, -250}, Case{2, 40, 32767}, Case{3, 1, -32768}}) {
        SCOPED_TRACE(int(c.address) * 100 + c.index);
        EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Write, c.address, c.index, c.value, true, 2), c.value);
        EXPECT_TRUE(link->LastExchangeOk());
        EXPECT_EQ(link->UARTdataExchangeForTovrel(ExchangeOp::Read, c.address, c.index, 1000, true, 2), c.value);
        EXPECT_TRUE(link->LastExchangeOk());
    }
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeOnTheLine, SilentVariatorGivesNoConfirmation) {
    ASSERT_TRUE(link->port()->Open(ports.Path("silent"), kBaudRate, 2000));
    const auto start = std::chrono::steady_clock::now();
    link->UARTdataExchangeForTovrel(ExchangeOp::Write, 1, 0, 55, false, 1);
    EXPECT_FALSE(link->LastExchangeOk());
    EXPECT_GE(ElapsedMs(start), 1900);  // the reply's first byte is waited for
}

class ConnectionOnTheLine : public DeviceTest {};

TEST_F(ConnectionOnTheLine, EachFirmwareIsRecognised) {
    struct Case {
        const char* role;
        std::uint16_t mode;
        std::string_view state;
    };
    for (const Case c : {Case{"normal", 1, state::Connected}, Case{"loader", 2, state::FirmwareUpdate},
                         Case{"scope", 3, state::Oscilloscope}}) {
        SCOPED_TRACE(c.role);
        const int n = ports.Number(c.role);
        EXPECT_EQ(link->Connect(n, true), c.mode);
        EXPECT_EQ(link->ConnectionState(), c.state);
        EXPECT_TRUE(screen.Showed("LabelProgress", "Получили ответ от com-порта " + std::to_string(n) + " | " +
                                                       std::to_string(c.mode)));
        link->Disconnect();
    }
}

TEST_F(ConnectionOnTheLine, PortWithoutAnswerStaysOpenUntilDisconnect) {
    EXPECT_EQ(link->Connect(ports.Number("silent"), true), 0);
    EXPECT_EQ(screen.messages.back(), "Компорт открыт. Вариатор не подключен");
    EXPECT_EQ(link->Connect(ports.Number("normal"), true), 0);
    EXPECT_EQ(screen.messages.back(), "Не удалось подключиться");
    link->Disconnect();
    EXPECT_EQ(link->Connect(ports.Number("normal"), true), 1);
    EXPECT_EQ(link->Connect(ports.Number("normal"), true), 1);
    EXPECT_EQ(screen.messages.back(), "Вариатор уже подключен");
}

class ScanOnTheLine : public DeviceTest {};

TEST_F(ScanOnTheLine, SkipsAbsentAndSilentPortsAndRemembersTheFoundOne) {
    const int silent = ports.Number("silent"), loader = ports.Number("loader");
    ASSERT_LT(silent, loader);
    ASSERT_TRUE(link->AutoConnect(silent - 1, loader + 1));
    EXPECT_EQ(link->DeviceMode, 2);
    EXPECT_EQ(link->OpenPortNumber(), loader);
    EXPECT_TRUE(screen.Showed("LabelProgress", "Третья попытка подключения к com-порту " + std::to_string(silent)));
    EXPECT_TRUE(screen.Showed("LabelProgress", "Отсоединяемся от com-порта " + std::to_string(silent)));
    EXPECT_TRUE(screen.Showed("LabelProgress", "Подключились к com-порту " + std::to_string(loader)));
    std::uint8_t remembered = 1;
    ASSERT_TRUE(link->LoadDefaultPort(remembered));
    EXPECT_EQ(remembered, loader);
}

TEST_F(ScanOnTheLine, FullScanFindsTheNormalFirmware) {
    ASSERT_TRUE(link->AutoConnect(1, 255));
    EXPECT_EQ(link->OpenPortNumber(), ports.Number("normal"));
    EXPECT_EQ(link->ConnectionState(), state::Connected);
}

}  // namespace
}  // namespace tovrel::test
