// The start dialog and the main window's start sequence against simulated
// variators.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppFixture.h"

namespace tovrel::test {
namespace {

using shell::RadioItem;

class StartDialogTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        start_unit::FormCreate(*program);
    }
};

TEST_F(StartDialogTest, ComesUpWithItsCaptionsAndTheFirstItemSelected) {
    EXPECT_EQ(screen.Text(shell::StartDialog), "Начальная конфигурация");
    EXPECT_EQ(screen.Text(shell::StartOptionsGroup), "Опции подключения");
    EXPECT_EQ(screen.Text(shell::ContinueButton), "Продолжить");
    EXPECT_EQ(screen.Text(RadioItem(shell::StartOptionsGroup, 0)), "Подключиться и считать конфигурацию из вариатора.");
    EXPECT_EQ(screen.Text(RadioItem(shell::StartOptionsGroup, 1)), "Подключиться не считывая конфигурацию.");
    EXPECT_EQ(screen.Text(RadioItem(shell::StartOptionsGroup, 2)),
              "Подключиться для обновления прошивки варитора. Включить звуковой сигнал.");
    EXPECT_EQ(screen.Number(shell::StartOptionsGroup, Property::Position), 0);
    EXPECT_TRUE(screen.IsVisible(shell::StartDialog));
}

TEST_F(StartDialogTest, ContinueSetsTheOptionOfTheSelectedItem) {
    // Each case starts from an earlier choice, so a click that leaves the
    // option alone shows up.
    for (int item : {2, 0, 1, 2}) {
        SCOPED_TRACE(item);
        program->StartOption = static_cast<std::uint8_t>((item + 1) % 3);
        screen.SetVisible(shell::StartDialog, true);
        screen.SetPosition(shell::StartOptionsGroup, item);
        start_unit::ButtonContinueClick(*program);
        EXPECT_EQ(program->StartOption, item);
        EXPECT_FALSE(screen.IsVisible(shell::StartDialog));
        EXPECT_TRUE(screen.messages.empty());
    }
}

TEST_F(StartDialogTest, AnItemTextOfNoOptionKeepsTheOptionAndStillCloses) {
    struct Case {
        const char* name;
        int item;
        std::string text;  // given to that item before the click
    } cases[] = {
        {"no item selected", -1, ""},
        {"selection past the items", 3, ""},
        {"item text changed", 1, "Подключиться не считывая конфигурацию"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        program->StartOption = 1;
        screen.Clear();
        if (!c.text.empty()) screen.SetText(RadioItem(shell::StartOptionsGroup, c.item), c.text);
        screen.SetPosition(shell::StartOptionsGroup, c.item);
        screen.SetVisible(shell::StartDialog, true);
        start_unit::ButtonContinueClick(*program);
        EXPECT_EQ(program->StartOption, 1);
        EXPECT_EQ(screen.messages, std::vector<std::string>{"Несуществующая опция. "});
        EXPECT_FALSE(screen.IsVisible(shell::StartDialog));
    }
}

TEST_F(StartDialogTest, CloseButtonLeavesOptionZero) {
    screen.SetPosition(shell::StartOptionsGroup, 2);  // chosen, but not confirmed
    start_unit::FormClose(*program);
    EXPECT_EQ(program->StartOption, 0);
    EXPECT_FALSE(screen.IsVisible(shell::StartDialog));
    EXPECT_TRUE(screen.messages.empty());
}

// A configuration with distinct values in every map.
sim::Configuration Sample() {
    sim::Configuration c;
    for (int i = 0; i < 80; ++i) {
        const auto p = static_cast<std::size_t>(i);
        c.maps[0][p] = static_cast<std::int16_t>(500 + 7 * i);
        c.maps[1][p] = static_cast<std::int16_t>(-300 + 11 * i);
        c.maps[2][p] = static_cast<std::int16_t>(90 - i % 13);
        c.maps[3][p] = static_cast<std::int16_t>(0x00FF - i % 9);
    }
    c.tps_min = 410;
    c.tps_max = 3900;
    c.start_timeout = 25;
    return c;
}

class StartSequenceTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        gui2::FormCreate(*program);
    }
    sim::Variator& AddDevice(int port, int mode = 1) {
        auto& v = AddSim(port, mode);
        v.SetEeprom(Sample());
        v.SetWorking(Sample());
        v.SetOptionWord(146, 0x0800);  // counts adaptations
        v.SetOptionWord(145, 16);
        return v;
    }
    // The maps, their charts and their grids show the device's EEPROM.
    void ExpectMapsOf(const sim::Configuration& eeprom) {
        TimingMaps expected;
        InitTimingMaps(expected);
        for (int m = 0; m < 4; ++m)
            for (int i = 0; i < 80; ++i)
                expected[m].y[static_cast<std::size_t>(i)] =
                    DecodeMapValue(kMapKinds[static_cast<std::size_t>(m)], eeprom.maps[static_cast<std::size_t>(m)][static_cast<std::size_t>(i)]);
        RecordingScreen drawn;
        for (int m = 0; m < 4; ++m) {
            const auto kind = kMapKinds[static_cast<std::size_t>(m)];
            SCOPED_TRACE(std::string(MapKindName(kind)));
            EXPECT_EQ(program->maps.document.Maps()[m].y, expected[m].y);
            const auto series = screen.Series(MapControlsAt(m).series);
            ASSERT_EQ(series.size(), 80u);
            for (int i = 0; i < 80; ++i) EXPECT_EQ(series[static_cast<std::size_t>(i)].y, expected[m].y[static_cast<std::size_t>(i)]) << i;
            ShowMapInGrid(drawn, expected, kind);
            const auto grid = MapControlsAt(m).grid;
            for (int c = 0; c < 12; ++c)
                for (int r = 0; r < 12; ++r)
                    EXPECT_EQ(screen.Text(GridCell(grid, c, r)), drawn.Text(GridCell(grid, c, r))) << c << ',' << r;
        }
    }
    bool MapsUntouched() const {
        for (int m = 0; m < 4; ++m)
            for (double y : program->maps.document.Maps()[m].y)
                if (y != 0) return false;
        return true;
    }
    bool Tried(int port) const {
        return screen.Showed(shell::ProgressLabel, "Попытка подключения к com-порту " + std::to_string(port));
    }
};

TEST_F(StartSequenceTest, OptionZeroFindsTheDeviceByTheScanRewritesTheFileAndReadsEverything) {
    auto& v = AddDevice(5);
    Remember(3);
    screen.Clear();
    gui2::FormActivate(*program);

    EXPECT_EQ(screen.pages.front(), page::Settings);
    EXPECT_TRUE(screen.Showed(shell::ProgressLabel, "Третья попытка подключения к com-порту 3"));
    for (int p = 1; p <= 5; ++p) EXPECT_TRUE(Tried(p)) << p;
    EXPECT_FALSE(Tried(6));
    EXPECT_TRUE(program->link.IsConnected());
    EXPECT_EQ(program->link.OpenPortNumber(), 5);
    EXPECT_EQ(screen.Text(shell::PortBox), "5");
    EXPECT_NE(DefaultPortFile().find("5    \r\n"), std::string::npos) << DefaultPortFile();
    EXPECT_EQ(screen.Text(shell::StatusLabel), "Подключен");
    EXPECT_EQ(program->settings.options.DeviceCapabilities.word, 0x0800);
    EXPECT_EQ(program->settings.options.TimerDivision, 16);
    ExpectMapsOf(v.Eeprom());
    EXPECT_FALSE(program->FirmwareBeepEnabled);
    EXPECT_EQ(screen.SelectedPage(), page::Settings);
    EXPECT_TRUE(screen.messages.empty()) << screen.messages.front();
}

TEST_F(StartSequenceTest, OptionOneReadsTheOptionsOnly) {
    AddDevice(2);
    program->StartOption = 1;
    gui2::FormActivate(*program);
    EXPECT_TRUE(Tried(1));
    EXPECT_TRUE(Tried(2));
    EXPECT_FALSE(Tried(3));
    EXPECT_EQ(program->link.OpenPortNumber(), 2);
    EXPECT_NE(DefaultPortFile().find("2    \r\n"), std::string::npos);
    EXPECT_EQ(program->settings.options.DeviceCapabilities.word, 0x0800);
    EXPECT_TRUE(MapsUntouched());
    EXPECT_EQ(screen.Series(MapControlsAt(0).series).size(), 0u);
}

TEST_F(StartSequenceTest, RememberedPortThatAnswersIsTheOnlyOneTried) {
    auto& v = AddDevice(7);
    Remember(7);
    gui2::FormActivate(*program);
    EXPECT_FALSE(Tried(1));
    EXPECT_TRUE(Tried(7));
    EXPECT_EQ(program->link.OpenPortNumber(), 7);
    ExpectMapsOf(v.Eeprom());
}

TEST_F(StartSequenceTest, FollowUpByOptionAndDeviceMode) {
    struct Case {
        const char* name;
        int option;
        int mode;  // 0: no device
        int page;  // selected at the end
        std::string status;
        bool beeps;
        std::vector<std::string> messages;
    } cases[] = {
        {"firmware option, normal firmware", 2, 1, page::Firmware, "Подключен", true, {}},
        {"firmware option, loader", 2, 2, page::Firmware, "Вариатор в режиме смены прошивки", true,
         {"Компорт открыт. Вариатор находится в режиме обновления прошивки."}},
        {"firmware option, no device", 2, 0, page::Settings, "Не подключен", true, {std::string(Tr(gui2::kNoDeviceMessage))}},
        {"read option, oscilloscope", 0, 3, page::Oscilloscope, "Вариатор в режиме записи осциллограмм", false,
         {"Компорт открыт. Вариатор находится в режиме записи осциллограмм. Убедитесь, что прошивка осциллографа под "
          "нужный тип датчика (индуктивный или Холла) и приступайте к записи осциллограммы."}},
        {"options option, loader", 1, 2, page::Firmware, "Вариатор в режиме смены прошивки", false,
         {"Компорт открыт. Вариатор находится в режиме обновления прошивки."}},
        {"read option, no device", 0, 0, page::Settings, "Не подключен", false, {std::string(Tr(gui2::kNoDeviceMessage))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::filesystem::remove(dir / kDefaultPortFile);
        if (c.mode != 0) AddDevice(4, c.mode);
        program->StartOption = static_cast<std::uint8_t>(c.option);
        screen.Clear();
        gui2::FormActivate(*program);
        EXPECT_EQ(screen.SelectedPage(), c.page);
        EXPECT_EQ(screen.Text(shell::StatusLabel), c.status);
        EXPECT_EQ(program->FirmwareBeepEnabled, c.beeps);
        EXPECT_EQ(screen.messages, c.messages);
        // Only a normal firmware is read from. (Reading all puts its
        // not-yet-read markers into the maps even when it reads nothing.)
        if (c.option != 0) {
            EXPECT_TRUE(MapsUntouched());
        }
        EXPECT_NE(program->maps.document.Maps()[0].y[0], DecodeMapValue(MapKind::LPG, Sample().maps[0][0]));
        EXPECT_EQ(program->settings.options.DeviceCapabilities.word, 0);
        if (c.mode == 0) {
            EXPECT_EQ(screen.Text(shell::PortBox), "0");
            EXPECT_FALSE(std::filesystem::exists(dir / kDefaultPortFile));
        }
    }
}

TEST_F(StartSequenceTest, NoDeviceLeavesTheRememberedPortAlone) {
    Remember(9);
    const std::string before = DefaultPortFile();
    gui2::FormActivate(*program);
    EXPECT_EQ(screen.CountMessages(Tr(gui2::kNoDeviceMessage)), 1);
    EXPECT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(DefaultPortFile(), before);
    EXPECT_EQ(program->link.ConnectionState(), state::Disconnected);
    EXPECT_EQ(screen.Colour(shell::StatusLabel), colours::Red);
    EXPECT_FALSE(screen.IsVisible(shell::ProgressLabel));
}

TEST_F(StartSequenceTest, AnOptionOfNoMeaningConnectsNothing) {
    AddDevice(1);
    program->StartOption = 3;
    program->settings.options.DeviceCapabilities.ReadFromDevice(0x0800);
    gui2::FormActivate(*program);
    EXPECT_EQ(screen.messages, std::vector<std::string>{"Несуществующая опция. "});
    EXPECT_FALSE(Tried(1));
    EXPECT_EQ(program->link.OpenPortNumber(), 0);
    EXPECT_FALSE(program->FirmwareBeepEnabled);
    // The capability word is cleared first; its flags keep the last read.
    EXPECT_EQ(program->settings.options.DeviceCapabilities.word, 0);
    EXPECT_TRUE(program->settings.options.DeviceCapabilities.Bit(11));
}

TEST_F(StartSequenceTest, RunsOncePerStart) {
    AddDevice(1);
    program->StartOption = 1;
    gui2::FormActivate(*program);
    ASSERT_TRUE(program->link.IsConnected());
    const int frames = sims.front()->FramesSeen();
    screen.Clear();
    gui2::FormActivate(*program);  // the window activated again later
    EXPECT_EQ(sims.front()->FramesSeen(), frames);
    EXPECT_TRUE(screen.events.empty());
}

TEST_F(StartSequenceTest, FirmwareUpdateBeepsByTheProgramsSwitchAndReadsTheConfigurationAfter) {
    auto& v = AddDevice(1);
    program->StartOption = 2;
    gui2::FormActivate(*program);
    ASSERT_TRUE(program->FirmwareBeepEnabled);
    screen.file_choices = {""};  // the file dialog cancelled
    program->firmware.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.beeps, 3);  // once after the update, twice after the reconnection
    EXPECT_TRUE(program->link.IsConnected());
    ExpectMapsOf(v.Eeprom());

    program->FirmwareBeepEnabled = false;
    screen.beeps = 0;
    screen.file_choices = {""};
    program->firmware.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.beeps, 0);
}

}  // namespace
}  // namespace tovrel::test
