// Connecting, the mode probe and the port scan against simulated variators.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "SimFixture.h"

namespace tovrel::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ConnectTest : public SimFixture {};

struct ModeCase {
    int mode;
    std::string_view state;
    std::string_view caption;
    Rgb colour;
    int page;  // -1: no page change
};

TEST_F(ConnectTest, EachFirmwareIsRecognised) {
    const ModeCase cases[] = {
        {1, state::Connected, "Подключен", colours::Green, -1},
        {2, state::FirmwareUpdate, "Вариатор в режиме смены прошивки", colours::Purple, 11},
        {3, state::Oscilloscope, "Вариатор в режиме записи осциллограмм", colours::Fuchsia, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        sims.clear();
        link->Disconnect();
        screen.Clear();
        AddSim(4, c.mode);
        EXPECT_EQ(link->Connect(4, true), c.mode);
        EXPECT_EQ(link->ConnectionState(), c.state);
        EXPECT_EQ(screen.Text("Label2"), c.caption);
        EXPECT_EQ(screen.Colour("Label2"), c.colour);
        EXPECT_EQ(link->DeviceConnected, c.mode == 1);
        EXPECT_TRUE(screen.Showed("LabelProgress", "Получили ответ от com-порта 4 | " + std::to_string(c.mode)));
        if (c.page >= 0) {
            EXPECT_EQ(screen.pages, std::vector<int>{c.page});
        }
        EXPECT_EQ(slept_ms, 1000);
        slept_ms = 0;
        EXPECT_EQ(screen.messages.size(), 1u);
    }
}

TEST_F(ConnectTest, SecondConnectWhileConnectedSendsNothing) {
    auto& sim = AddSim(2);
    ASSERT_EQ(link->Connect(2, true), 1);
    int frames = sim.FramesSeen();
    EXPECT_EQ(link->Connect(7, true), 1);
    EXPECT_EQ(screen.messages.back(), "Вариатор уже подключен");
    EXPECT_EQ(sim.FramesSeen(), frames);
    EXPECT_EQ(link->OpenPortNumber(), 2);
}

TEST_F(ConnectTest, ModeMessagesShowEvenWhenSilent) {
    AddSim(1, 2);
    EXPECT_EQ(link->Connect(1, false), 2);
    EXPECT_EQ(screen.messages,
              std::vector<std::string>{"Компорт открыт. Вариатор находится в режиме обновления прошивки."});
}

TEST_F(ConnectTest, RefusesPortNumbersWithoutAPath) {
    for (int n : {1000, 12345, -1}) {
        EXPECT_EQ(link->Connect(n, true), 0);
        EXPECT_EQ(screen.messages.back(), "Неверный номер порта");
    }
}

TEST_F(ConnectTest, PortWithoutVariatorStaysOpenUntilDisconnect) {
    sim::Line silent(dir / "COM5");  // a terminal nobody answers on
    AddSim(6);
    EXPECT_EQ(link->Connect(5, true), 0);
    EXPECT_EQ(screen.messages.back(), "Компорт открыт. Вариатор не подключен");
    EXPECT_TRUE(screen.Showed("LabelProgress", "Получили ответ от com-порта 5 | 0"));
    EXPECT_EQ(link->Connect(6, true), 0);  // the port object is still open
    EXPECT_EQ(screen.messages.back(), "Не удалось подключиться");
    link->DeviceMode = 3;
    link->Disconnect();
    EXPECT_EQ(link->DeviceMode, 0);
    EXPECT_EQ(link->Connect(6, true), 1);
}

TEST_F(ConnectTest, ScanFindsTheVariatorAndRemembersItsPort) {
    AddSim(3);
    screen.Set("ProgressBar1", Property::Minimum, 0);
    screen.Set("ProgressBar1", Property::Maximum, 79);
    ASSERT_TRUE(link->AutoConnect(1, 255));
    const std::vector<std::string> expected = {
        "Попытка подключения к com-порту ",
        "Попытка подключения к com-порту 1",
        "Вторая попытка подключения к com-порту 1",
        "Третья попытка подключения к com-порту 1",
        "Отсоединяемся от com-порта 1",
        "Попытка подключения к com-порту 2",
        "Вторая попытка подключения к com-порту 2",
        "Третья попытка подключения к com-порту 2",
        "Отсоединяемся от com-порта 2",
        "Попытка подключения к com-порту 3",
        "Получили ответ от com-порта 3 | 1",
        "Подключились к com-порту 3",
    };
    EXPECT_EQ(screen.Texts("LabelProgress"), expected);
    EXPECT_EQ(link->DeviceMode, 1);
    EXPECT_EQ(link->ConnectionState(), state::Connected);
    EXPECT_EQ(screen.Text("ComboBox1"), "3");
    std::uint8_t port = 0;
    ASSERT_TRUE(link->LoadDefaultPort(port));
    EXPECT_EQ(port, 3);
    EXPECT_FALSE(screen.IsVisible("ProgressBar1"));
    EXPECT_FALSE(screen.IsVisible("LabelProgress"));
    EXPECT_EQ(screen.Number("ProgressBar1", Property::Maximum), 79);
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ConnectTest, ScanTriesOnlyItsRange) {
    AddSim(255);
    EXPECT_FALSE(link->AutoConnect(5, 6));
    for (const auto& t : screen.Texts("LabelProgress")) EXPECT_EQ(t.find("com-порту 4"), std::string::npos) << t;
    EXPECT_TRUE(screen.Showed("LabelProgress", "Отсоединяемся от com-порта 5"));
    EXPECT_FALSE(link->AutoConnect(250, 255));  // 255 is never tried
}

TEST_F(ConnectTest, FailedScanChangesNothingButTheState) {
    screen.SetText("ComboBox1", "0");
    screen.Set("ProgressBar1", Property::Maximum, 79);
    EXPECT_FALSE(link->AutoConnect(1, 255));
    EXPECT_EQ(link->ConnectionState(), state::Disconnected);
    EXPECT_EQ(screen.Text("ComboBox1"), "0");
    EXPECT_EQ(screen.Number("ProgressBar1", Property::Maximum), 79);
    EXPECT_FALSE(screen.IsVisible("ProgressBar1"));
    std::uint8_t port = 1;
    EXPECT_FALSE(link->LoadDefaultPort(port));
}

TEST_F(ConnectTest, ScanStopsAtALoader) {
    AddSim(1, 2);
    AddSim(2, 1);
    EXPECT_TRUE(link->AutoConnect(1, 255));
    EXPECT_EQ(link->DeviceMode, 2);
    EXPECT_EQ(link->ConnectionState(), state::FirmwareUpdate);
    EXPECT_EQ(screen.pages, std::vector<int>{11});
}

TEST_F(ConnectTest, ScanWhileConnectedReportsTheOpenPort) {
    auto& sim = AddSim(4);
    ASSERT_EQ(link->Connect(4, false), 1);
    int frames = sim.FramesSeen();
    EXPECT_TRUE(link->AutoConnect(1, 255));
    EXPECT_EQ(screen.Text("ComboBox1"), "4");
    std::uint8_t port = 0;
    ASSERT_TRUE(link->LoadDefaultPort(port));
    EXPECT_EQ(port, 4);
    EXPECT_EQ(link->ConnectionState(), state::Connected);
    EXPECT_EQ(sim.FramesSeen(), frames);
}

TEST_F(ConnectTest, StartConnectionFallsBackFromRememberedPortToScan) {
    ASSERT_TRUE(link->SaveDefaultPort(3));
    AddSim(5);
    EXPECT_TRUE(link->ConnectAtStart());
    EXPECT_TRUE(screen.Showed("LabelProgress", "Третья попытка подключения к com-порту 3"));
    std::uint8_t port = 0;
    ASSERT_TRUE(link->LoadDefaultPort(port));
    EXPECT_EQ(port, 5);
}

TEST_F(ConnectTest, StartConnectionWithoutVariatorSaysSoOnce) {
    EXPECT_FALSE(link->ConnectAtStart());
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].rfind("Автоматически определить com-порт", 0), 0u);
}

TEST_F(ConnectTest, DefaultPortFileIsByteExact) {
    ASSERT_TRUE(link->SaveDefaultPort(3));
    const std::string expected =
        "\xCD\xEE\xEC\xE5\xF0\x20\x43\x4F\x4D\x2D\xEF\xEE\xF0\xF2\xE0\x20\xEF\xEE\x20\xF3\xEC\xEE\xEB\xF7\xE0\xED"
        "\xE8\xFE\x3A\x20"
        "3    \r\n";
    EXPECT_EQ(ReadFile(dir / kDefaultPortFile), expected);
    ASSERT_TRUE(link->SaveDefaultPort(254));
    EXPECT_EQ(ReadFile(dir / kDefaultPortFile).substr(30), "254  \r\n");
}

TEST_F(ConnectTest, DefaultPortFileReading) {
    struct Case {
        std::string content;
        bool ok;
        int port;
    };
    const std::string label = "\xCD\xEE\xEC\xE5\xF0 COM-\xEF\xEE\xF0\xF2\xE0 \xEF\xEE \xF3\xEC\xEE\xEB\xF7\xE0\xED\xE8\xFE: ";
    const Case cases[] = {
        {label + "7    \r\n", true, 7},
        {label + "300\r\n", true, 44},
        {label + "-1\r\n", true, 255},
        {label + "12abc\r\n", true, 12},
        {label + "\r\n", false, 1},
        {label + "abc\r\n", false, 1},
        {"a b c\r\n", false, 1},
        {"", false, 1},
        {std::string(100000, 'x') + " b c d 9\n", true, 9},
        {label + "99999999999999999999999\r\n", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 60));
        std::ofstream(dir / kDefaultPortFile, std::ios::binary) << c.content;
        std::uint8_t port = 1;
        EXPECT_EQ(link->LoadDefaultPort(port), c.ok);
        EXPECT_EQ(port, c.port);
    }
}

// The file is looked at only up to a bound, and a FIFO or a directory in its
// place is refused at once instead of blocking the start.
TEST_F(ConnectTest, DefaultPortFileThatIsHugeOrNoFileIsRefused) {
    const std::string path = dir / kDefaultPortFile;
    {
        std::ofstream out(path, std::ios::binary);
        const std::string chunk(1 << 16, 'x');
        for (std::size_t n = 0; n <= kDefaultPortFileLimit; n += chunk.size()) out << chunk;
        out << " b c d 9\n";
    }
    std::uint8_t port = 1;
    EXPECT_FALSE(link->LoadDefaultPort(port));
    EXPECT_EQ(port, 1);
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(link->LoadDefaultPort(port));
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(link->LoadDefaultPort(port));
    EXPECT_EQ(port, 1);
}

// ---- faults injected by the simulated variator ----

class FaultTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        sim_ = &AddSim(1);
        ASSERT_EQ(link->Connect(1, false), 1);
        screen.Clear();
    }
    std::int16_t Read(std::uint8_t a) { return link->UARTdataExchangeForTovrel(ExchangeOp::Read, a, 0, 1000, true, 2); }
    std::int16_t Write(std::uint8_t a, std::int16_t v) {
        return link->UARTdataExchangeForTovrel(ExchangeOp::Write, a, 0, v, true, 2);
    }
    sim::Variator* sim_ = nullptr;
};

TEST_F(FaultTest, BadCheckBytesAreRetried) {
    sim_->InjectFault(sim::Fault::BadCheck, 1);
    EXPECT_EQ(Write(7, 25), 25);
    EXPECT_TRUE(screen.messages.empty());
    sim_->InjectFault(sim::Fault::BadCheck, 2);
    Read(7);
    EXPECT_EQ(screen.messages.size(), 1u);
    EXPECT_FALSE(link->LastExchangeOk());
}

TEST_F(FaultTest, EchoedWriteIsReportedAndNotStored) {
    sim_->InjectFault(sim::Fault::EchoWrite, 2);
    Write(7, 12);
    EXPECT_EQ(screen.messages.size(), 3u);
    EXPECT_EQ(sim_->Working().start_timeout, 0);
}

TEST_F(FaultTest, StaleBytesAndGarbageDoNotShiftLaterFrames) {
    Write(7, 11);
    for (auto fault : {sim::Fault::StaleBytes, sim::Fault::Garbage}) {
        sim_->InjectFault(fault, 3);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Read(7), 11);
    }
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(FaultTest, NoReplyEndsWithMessagesAndZero) {
    sim_->InjectFault(sim::Fault::NoReply, 2);
    EXPECT_EQ(Read(7), 0);
    EXPECT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(Read(0), 1);  // the line recovers
}

}  // namespace
}  // namespace tovrel::test
