// The program's restore points and the backup around a firmware update,
// against the simulated variator.
#include <gtest/gtest.h>

#include <fstream>

#include "AppFixture.h"
#include "AtomicFile.h"
#include "ConfigFile.h"
#include "DeviceConfiguration.h"
#include "FirmwareFixture.h"
#include "RestoreFlow.h"
#include "TpsCalibration.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;

// Values the variator keeps exactly as written (throttle maps 0..100 %).
sim::Configuration DeviceSample() {
    sim::Configuration c;
    for (int i = 0; i < 80; ++i) {
        const auto p = static_cast<std::size_t>(i);
        c.maps[0][p] = static_cast<std::int16_t>(900 + 5 * i);
        c.maps[1][p] = static_cast<std::int16_t>(-1000 + 29 * i);
        c.maps[2][p] = static_cast<std::int16_t>(i);
        c.maps[3][p] = static_cast<std::int16_t>(100 - i);
    }
    c.tps_min = 310;
    c.tps_max = 870;
    c.start_timeout = 12;
    return c;
}

class RestoreFlowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        InitMapControls(screen);
        InitConfigurationControls(screen);
        InitFirmwarePage(screen);
        program->restore_points = std::make_unique<RestorePointStore>(Points(), [this](const std::string& p,
                                                                                       std::string_view bytes,
                                                                                       std::string* error) {
            if (disk_full) {
                if (error) *error = "No space left on device";
                return false;
            }
            return WriteFileAtomically(p, bytes, error);
        });
    }
    sim::Variator& Connect(sim::Options o = {}) {
        o.port_dir = dir.path();
        o.port_number = 1;
        sims.push_back(std::make_unique<sim::Variator>(o));
        sims.back()->Start();
        auto& s = *sims.back();
        s.SetWorking(DeviceSample());
        s.SetEeprom(DeviceSample());
        EXPECT_EQ(program->link.Connect(1, false), 1);
        program->link.DeviceMode = 1;
        return s;
    }
    fs::path Points() const { return fs::path(dir.path()) / "points"; }
    std::vector<RestorePointStore::Entry> List() const { return program->restore_points->List(); }
    static Configuration Expected() {
        Configuration c;
        const auto s = DeviceSample();
        for (MapKind kind : kMapKinds)
            for (std::size_t i = 0; i < MapPointCount; ++i)
                c.y[static_cast<std::size_t>(MapKindIndex(kind))][i] =
                    DecodeMapValue(kind, s.maps[static_cast<std::size_t>(MapKindIndex(kind))][i]);
        c.timeout = "12";
        c.tps_min = 310;
        c.tps_max = 870;
        return c;
    }
    bool disk_full = false;
};

TEST_F(RestoreFlowTest, FileAgainstDeviceLeavesTheEditorAlone) {
    Connect();
    Configuration file = Expected();
    file.y[0][10] += 2;
    file.y[3][79] = 50;
    file.timeout = "20";
    file.tps_min.reset();  // a configuration file holds no throttle points
    file.tps_max.reset();
    const std::string name = dir / "tune.xml";
    ASSERT_TRUE(WriteFileAtomically(name, RestorePointXml(file, "", "")));
    std::string why;
    const auto point = ReadRestorePoint(name, &why);
    ASSERT_TRUE(point) << why;

    const auto editor_before = program->maps.document.Maps();
    const auto read = ReadDeviceConfiguration(program->link);
    ASSERT_TRUE(read.configuration);
    EXPECT_EQ(*read.configuration, Expected());
    EXPECT_EQ(read.tally.exchanges, 4 * 80 + 3);  // the configuration read's exchanges, no more
    EXPECT_EQ(program->maps.document.Maps(), editor_before);

    const auto diff = CompareConfigurations(point->configuration, *read.configuration);
    ASSERT_EQ(diff.Map(MapKind::LPG).points.size(), 1u);
    EXPECT_EQ(diff.Map(MapKind::LPG).points[0].point, 10);
    ASSERT_EQ(diff.Map(MapKind::PetrolLoadDependence).points.size(), 1u);
    EXPECT_DOUBLE_EQ(diff.Map(MapKind::PetrolLoadDependence).largest, 29);
    ASSERT_EQ(diff.parameters.size(), 1u);  // the timeout; the throttle points are on one side only
    EXPECT_EQ(diff.parameters[0].theirs, "12");
}

TEST_F(RestoreFlowTest, CommitKeepsTheWrittenConfigurationOrDoesNotHappen) {
    auto& sim = Connect();
    ASSERT_TRUE(ReadAllData(program->link, program->maps).Ok());
    program->maps.document.SetPoint(MapKind::LPG, 4, 20, MapEditCause::Key);
    screen.SetText(kStartTimeoutEdit, "33");
    ASSERT_TRUE(WriteAllData(program->link, program->maps).Ok());
    EXPECT_EQ(sim.Commits(), 2);
    auto list = List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].note, Tr(RestoreText::NoteCommit));
    std::string why;
    EXPECT_EQ(ReadRestorePoint(list[0].path, &why)->configuration, EditorConfiguration(*program));

    // A point that cannot be saved stops the commit; the values stay in the
    // working memory only and the user is told why.
    disk_full = true;
    program->maps.document.SetPoint(MapKind::LPG, 4, 21, MapEditCause::Key);
    screen.errors.clear();
    const auto tally = WriteAllData(program->link, program->maps);
    EXPECT_FALSE(tally.committed);
    EXPECT_EQ(sim.Commits(), 2);
    EXPECT_EQ(sim.Working().maps[0][4], 2100);
    EXPECT_EQ(sim.Eeprom().maps[0][4], 2000);
    ASSERT_EQ(screen.errors.size(), 1u);
    EXPECT_NE(screen.errors[0].find("No space left on device"), std::string::npos);
    EXPECT_NE(screen.errors[0].find(Tr(RestoreText::CommitStopped)), std::string::npos);
    EXPECT_EQ(List().size(), 1u);
}

// The small commits (a throttle calibration point, the start timeout) keep a
// point of what the EEPROM held first, send exactly what they sent without
// one, and commit nothing when the point cannot be saved.
TEST_F(RestoreFlowTest, SmallCommitsKeepTheOldValuesFirst) {
    auto& sim = Connect();
    const auto typed = [this](bool maximum, const char* text) {
        return [this, maximum, text] {
            screen.SetText(maximum ? "MAX_TPS_Value_Edit" : "MIN_TPS_Value_Edit", text);
            LiveContext ctx = program->Live();
            return maximum ? Fix_Manually_Set_MAX_TPS_Value_ButtonClick(ctx)
                           : Fix_Manually_Set_MIN_TPS_Value_ButtonClick(ctx);
        };
    };
    const auto timeout = [this](int seconds) {
        return [this, seconds] { return StoreStartTimeout(program->link, program->maps, seconds); };
    };
    struct Case {
        const char* name;
        std::function<bool()> store;
        bool full_disk;
        bool stored;   // what the handler returns
        int frames;    // frames the variator saw
        bool point;    // one point holding the old values
        sim::Configuration working, eeprom;
    };
    const auto with = [](auto change) {
        sim::Configuration c = DeviceSample();
        change(c);
        return c;
    };
    const auto max900 = with([](sim::Configuration& c) { c.tps_max = 900; });
    const auto min200 = with([](sim::Configuration& c) { c.tps_min = 200; });
    const auto timeout20 = with([](sim::Configuration& c) { c.start_timeout = 20; });
    const Case cases[] = {
        {"typed maximum", typed(true, "900"), false, true, 2, true, max900, max900},
        {"typed minimum", typed(false, "200"), false, true, 2, true, min200, min200},
        {"start timeout", timeout(20), false, true, 2, true, timeout20, timeout20},
        // No point, no commit: the value stays in the working memory only.
        {"typed maximum, disk full", typed(true, "900"), true, false, 1, false, max900, DeviceSample()},
        {"start timeout, disk full", timeout(20), true, false, 1, false, timeout20, DeviceSample()},
        // Refused before anything is sent: nothing to keep.
        {"not an integer", typed(true, "9x"), false, false, 0, false, DeviceSample(), DeviceSample()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetWorking(DeviceSample());
        sim.SetEeprom(DeviceSample());
        fs::remove_all(Points());
        ASSERT_TRUE(ReadAllData(program->link, program->maps).Ok());
        screen.errors.clear();
        disk_full = c.full_disk;
        const int frames = sim.FramesSeen();
        EXPECT_EQ(c.store(), c.stored);
        EXPECT_EQ(sim.FramesSeen() - frames, c.frames);
        EXPECT_EQ(sim.Working(), c.working);
        EXPECT_EQ(sim.Eeprom(), c.eeprom);
        const auto list = List();
        ASSERT_EQ(list.size(), c.point ? 1u : 0u);
        if (c.point) {
            std::string why;
            const auto point = ReadRestorePoint(list[0].path, &why);
            ASSERT_TRUE(point) << why;
            EXPECT_TRUE(CompareConfigurations(point->configuration, Expected()).Equal());
            EXPECT_EQ(point->configuration.tps_min, 310);
            EXPECT_EQ(point->configuration.tps_max, 870);
            EXPECT_EQ(point->configuration.timeout, "12");
        }
        if (c.full_disk) {
            ASSERT_EQ(screen.errors.size(), 1u);
            EXPECT_NE(screen.errors[0].find("No space left on device"), std::string::npos);
            EXPECT_NE(screen.errors[0].find(Tr(RestoreText::CommitStopped)), std::string::npos);
        }
    }
}

// A calibration point's commit stores what EEPROM holds plus the new end:
// its point keeps EEPROM's maps, not edits the fitter has not written, and
// where EEPROM's maps are unknown (nothing read yet) no point is invented.
TEST_F(RestoreFlowTest, CalibrationPointKeepsTheStoredMapsOrNone) {
    auto& sim = Connect();
    const auto store_max = [this](const char* text) {
        screen.SetText("MAX_TPS_Value_Edit", text);
        LiveContext ctx = program->Live();
        return Fix_Manually_Set_MAX_TPS_Value_ButtonClick(ctx);
    };
    sim.SetWorking(DeviceSample());
    sim.SetEeprom(DeviceSample());
    fs::remove_all(Points());
    // Nothing read: the commit goes through without a point.
    EXPECT_TRUE(store_max("880"));
    EXPECT_EQ(sim.Eeprom().tps_max, 880);
    EXPECT_TRUE(List().empty());

    ASSERT_TRUE(ReadAllData(program->link, program->maps).Ok());
    program->maps.document.SetPoint(MapKind::Petrol, 0, 7, MapEditCause::Key);
    EXPECT_TRUE(store_max("900"));
    const auto list = List();
    ASSERT_EQ(list.size(), 1u);
    std::string why;
    const auto point = ReadRestorePoint(list[0].path, &why);
    ASSERT_TRUE(point) << why;
    EXPECT_EQ(point->configuration.y, Expected().y);
    EXPECT_EQ(point->configuration.tps_max, 880);
}

TEST_F(RestoreFlowTest, FileLoadKeepsTheEditorFirstAndADamagedFileNothing) {
    program->maps.document.SetPoint(MapKind::Petrol, 0, 7, MapEditCause::Key);
    const Configuration edited = EditorConfiguration(*program);
    Configuration file = edited;
    file.y[1][0] = 3;
    const std::string name = dir / "tune.xml";
    ASSERT_TRUE(WriteFileAtomically(name, RestorePointXml(file, "", "")));
    WriteFileAtomically(dir / "broken.xml", "<variator60_2>");

    screen.file_choices = {dir / "broken.xml"};
    N2Click(screen, program->maps);
    EXPECT_EQ(List().size(), 0u);  // the file was refused before anything was kept
    EXPECT_EQ(program->maps.document.Y(MapKind::Petrol, 0), 7);

    disk_full = true;
    screen.file_choices = {name};
    N2Click(screen, program->maps);
    EXPECT_EQ(program->maps.document.Y(MapKind::Petrol, 0), 7);  // no point, no load

    disk_full = false;
    screen.file_choices = {name};
    N2Click(screen, program->maps);
    EXPECT_EQ(program->maps.document.Y(MapKind::Petrol, 0), 3);
    const auto list = List();
    ASSERT_EQ(list.size(), 1u);
    std::string why;
    EXPECT_EQ(ReadRestorePoint(list[0].path, &why)->configuration.y, edited.y);
    EXPECT_NE(list[0].note.find("tune.xml"), std::string::npos);
}

TEST_F(RestoreFlowTest, DamagedPointIsRefusedAndNothingIsSent) {
    auto& sim = Connect();
    const fs::path file = dir / "point.xml";
    WriteFileAtomically(file.string(), "<other><a/><b/><c/><d/><e/></other>");
    screen.errors.clear();
    EXPECT_FALSE(RestoreFromPoint(*program, file));
    ASSERT_EQ(screen.errors.size(), 1u);
    EXPECT_NE(screen.errors[0].find(file.string()), std::string::npos);
    EXPECT_NE(screen.errors[0].find("\"other\""), std::string::npos);
    EXPECT_EQ(sim.Commits(), 0);
    EXPECT_EQ(sim.Working(), DeviceSample());
    EXPECT_EQ(List().size(), 0u);
}

class UpdateBackupTest : public RestoreFlowTest {
protected:
    void Flash(sim::Variator& sim) {
        (void)sim;
        program->firmware.LoaderPort.search_timeouts = kQuickSearch;
        program->firmware.LoaderPort.transfer_timeouts = kQuickTransfer;
        const std::string image = dir / "image.evf0";
        WriteBytes(image, RandomImage(1024, 7));
        screen.file_choices = {image};
        program->firmware.FirmwareFileSelectButtonClick();
    }
    sim::Options Clearing() {
        sim::Options o;
        o.flash_clears_eeprom = true;
        return o;
    }
};

TEST_F(UpdateBackupTest, BackupBeforeTheSwitchRestoredAfterTheUpdate) {
    auto& sim = Connect(Clearing());
    screen.confirm_answer = true;  // restore what differs
    Flash(sim);
    ASSERT_TRUE(program->firmware.Confirmed());
    EXPECT_EQ(sim.LoaderUpdates(), 1);
    ASSERT_TRUE(program->update_backup);
    std::string why;
    const auto backup = ReadRestorePoint(*program->update_backup, &why);
    ASSERT_TRUE(backup) << why;
    EXPECT_EQ(backup->configuration, Expected());
    EXPECT_EQ(backup->note, Tr(RestoreText::NoteFirmwareUpdate));

    // The offer named the outcome and what differed; the restore wrote,
    // committed and read back the backup.
    ASSERT_EQ(screen.questions.size(), 1u);
    EXPECT_NE(screen.questions[0].find("прошивка обновлена успешно"), std::string::npos) << screen.questions[0];
    EXPECT_NE(screen.questions[0].find(program->update_backup->string()), std::string::npos);
    EXPECT_EQ(sim.Eeprom(), DeviceSample());
    EXPECT_EQ(sim.Working(), DeviceSample());
    EXPECT_EQ(CompareConfigurations(EditorConfiguration(*program), Expected()).Equal(), true);
    EXPECT_NE(screen.Text(kUpdateOutcomeStatus).find("прошивка обновлена успешно"), std::string::npos);
    EXPECT_EQ(screen.messages.back(),
              TrFormat(RestoreText::RestoreDone, "\"" + program->update_backup->string() + "\""));
}

TEST_F(UpdateBackupTest, DeclinedRestoreLeavesTheNewFirmwaresConfiguration) {
    auto& sim = Connect(Clearing());
    screen.confirm_answer = false;
    Flash(sim);
    ASSERT_TRUE(program->firmware.Confirmed());
    ASSERT_EQ(screen.questions.size(), 1u);
    EXPECT_EQ(sim.Eeprom(), sim::Configuration{});
    EXPECT_EQ(sim.Commits(), 0);

    // A later press whose file dialog is cancelled does not offer that
    // backup again.
    screen.questions.clear();
    screen.file_choices.clear();
    program->firmware.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.questions, std::vector<std::string>{});
}

TEST_F(UpdateBackupTest, FailedBackupReadAsksAndNoKeepsTheVariatorInItsFirmware) {
    auto& sim = Connect();
    sim.InjectFault(sim::Fault::NoReply, -1);
    screen.confirm_answer = false;
    Flash(sim);
    ASSERT_EQ(screen.questions.size(), 1u);
    EXPECT_EQ(screen.questions[0], Tr(RestoreText::BackupReadFailedQuestion));
    EXPECT_EQ(sim.LoaderUpdates(), 0);
    EXPECT_EQ(sim.Mode(), 1);
    EXPECT_FALSE(program->update_backup);
}

TEST_F(UpdateBackupTest, BackupThatCannotBeSavedStopsTheUpdate) {
    auto& sim = Connect();
    disk_full = true;
    Flash(sim);
    EXPECT_EQ(sim.LoaderUpdates(), 0);
    EXPECT_EQ(sim.Mode(), 1);
    ASSERT_FALSE(screen.errors.empty());
    EXPECT_NE(screen.errors.back().find(Tr(RestoreText::FlashStopped)), std::string::npos);
}

}  // namespace
}  // namespace tovrel::test
