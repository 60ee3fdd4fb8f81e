// The main window's creation, status label, hot keys, connection menu and
// close.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "AppFixture.h"
#include "Monitor.h"
#include "TpsCalibration.h"

namespace tovrel::test {
namespace {

class WindowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        gui2::FormCreate(*program);
    }
    // The start sequence with nothing behind any port: the window is up and
    // its hot keys are on.
    void ActivateWithoutDevice() {
        program->StartOption = 1;
        gui2::FormActivate(*program);
        screen.Clear();
    }
};

TEST_F(WindowTest, CreationFillsThePortBoxAndShowsDisconnected) {
    EXPECT_EQ(screen.Text(shell::PortBox), "0");
    EXPECT_EQ(screen.Text(shell::RadioItem(shell::PortBox, 0)), "1");
    EXPECT_EQ(screen.Text(shell::RadioItem(shell::PortBox, 253)), "254");
    EXPECT_EQ(screen.Text(shell::RadioItem(shell::PortBox, 254)), "");
    EXPECT_EQ(screen.Text(shell::StatusLabel), "Не подключен");
    EXPECT_EQ(screen.Colour(shell::StatusLabel), colours::Red);
    EXPECT_TRUE(screen.Flag(shell::StatusLabel, Property::Opaque));
    EXPECT_EQ(program->link.ConnectionState(), state::Disconnected);
    EXPECT_EQ(screen.Text(shell::ProgressLabel), "Процесс обмена данными");
    EXPECT_FALSE(screen.IsVisible(shell::ProgressLabel));
    EXPECT_FALSE(screen.IsVisible(shell::ProgressBar));
    EXPECT_EQ(screen.Number(shell::ProgressBar, Property::Maximum), 79);
    for (int p = 0; p < page::Count; ++p) {
        const bool table = p == page::LPGGrid || p == page::PetrolGrid || p == page::LPGLoadDependenceGrid ||
                           p == page::PetrolLoadDependenceGrid;
        EXPECT_EQ(screen.IsVisible(shell::TabSheet(p)), !table) << shell::TabSheet(p);
    }
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(WindowTest, CreationGivesTheMapsTheirAxesAndZeros) {
    program->maps.document.SetPoint(MapKind::Petrol, 5, 3.5, MapEditCause::Replace);
    program->maps.document.SetPoint(MapKind::LPGLoadDependence, 0, -1, MapEditCause::Replace);
    gui2::FormCreate(*program);
    TimingMaps fresh;
    InitTimingMaps(fresh);
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(program->maps.document.Maps()[m].x, fresh[m].x) << m;
        for (double y : program->maps.document.Maps()[m].y) EXPECT_EQ(y, 0.0);
    }
}

TEST_F(WindowTest, StatusLabelCaptionAndColourPerState) {
    struct Case {
        std::string_view word;
        std::string caption;
        Rgb colour;
    } cases[] = {
        {state::Connected, "Подключен", colours::Green},
        {state::Disconnected, "Не подключен", colours::Red},
        {state::Connecting, "Устанавливается подключение, ожидайте", colours::SkyBlue},
        {state::FirmwareUpdate, "Вариатор в режиме смены прошивки", colours::Purple},
        {state::Oscilloscope, "Вариатор в режиме записи осциллограмм", colours::Fuchsia},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.word));
        screen.SetVisible(shell::StatusLabel, false);
        program->link.ShowConnectionState(c.word);
        EXPECT_EQ(screen.Text(shell::StatusLabel), c.caption);
        EXPECT_EQ(screen.Colour(shell::StatusLabel), c.colour);
        EXPECT_TRUE(screen.IsVisible(shell::StatusLabel));
        EXPECT_EQ(program->link.ConnectionState(), c.word);
    }
    // A word of no state changes nothing.
    screen.Clear();
    program->link.ShowConnectionState("Connected");
    EXPECT_TRUE(screen.events.empty());
    EXPECT_EQ(program->link.ConnectionState(), state::Oscilloscope);
}

TEST_F(WindowTest, TablesHotKeyShowsTheTabsEveryTime) {
    ActivateWithoutDevice();
    for (int press = 0; press < 2; ++press) {
        gui2::ApplicationEvents1Message(*program, shell::HotKeyTables);
        EXPECT_EQ(screen.CountMessages("Tables visible mode"), press + 1);
        for (int p = 0; p < page::Count; ++p) EXPECT_TRUE(screen.IsVisible(shell::TabSheet(p))) << p;
    }
}

TEST_F(WindowTest, ServiceHotKeyUncoversTheServiceLabels) {
    const std::vector<std::string> always = {"Label11", "CalculatedAngleLabel", "Label16", "Label17",
                                             "need_good_tahoeLabel", "DirectSendLabel",
                                             "TAP_FirmwareTimerDivisionLabel", "Label31", "Lowest_Motor_RPM_Label"};
    for (bool counts_adaptations : {false, true}) {
        SCOPED_TRACE(counts_adaptations);
        TearDown();
        SetUp();
        ActivateWithoutDevice();
        // The capability bits of an earlier read survive the start's clearing
        // of the word.
        program->settings.options.DeviceCapabilities.ReadFromDevice(counts_adaptations ? 0x0800 : 0xF7FF);
        gui2::ApplicationEvents1Message(*program, shell::HotKeyService);
        for (const auto& label : always) EXPECT_TRUE(screen.IsVisible(label)) << label;
        EXPECT_EQ(screen.IsVisible("Label30"), counts_adaptations);
        EXPECT_EQ(screen.IsVisible("AdaptationsCounterLabel"), counts_adaptations);
        // What the monitor reads follows the same switch, kept by the logic.
        EXPECT_TRUE(program->live.ServiceValuesShown);
        EXPECT_EQ(program->live.AdaptationValuesShown, counts_adaptations);
        EXPECT_FALSE(screen.IsVisible(shell::TabSheet(page::LPGGrid)));
        EXPECT_TRUE(screen.messages.empty());
    }
}

TEST_F(WindowTest, HotKeysActOnlyWhileRegistered) {
    for (int id : {shell::HotKeyTables, shell::HotKeyService}) gui2::ApplicationEvents1Message(*program, id);
    EXPECT_FALSE(screen.IsVisible(shell::TabSheet(page::LPGGrid)));
    EXPECT_FALSE(screen.IsVisible("Label11"));

    ActivateWithoutDevice();
    gui2::ApplicationEvents1Message(*program, 2);  // no such key
    EXPECT_TRUE(screen.events.empty());
    EXPECT_TRUE(screen.messages.empty());

    gui2::FormClose(*program);
    screen.Clear();
    for (int id : {shell::HotKeyTables, shell::HotKeyService}) gui2::ApplicationEvents1Message(*program, id);
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_FALSE(screen.IsVisible("Label11"));
}

TEST_F(WindowTest, ConnectFromThePortBox) {
    AddSim(6);
    struct Case {
        std::string text;
        std::vector<std::string> messages;
        std::vector<std::string> errors;
    } refused[] = {
        {"0", {"Неверный номер порта"}, {}},
        {"1000", {"Неверный номер порта"}, {}},
        {"+0", {"Неверный номер порта"}, {}},
        {"255", {"Не удалось подключиться"}, {}},  // a number with no port behind it
        {"-6", {"Неверный номер порта"}, {}},
        {"six", {}, {"'six' is not a valid integer value"}},
        {"", {}, {"'' is not a valid integer value"}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text);
        screen.Clear();
        screen.SetText(shell::PortBox, c.text);
        const int frames = sims.front()->FramesSeen();
        gui2::N9Click(*program);
        EXPECT_EQ(screen.messages, c.messages);
        EXPECT_EQ(screen.errors, c.errors);
        EXPECT_EQ(program->link.OpenPortNumber(), 0);
        EXPECT_EQ(sims.front()->FramesSeen(), frames);
    }

    screen.Clear();
    screen.SetText(shell::PortBox, " 6");
    gui2::N9Click(*program);
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Вариатор подключен"});
    EXPECT_EQ(program->link.OpenPortNumber(), 6);
    EXPECT_EQ(program->link.DeviceMode, kModeNormal);
    EXPECT_EQ(screen.Colour(shell::StatusLabel), colours::Green);
}

TEST_F(WindowTest, ConnectFromTheMenuRecordsTheModeFound) {
    AddSim(3, kModeOscilloscope);
    program->link.DeviceMode = kModeNormal;  // from an earlier connection
    screen.SetText(shell::PortBox, "3");
    gui2::N9Click(*program);
    EXPECT_EQ(program->link.DeviceMode, kModeOscilloscope);
    EXPECT_EQ(screen.SelectedPage(), page::Oscilloscope);
    EXPECT_EQ(screen.Text(shell::StatusLabel), "Вариатор в режиме записи осциллограмм");
}

TEST_F(WindowTest, AutoSelectScansAndDisconnectAlwaysReports) {
    AddSim(3);
    gui2::N4Click(*program);
    EXPECT_EQ(program->link.OpenPortNumber(), 3);
    EXPECT_EQ(screen.Text(shell::PortBox), "3");
    EXPECT_TRUE(screen.messages.empty());

    for (int press = 0; press < 2; ++press) {  // connected, then with nothing connected
        SCOPED_TRACE(press);
        screen.Clear();
        gui2::N12Click(*program);
        EXPECT_EQ(screen.messages, std::vector<std::string>{"Вариатор отключен"});
        EXPECT_EQ(screen.Text(shell::StatusLabel), "Не подключен");
        EXPECT_EQ(program->link.OpenPortNumber(), 0);
        EXPECT_FALSE(program->link.DeviceConnected);
    }
}

TEST_F(WindowTest, ConnectionMenuWaitsForARunningTransfer) {
    AddSim(2);
    ASSERT_EQ(program->link.Connect(2, false), 1);
    DeviceLink::LineHold hold(program->link);
    screen.SetText(shell::PortBox, "2");
    for (auto click : {gui2::N9Click, gui2::N4Click, gui2::N12Click}) {
        screen.Clear();
        const int frames = sims.front()->FramesSeen();
        click(*program);
        EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
        EXPECT_EQ(sims.front()->FramesSeen(), frames);
        EXPECT_EQ(program->link.OpenPortNumber(), 2);
        EXPECT_TRUE(program->link.IsConnected());
    }
}

TEST_F(WindowTest, CloseDisconnectsAndReleasesThePort) {
    AddSim(4);
    program->StartOption = 1;
    gui2::FormActivate(*program);
    ASSERT_EQ(program->link.OpenPortNumber(), 4);
    gui2::FormClose(*program);
    EXPECT_EQ(program->link.port(), nullptr);
    EXPECT_EQ(program->link.ConnectionState(), state::Disconnected);
    EXPECT_EQ(screen.Text(shell::StatusLabel), "Не подключен");
    EXPECT_EQ(screen.Colour(shell::StatusLabel), colours::Red);
    // The port is free for another program.
    ComPort other;
    EXPECT_TRUE(other.Open(dir / "COM4", kBaudRate, 100));
    // Commands after the close find no port and touch nothing.
    screen.SetText(shell::PortBox, "4");
    gui2::N9Click(*program);
    EXPECT_EQ(program->link.OpenPortNumber(), 0);
}

}  // namespace
}  // namespace tovrel::test

namespace tovrel::test {
namespace {

// Closing the window in the middle of a polling loop (from a message the
// loop pumps) ends the loop: nothing more goes to the variator.
TEST_F(WindowTest, CloseEndsARunningPollingLoop) {
    struct Case {
        const char* name;
        std::function<void(LiveContext&)> start;
    } cases[] = {
        {"monitor", [](LiveContext& lc) { GetRealtimeParametersButtonClick(lc); }},
        {"throttle tracking", [](LiveContext& lc) { StartFix_MAX_MIN_TPSButtonClick(lc); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        auto& v = AddSim(2);
        ASSERT_EQ(program->link.Connect(2, false), 1);
        int pumps = 0, frames_at_close = -1;
        screen.on_pump = [&] {
            if (++pumps == 20) {
                gui2::FormClose(*program);
                frames_at_close = v.FramesSeen();
            }
        };
        LiveContext lc = program->Live();
        c.start(lc);
        screen.on_pump = nullptr;
        ASSERT_GE(frames_at_close, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_LE(v.FramesSeen(), frames_at_close + 1);  // at most the request already on the line
        EXPECT_FALSE(program->maps.guard.RealtimeReadingActive);
        EXPECT_FALSE(program->maps.guard.TPSFixingActive);
        EXPECT_EQ(screen.Text(shell::StatusLabel), "Не подключен");
    }
}

}  // namespace
}  // namespace tovrel::test
