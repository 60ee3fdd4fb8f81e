// Device options, reading and writing the whole configuration, and the
// round trip through a configuration file.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <fstream>
#include <map>
#include <set>

#include "ConfigFile.h"
#include "ConfigurationReadWrite.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A port with a variator behind it that confirms every write and answers
// reads from a table, recording every request in order.
class AnsweringPort : public SerialPort {
public:
    std::vector<Bytes> frames;
    std::map<std::pair<int, int>, std::uint16_t> values;  // (address, index) -> value read
    // Faults by (address, index): writes stored but their confirmation lost
    // (that many times), writes sent back unchanged and not stored.
    std::map<std::pair<int, int>, int> lost_confirmations;
    std::set<std::pair<int, int>> refused;
    int silent_after = -1;  // frames answered before the line goes silent (-1: never)

    bool Open(const std::string&, std::uint32_t, std::int32_t) override { return false; }
    bool SetTimeout(std::int32_t) override { return true; }
    bool Purge() override { return true; }
    bool Write(const std::uint8_t* b, std::uint32_t n) override {
        frames.emplace_back(b, b + n);
        if (n != 7) return true;
        if (silent_after >= 0 && static_cast<int>(frames.size()) > silent_after) return true;
        const std::pair<int, int> key{b[1], b[2]};
        if (b[0] == 0xAA && refused.count(key)) {
            for (std::uint32_t i = 0; i < n; ++i) input_.push_back(b[i]);
            return true;
        }
        if (b[0] == 0xAA) values[key] = static_cast<std::uint16_t>((b[3] << 8) | b[4]);
        if (b[0] == 0xAA && lost_confirmations[key] > 0) {
            --lost_confirmations[key];
            return true;
        }
        if (b[0] == 0xAA) {
            for (std::uint32_t i = 0; i < n; ++i) input_.push_back(static_cast<std::uint8_t>(~b[i]));
        } else {
            const auto v = values[{b[1], b[2]}];
            const auto hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v & 0xFF);
            for (auto x : {b[0], b[1], b[2], hi, lo, static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)})
                input_.push_back(x);
        }
        return true;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        std::uint32_t i = 0;
        for (; i < n && !input_.empty(); ++i) {
            buffer[i] = input_.front();
            input_.pop_front();
        }
        return i == n;
    }
    bool Close() override { return true; }
    bool IsOpen() const override { return true; }

private:
    std::deque<std::uint8_t> input_;
};

Bytes Write(std::uint8_t address, std::uint8_t index, std::uint16_t v) {
    const auto hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v & 0xFF);
    return {0xAA, address, index, hi, lo, static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)};
}

constexpr const char* kDip =
    "Первый микроперключатель включён, поэтому вариатор работает по переключателям, игнорируя внутренние таблицы. "
    "Для корректной работы с терминальной программой он должен быть выключен.";
constexpr const char* kLimited = "Прошивка с ограниченной функциональностью. Требуется обновление.";
constexpr const char* kFlashAgain = "Требуется заново обновить прошивку.";

class ConfigurationTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        sim = &AddSim(2);
        ASSERT_EQ(link->Connect(2, false), 1);
        settings.program_dir = dir.path();
        InitMapControls(screen);
        InitConfigurationControls(screen);
        screen.Clear();
    }
    // A configuration that exercises the encodings.
    static sim::Configuration Sample() {
        sim::Configuration c;
        for (int i = 0; i < 80; ++i) {
            const auto p = static_cast<std::size_t>(i);
            c.maps[0][p] = static_cast<std::int16_t>(900 + i);       // 9.00 .. 9.79 degrees
            c.maps[1][p] = static_cast<std::int16_t>(-1000 + 29 * i);  // -10.00 ..
            c.maps[2][p] = static_cast<std::int16_t>(0x0100 + i);    // high byte is noise
            c.maps[3][p] = static_cast<std::int16_t>(0x00FF - i);    // -1, -2, ...
        }
        c.tps_min = 310;
        c.tps_max = 40000;  // shown unsigned
        c.start_timeout = 12;
        return c;
    }
    sim::Variator* sim = nullptr;
    MapsState state;
    MapViews views{screen, state.document};
    SettingsState settings;
};

TEST_F(ConfigurationTest, DeviceOptionsDriveMessagesLabelsAndLogControls) {
    struct Case {
        const char* name;
        std::uint16_t switches, division, caps;
        std::vector<std::string> messages;
        bool logs;
        std::string rpm;
    } cases[] = {
        {"dip switch on, lowest speed 100 rpm", 0x0A80, 16, 0, {kDip}, false, "100"},
        {"plain firmware", 0x0000, 0xFFFF, 0x0000, {}, false, "0"},
        {"bit 9 without bit 10 keeps no logs", 0xFF00, 1, 0x0200, {}, false, "2550"},
        {"logs", 0x0100, 2, 0x0600, {}, true, "10"},
        {"limited first, flash again last", 0x0000, 3, 0x0701, {kLimited, kFlashAgain}, true, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(LogDirectory(dir.path()));
        sim->SetOptionWord(147, c.switches);
        sim->SetOptionWord(145, c.division);
        sim->SetOptionWord(146, c.caps);
        screen.Clear();
        const int frames = sim->FramesSeen();
        const auto tally = ReadDeviceOptions(*link, settings);
        EXPECT_TRUE(tally.Ok());
        EXPECT_EQ(sim->FramesSeen() - frames, 3);
        EXPECT_EQ(screen.messages, c.messages);
        EXPECT_EQ(settings.options.DeviceCapabilities.word, c.caps);
        EXPECT_EQ(settings.options.DeviceCapabilities.Bit(9), (c.caps >> 9) & 1);
        EXPECT_EQ(settings.options.TimerDivision, c.division);
        EXPECT_EQ(screen.Text("TAP_FirmwareTimerDivisionLabel"), std::to_string(c.division));
        EXPECT_EQ(screen.Text("Lowest_Motor_RPM_Label"), c.rpm);
        for (auto control : {"StartLOGButton", "LOGsCheckBox", "LOGsCounterLabel"})
            EXPECT_EQ(screen.IsVisible(control), c.logs) << control;
        EXPECT_EQ(std::filesystem::is_directory(LogDirectory(dir.path())), c.logs);
    }
}

// An installed program cannot write beside itself: its logs go to the user's
// data folder. Anything else that stands in the way is reported where the
// folder is made.
TEST(LogDirectoryChoice, UserDataFolderOnlyWhenTheProgramFolderMayNotBeWritten) {
    TempDir dir;
    const std::filesystem::path program = dir.path(), user = program / "user-data";
    std::filesystem::create_directories(program / "bin");
    std::ofstream(program / "file-bin") << "x";
    std::filesystem::create_directories(program / "with-logs" / "LOGs");
    static std::filesystem::path locked;
    auto writable = [](const std::filesystem::path& p) { return p != locked && p.parent_path() != locked; };
    struct Case {
        std::string program_dir, locked;
        bool beside;
    } cases[] = {
        {"bin", "", true},
        {"bin", "bin", false},
        {"with-logs", "", true},
        {"with-logs", "with-logs", false},  // the LOGs folder itself is closed
        {"file-bin", "file-bin", true},      // not a folder: reported when made
    };
    for (const auto& c : cases) {
        locked = c.locked.empty() ? std::filesystem::path() : program / c.locked;
        const auto chosen = ChooseLogDirectory(program / c.program_dir, user, writable);
        EXPECT_EQ(chosen, c.beside ? program / c.program_dir / "LOGs" : user / "LOGs") << c.program_dir << " " << c.locked;
    }
}

TEST(LogDirectoryChoice, UserDataFolderFollowsXdg) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(UserDataDirectory(), std::filesystem::path("/srv/data/tovrel-terminal"));
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as XDG says
    EXPECT_NE(UserDataDirectory(), std::filesystem::path("relative/tovrel-terminal"));
    if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
}

TEST_F(ConfigurationTest, LogDirectoryThatCannotBeMadeIsReportedAndTheRestRuns) {
    const std::string blocked = dir / "not-a-directory";
    std::ofstream(blocked) << "x";
    settings.program_dir = blocked;
    sim->SetOptionWord(146, 0x0601);
    ReadDeviceOptions(*link, settings);
    EXPECT_EQ(screen.messages,
              (std::vector<std::string>{"Добавление нового каталога вызвало ошибку : " + std::to_string(ENOTDIR),
                                        kFlashAgain}));
    EXPECT_TRUE(screen.IsVisible("StartLOGButton"));
}

TEST_F(ConfigurationTest, NotConnectedClearsTheWordOnlyAndSendsNothing) {
    sim->SetOptionWord(146, 0x0601);
    ReadDeviceOptions(*link, settings);
    screen.Clear();
    link->ShowConnectionState(state::Disconnected);
    const int frames = sim->FramesSeen();
    const auto tally = ReadDeviceOptions(*link, settings);
    EXPECT_FALSE(tally.completed);
    EXPECT_EQ(sim->FramesSeen(), frames);
    EXPECT_EQ(settings.options.DeviceCapabilities.word, 0);
    EXPECT_TRUE(settings.options.DeviceCapabilities.Bit(9));  // the flags keep the last read
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ConfigurationTest, ReadAllDataFillsMapsParametersAndViews) {
    sim->SetWorking(Sample());
    const int frames = sim->FramesSeen();
    const auto tally = ReadAllData(*link, state);
    EXPECT_TRUE(tally.Ok());
    EXPECT_EQ(tally.exchanges, 323);
    EXPECT_EQ(sim->FramesSeen() - frames, 323);
    EXPECT_TRUE(screen.messages.empty());

    EXPECT_EQ(state.document.Maps().LPG.y[0], 9.0);
    EXPECT_EQ(state.document.Maps().LPG.y[79], 9.79);
    EXPECT_EQ(state.document.Maps().Petrol.y[0], -10.0);
    EXPECT_EQ(state.document.Maps().Petrol.y[1], -9.71);
    EXPECT_EQ(state.document.Maps().LPGLoadDependence.y[5], 5.0);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[0], -1.0);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[10], -11.0);
    EXPECT_EQ(state.document.Maps().LPG.x[79], 7900.0);

    EXPECT_EQ(screen.Text(kStartTimeoutEdit), "12");
    EXPECT_EQ(screen.Text("ADC_MIN_Value_Label"), "310");
    EXPECT_EQ(screen.Text("ADC_MAX_Value_Label"), "40000");
    EXPECT_EQ(screen.pages, (std::vector<int>{1, 3, 5, 7, 0}));
    EXPECT_EQ(screen.Series("Series1")[1].y, -9.71);
    EXPECT_EQ(screen.Text(GridCell("StringGridPetrolLoadDependence", 2, 1)), "-11");
    EXPECT_DOUBLE_EQ(screen.Series("Series9")[0].y, 9.0 * 0.045);  // band 0: mean 4.5 %
    for (auto text : {"Чтение газовой карты из вариатора", "Чтение бензиновой карты из вариатора",
                      "Чтение газовой карты TPS", "Чтение бензиновой карты TPS"})
        EXPECT_TRUE(screen.Showed("LabelProgress", text)) << text;
    EXPECT_FALSE(screen.IsVisible("LabelProgress"));
}

TEST_F(ConfigurationTest, ReadAllDataWithoutConnectionLeavesMarkersButNotTheViews) {
    FillMapTemplate(state.document);
    RefreshAllMapViews(screen, state.document.Maps());
    link->ShowConnectionState(state::Disconnected);
    screen.Clear();
    const int frames = sim->FramesSeen();
    ReadAllData(*link, state);
    EXPECT_EQ(sim->FramesSeen(), frames);
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_EQ(state.document.Maps().LPG.y[0], 1000.0);
    EXPECT_EQ(state.document.Maps().PetrolLoadDependence.y[79], -120.0);
    EXPECT_EQ(screen.Series("LineSeries1")[0].y, 9.0);
    EXPECT_EQ(screen.Text(GridCell("StringGridLPG", 1, 1)), "9");
}

TEST_F(ConfigurationTest, WriteAllDataStoresEverythingAndCommits) {
    FillMapTemplate(state.document);
    state.document.SetPoint(MapKind::LPG, 7, 0.29, MapEditCause::Replace);
    state.document.SetPoint(MapKind::PetrolLoadDependence, 79, -5, MapEditCause::Replace);
    screen.SetText(kStartTimeoutEdit, "30");  // above 25 is written as typed
    const auto tally = WriteAllData(*link, state);
    EXPECT_TRUE(tally.Ok());
    EXPECT_EQ(tally.exchanges, 323);
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_EQ(sim->Commits(), 2);
    const auto e = sim->Eeprom();
    EXPECT_EQ(e.maps[0][0], 900);
    EXPECT_EQ(e.maps[0][7], 29);
    EXPECT_EQ(e.maps[1][79], 200);
    EXPECT_EQ(e.maps[2][0], 100);
    EXPECT_EQ(e.maps[3][79], -5);
    EXPECT_EQ(e.start_timeout, 30);
    EXPECT_EQ(screen.pages, (std::vector<int>{1, 3, 5, 7}));
}

TEST_F(ConfigurationTest, WriteAllDataPutsFramesOnTheLineInOrder) {
    auto port = std::make_unique<AnsweringPort>();
    auto* p = port.get();
    DeviceLink mock(screen, std::move(port));
    mock.ShowConnectionState(state::Connected);
    FillMapTemplate(state.document);
    screen.SetText(kStartTimeoutEdit, "70000");  // its low 16 bits go out
    EXPECT_TRUE(WriteAllData(mock, state).Ok());
    ASSERT_EQ(p->frames.size(), 323u);
    EXPECT_EQ(p->frames[0], Write(1, 0, 900));
    EXPECT_EQ(p->frames[80], Write(2, 0, 200));
    EXPECT_EQ(p->frames[160], Write(3, 0, 100));
    EXPECT_EQ(p->frames[319], Write(4, 79, 100));
    EXPECT_EQ(p->frames[320], Write(7, 0, 70000 & 0xFFFF));
    EXPECT_EQ(p->frames[321], Write(0, 0, 0));
    EXPECT_EQ(p->frames[322], Write(0, 0, 0));
}

int Commits(const std::vector<Bytes>& frames) {
    return static_cast<int>(std::count(frames.begin(), frames.end(), Write(0, 0, 0)));
}

// Points the variator did not confirm are written again and read back; the
// EEPROM commit goes out only when every value is confirmed, or when the user
// answers the question that names what is missing with yes.
TEST_F(ConfigurationTest, WriteAllDataCommitsOnlyConfirmedValues) {
    struct Case {
        const char* name;
        std::function<void(AnsweringPort&)> fault;
        bool answer;
        std::string question;  // empty: no question is asked
        int commits;
        bool ok;
    } cases[] = {
        {"confirmation lost once", [](AnsweringPort& p) { p.lost_confirmations[{1, 5}] = 2; }, false, "", 2, true},
        {"confirmation always lost, value stored",
         [](AnsweringPort& p) { p.lost_confirmations[{3, 40}] = 100; }, false, "", 2, true},
        {"point refused, user says no", [](AnsweringPort& p) { p.refused = {{2, 10}, {2, 11}}; }, false,
         "бензиновая карта (Petrol): точки 11, 12", 0, false},
        {"point refused, user says yes", [](AnsweringPort& p) { p.refused = {{2, 10}}; }, true,
         "бензиновая карта (Petrol): точки 11", 2, false},
        {"start timeout refused", [](AnsweringPort& p) { p.refused = {{7, 0}}; }, false,
         "время включения опережения", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto port = std::make_unique<AnsweringPort>();
        auto* p = port.get();
        c.fault(*p);
        DeviceLink mock(screen, std::move(port));
        mock.ShowConnectionState(state::Connected);
        FillMapTemplate(state.document);
        screen.Clear();
        screen.questions.clear();
        screen.confirm_answer = c.answer;
        screen.SetText(kStartTimeoutEdit, "12");
        const auto tally = WriteAllData(mock, state);
        EXPECT_EQ(Commits(p->frames), c.commits);
        EXPECT_EQ(tally.committed, c.commits > 0);
        EXPECT_EQ(tally.Ok(), c.ok);
        if (c.question.empty()) {
            EXPECT_TRUE(screen.questions.empty());
        } else {
            ASSERT_EQ(screen.questions.size(), 1u);
            EXPECT_NE(screen.questions[0].find(c.question), std::string::npos) << screen.questions[0];
        }
        // The commit never comes before the last map value and the timeout.
        if (c.commits > 0) {
            EXPECT_EQ(p->frames[p->frames.size() - 3], Write(7, 0, 12));
        }
    }
}

// A line that goes silent in the middle ends the write at once: three
// exchanges, one message, nothing committed.
TEST_F(ConfigurationTest, WriteAllDataOnASilentLineEndsWithoutCommit) {
    auto port = std::make_unique<AnsweringPort>();
    auto* p = port.get();
    p->silent_after = 100;
    DeviceLink mock(screen, std::move(port));
    mock.ShowConnectionState(state::Connected);
    FillMapTemplate(state.document);
    screen.SetText(kStartTimeoutEdit, "12");
    const auto tally = WriteAllData(mock, state);
    EXPECT_FALSE(tally.completed);
    // Two attempts for each of two silent points; the wait for a late answer
    // after them, as silent, counts as the third.
    EXPECT_EQ(p->frames.size(), 104u);
    EXPECT_EQ(Commits(p->frames), 0);
    EXPECT_EQ(screen.CountMessages(Tr(kLineSilentMessage)), 1);
    EXPECT_EQ(screen.CountMessages(Tr(kNoAnswerMessage)), 0);  // the line's message says it
    EXPECT_TRUE(screen.questions.empty());
}

// Maps holding the not-yet-read markers, or a value no editor can produce,
// send nothing at all.
TEST_F(ConfigurationTest, WriteAllDataRefusesUnsendableValuesBeforeSending) {
    const int frames = sim->FramesSeen();
    ResetMapsToUnread(state.document);
    EXPECT_FALSE(WriteAllData(*link, state).completed);
    FillMapTemplate(state.document);
    state.document.SetPoint(MapKind::PetrolLoadDependence, 79, 70000, MapEditCause::Replace);
    EXPECT_FALSE(WriteAllData(*link, state).completed);
    EXPECT_EQ(sim->FramesSeen(), frames);
    ASSERT_EQ(screen.messages.size(), 2u);
    EXPECT_NE(screen.messages[0].find("газовая карта (LPG), точка 1 из 80"), std::string::npos);
    EXPECT_NE(screen.messages[1].find("(PetrolLoadDependence), точка 80 из 80"), std::string::npos);
    EXPECT_EQ(sim->Commits(), 0);
}

TEST_F(ConfigurationTest, WriteAllDataWithATimeoutThatIsNoIntegerCommitsNothing) {
    FillMapTemplate(state.document);
    for (std::string text : {"", "12a"}) {
        SCOPED_TRACE("'" + text + "'");
        screen.Clear();
        screen.SetText(kStartTimeoutEdit, text);
        const int frames = sim->FramesSeen();
        const auto tally = WriteAllData(*link, state);
        EXPECT_FALSE(tally.completed);
        EXPECT_EQ(sim->FramesSeen() - frames, 320);
        EXPECT_EQ(screen.errors, std::vector<std::string>{"'" + text + "' is not a valid integer value"});
        EXPECT_EQ(sim->Commits(), 0);
        EXPECT_EQ(sim->Working().maps[0][0], 900);
        EXPECT_EQ(sim->Eeprom().maps[0][0], 0);
    }
}

TEST_F(ConfigurationTest, WriteAllDataRefusals) {
    const int frames = sim->FramesSeen();
    state.guard.TPSFixingActive = true;
    EXPECT_FALSE(WriteAllData(*link, state).completed);
    EXPECT_EQ(screen.messages,
              std::vector<std::string>{"Перед записью данных в вариатоор, завершите чтение текущего значения TPS."});
    state.guard = {};
    screen.Clear();
    link->ShowConnectionState(state::Disconnected);
    EXPECT_FALSE(WriteAllData(*link, state).completed);
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_EQ(sim->FramesSeen(), frames);
}

// Commands pressed from the messages pumped during a transfer are refused
// rather than interleaving their frames with it.
TEST_F(ConfigurationTest, CommandsStartedDuringATransferAreRefused) {
    sim->SetWorking(Sample());
    FillMapTemplate(state.document);
    int presses = 0;
    TransferTally nested;
    screen.on_pump = [&] {
        if (presses++ != 100) return;  // somewhere in the second map
        nested = WriteAllData(*link, state);
        nested += ReadDeviceOptions(*link, settings);
    };
    const int frames = sim->FramesSeen();
    EXPECT_TRUE(ReadAllData(*link, state).Ok());
    EXPECT_EQ(sim->FramesSeen() - frames, 323);
    EXPECT_EQ(nested.exchanges, 0);
    EXPECT_EQ(screen.CountMessages(Tr(kLineBusyMessage)), 2);
    EXPECT_EQ(sim->Commits(), 0);

    // The other way round: a read started during a write-all must not put
    // its not-yet-read markers into the maps being written.
    screen.Clear();
    presses = 0;
    FillMapTemplate(state.document);
    screen.on_pump = [&] {
        if (presses++ == 100) nested = ReadAllData(*link, state);
    };
    EXPECT_TRUE(WriteAllData(*link, state).Ok());
    EXPECT_EQ(screen.CountMessages(Tr(kLineBusyMessage)), 1);
    EXPECT_EQ(state.document.Maps().LPG.y[0], 9.0);
    const auto e = sim->Eeprom();
    for (int i = 0; i < 80; ++i) ASSERT_EQ(e.maps[1][static_cast<std::size_t>(i)], 200) << i;
    EXPECT_FALSE(link->LineBusy());
}

TEST_F(ConfigurationTest, ReadSaveLoadWriteGivesTheSameEeprom) {
    const auto original = Sample();
    sim->SetWorking(original);
    ASSERT_TRUE(ReadAllData(*link, state).Ok());
    const std::string file = dir / "engine.xml";
    auto& m = state.document.Maps();
    ASSERT_TRUE(SaveConfigurationFile(screen, file, m.LPG, m.Petrol, m.LPGLoadDependence, m.PetrolLoadDependence));

    MapsState loaded;
    ASSERT_TRUE(LoadConfigurationFile(screen, file, loaded.document));
    EXPECT_EQ(loaded.document.Maps(), state.document.Maps());

    sim->SetWorking({});
    ASSERT_TRUE(WriteAllData(*link, loaded).Ok());
    auto expected = original;
    for (auto& v : expected.maps[2]) v = static_cast<std::int16_t>(static_cast<std::int8_t>(v & 0xFF));
    for (auto& v : expected.maps[3]) v = static_cast<std::int16_t>(static_cast<std::int8_t>(v & 0xFF));
    expected.tps_min = expected.tps_max = 0;  // not part of the file, not written
    EXPECT_EQ(sim->Eeprom(), expected);
    EXPECT_TRUE(screen.messages.empty());
}

}  // namespace
}  // namespace tovrel::test
