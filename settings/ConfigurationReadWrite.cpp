#include "ConfigurationReadWrite.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "ConfigFile.h"
#include "MainWindowPage.h"
#include "NumberText.h"
#include "Platform.h"
#include "View3D.h"
#include "SettingsPage.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace fs = std::filesystem;

namespace {

constexpr std::int16_t kReadRequestValue = 1000;
constexpr std::int8_t kAttempts = 2;

constexpr SettingsText kDipSwitchMessage = SettingsText::DipSwitchOn;
constexpr SettingsText kLimitedFirmwareMessage = SettingsText::LimitedFirmware;
constexpr SettingsText kFlashAgainMessage = SettingsText::FlashAgain;
constexpr SettingsText kDirectoryErrorMessage = SettingsText::DirectoryError;
constexpr SettingsText kUserLogDirectoryMessage = SettingsText::UserLogDirectory;

std::int16_t Exchange(DeviceLink& link, ExchangeOp op, std::uint8_t address, std::int16_t value,
                      TransferTally& tally) {
    const std::int16_t r = link.UARTdataExchangeForTovrel(op, address, 0, value, true, kAttempts);
    ++tally.exchanges;
    if (!link.LastExchangeOk() || (op == ExchangeOp::Write && r != value)) ++tally.failed;
    return r;
}

std::uint16_t ReadWord(DeviceLink& link, std::uint8_t address, TransferTally& tally) {
    return static_cast<std::uint16_t>(Exchange(link, ExchangeOp::Read, address, kReadRequestValue, tally));
}

bool Commit(DeviceLink& link, TransferTally& tally) {
    DeviceLink::LineHold hold(link, {ProcedureKind::Write, "commit"});
    ++tally.exchanges;
    if (CommitToEEPROM(link)) return true;
    ++tally.failed;
    return false;
}

bool StoreTimeout(DeviceLink& link, MapsState& state, int seconds, TransferTally& tally) {
    DeviceLink::LineHold hold(link, {ProcedureKind::Write, "start timeout write"});
    const int failed = tally.failed;
    const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(seconds));
    Exchange(link, ExchangeOp::Write, config_address::StartTimeout, value, tally);
    // The value stays in the working memory only when no restore point could
    // be kept of what the EEPROM is about to lose.
    if (state.before_commit && !state.before_commit()) return false;
    Commit(link, tally);
    return tally.failed == failed;
}

// Ends a procedure on a line that has gone silent; says so once.
bool Silent(DeviceLink& link) {
    if (!link.LineSilent()) return false;
    link.ReportLineSilent();
    return true;
}

void RepaintAndPump(Screen& screen, const Control& control) {
    control.Repaint();
    screen.Pump();
}

// Makes sure the log directory exists; shows the system's error number when
// it cannot be made.
void PrepareLogDirectory(Screen& screen, SettingsState& settings) {
    const fs::path dir = LogDirectory(settings.program_dir);
    if (dir != settings.program_dir / "LOGs" && !settings.log_directory_announced) {
        settings.log_directory_announced = true;
        screen.ShowMessage(TrFormat(kUserLogDirectoryMessage, dir.string()));
    }
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return;
    fs::create_directories(dir, ec);
    if (!ec && fs::is_directory(dir)) return;
    const int code = ec ? ec.value() : EEXIST;  // a file of that name is in the way
    screen.ShowMessage(TrFormat(kDirectoryErrorMessage, std::to_string(code)));
}

}  // namespace

fs::path ProgramDirectory() { return platform::ProgramDirectory(); }

fs::path UserDataDirectory() { return platform::UserDataDirectory(); }

fs::path ChooseLogDirectory(const fs::path& program_dir, const fs::path& user_data_dir,
                            bool (*writable)(const fs::path&)) {
    const fs::path beside = program_dir / "LOGs";
    std::error_code ec;
    // Whatever stands in the way of the folder beside the program is reported
    // when it is made; only a folder we may not write moves the logs.
    const bool exists = fs::exists(beside, ec);
    if (exists ? !fs::is_directory(beside, ec) || writable(beside)
               : !fs::is_directory(program_dir, ec) || writable(program_dir))
        return beside;
    return user_data_dir / "LOGs";
}

fs::path LogDirectory(const fs::path& program_dir) {
    return ChooseLogDirectory(program_dir, UserDataDirectory(),
                              [](const fs::path& p) { return platform::IsWritable(p); });
}

void InitConfigurationControls(Screen& screen) {
    const SettingsPage page(screen);
    const MainWindowPage window(screen);
    page.Tab().SetText(Tr(SettingsText::SettingsTab));
    page.ParametersBox().SetText(Tr(SettingsText::SettingsBox));
    window.ReadButton().SetText(Tr(SettingsText::ReadButton));
    window.WriteButton().SetText(Tr(SettingsText::WriteButton));
    page.StartTimeout().SetText("0");
    page.StartTimeoutCaption().SetText(Tr(SettingsText::StartTimeoutLabel));
    page.StartTimeoutLimit().SetText(Tr(SettingsText::StartTimeoutLimit));
    page.TpsMaximum().SetText("n/a");
    page.TpsMinimum().SetText("n/a");
    page.TpsMaximumCaption().SetText(Tr(SettingsText::TpsMaxLabel));
    page.TpsMinimumCaption().SetText(Tr(SettingsText::TpsMinLabel));
    page.LowestMotorRpm().SetText("0");
    page.LowestMotorRpmUnit().SetText("RPM");
    page.TimerDivision().SetText("0");
    for (const auto& service : page.DeviceOptionLabels()) service.SetVisible(false);
    page.StartLogButton().SetText("Start LOG");
    page.LogsCheckBox().SetText("LOGs ");
    for (const auto& control : page.LogControls()) control.SetVisible(false);
}

TransferTally ReadDeviceOptions(DeviceLink& link, SettingsState& settings) {
    TransferTally tally;
    Screen& screen = link.screen();
    if (link.LineBusy()) {
        screen.ShowNotice(Tr(kLineBusyMessage));
        return tally;
    }
    auto& options = settings.options;
    options.DeviceCapabilities.word = 0;
    if (!link.IsConnected()) return tally;
    DeviceLink::LineHold hold(link, {ProcedureKind::Ordinary, "device options read"});

    const std::uint16_t switches = ReadWord(link, config_address::SwitchWord, tally);
    if (Silent(link)) return tally;
    if (switches & (1u << 7)) screen.ShowMessage(Tr(kDipSwitchMessage));
    options.LowestMotorRpm = static_cast<std::uint16_t>((switches >> 8) * 10);
    SettingsPage(screen).LowestMotorRpm().SetText(std::to_string(options.LowestMotorRpm));

    options.TimerDivision = ReadWord(link, config_address::TimerDivision, tally);
    if (Silent(link)) return tally;
    SettingsPage(screen).TimerDivision().SetText(std::to_string(options.TimerDivision));

    options.DeviceCapabilities.ReadFromDevice(ReadWord(link, config_address::Capabilities, tally));
    if (Silent(link)) return tally;
    const auto& caps = options.DeviceCapabilities;
    if (caps.Bit(8)) screen.ShowMessage(Tr(kLimitedFirmwareMessage));
    const bool logs = caps.KeepsLogs();
    for (const auto& control : SettingsPage(screen).LogControls()) control.SetVisible(logs);
    RepaintAndPump(screen, MainWindowPage(screen).Window());
    if (logs) PrepareLogDirectory(screen, settings);
    if (caps.Bit(0)) screen.ShowMessage(Tr(kFlashAgainMessage));
    tally.completed = true;
    return tally;
}

TransferTally ReadAllData(DeviceLink& link, MapsState& state) {
    TransferTally tally;
    Screen& screen = link.screen();
    // Checked before the markers go in: a write-all running underneath would
    // otherwise send them to the engine.
    if (link.LineBusy()) {
        screen.ShowNotice(Tr(kLineBusyMessage));
        return tally;
    }
    ResetMapsToUnread(state.document);
    if (!link.IsConnected()) return tally;
    DeviceLink::LineHold hold(link, {ProcedureKind::Ordinary, "read all"});
    MapTransferHold transfer(state);

    for (int m = 0; m < 4; ++m) {
        const auto& c = MapControlsAt(m);
        screen.SelectPage(c.chart_page);
        const TransferTally map = ReadMap(link, c.kind, state.document);
        tally += map;
        if (!map.completed) return tally;  // a silent line
        state.device.Read(c.kind, state.document.Map(c.kind));
        // The chart was drawn after every point; once the map is read its
        // views are refreshed whole (the grid, and the chart's colours), the
        // 3D views once all four are.
        ShowMapInChart(screen, state.document.Maps(), c.kind);
        ShowMapInGrid(screen, state.document.Maps(), c.kind);
        RepaintAndPump(screen, MainWindowPage(screen).Pages());
    }
    BuildLPG3DView(screen, state.document.Maps());
    BuildPetrol3DView(screen, state.document.Maps());

    const auto timeout = static_cast<std::int16_t>(ReadWord(link, config_address::StartTimeout, tally));
    if (Silent(link)) return tally;
    SettingsPage(screen).StartTimeout().SetText(std::to_string(timeout));
    const std::uint16_t tps_min = ReadWord(link, config_address::TpsMinimum, tally);
    if (Silent(link)) return tally;
    const std::uint16_t tps_max = ReadWord(link, config_address::TpsMaximum, tally);
    if (Silent(link)) return tally;
    SettingsPage(screen).TpsMinimum().SetText(std::to_string(tps_min));
    SettingsPage(screen).TpsMaximum().SetText(std::to_string(tps_max));

    screen.SelectPage(page::Settings);
    RepaintAndPump(screen, MainWindowPage(screen).Pages());
    RepaintAndPump(screen, MainWindowPage(screen).Window());
    tally.completed = true;
    return tally;
}

TransferTally WriteAllData(DeviceLink& link, MapsState& state) {
    TransferTally tally;
    Screen& screen = link.screen();
    if (!link.IsConnected()) return tally;
    if (state.guard.CheckWriteAllowed(screen) != 0) return tally;
    if (link.LineBusy()) {
        screen.ShowNotice(Tr(kLineBusyMessage));
        return tally;
    }
    // Every map is checked before the first one goes out: a value no editor
    // can make (a file's 70000 degrees, the not-yet-read markers) must not
    // reach the engine as its low 16 bits.
    for (int m = 0; m < 4; ++m) {
        if (auto why = UnsendableValueMessage(MapControlsAt(m).kind, state.document.Maps()[m])) {
            screen.ShowMessage(*why);
            return tally;
        }
    }
    DeviceLink::LineHold hold(link, {ProcedureKind::Write, "write all"});
    MapTransferHold transfer(state);

    std::array<std::vector<int>, 4> unconfirmed;
    for (int m = 0; m < 4; ++m) {
        const auto& c = MapControlsAt(m);
        screen.SelectPage(c.chart_page);
        RepaintAndPump(screen, MainWindowPage(screen).Pages());
        TransferTally map = WriteMap(link, c.kind, state.document.Maps()[m]);
        unconfirmed[static_cast<std::size_t>(m)] = map.unconfirmed;
        tally += map;
        if (!map.completed) return tally;  // a silent line: nothing is committed
    }
    const std::string text = SettingsPage(screen).StartTimeout().Text();
    const auto seconds = ParseInteger(text);
    if (!seconds) {
        // The maps stay in the variator's working copy only.
        screen.ShowError(NotAnIntegerMessage(text));
        return tally;
    }
    // Points the variator did not confirm get a second write; one whose
    // confirmation is lost again counts when reading it back shows the value.
    std::string missing;
    for (int m = 0; m < 4; ++m) {
        const auto& c = MapControlsAt(m);
        std::string points;
        for (int i : unconfirmed[static_cast<std::size_t>(m)]) {
            const auto index = static_cast<std::uint8_t>(i);
            const std::int16_t v = EncodeMapValue(c.kind, state.document.Maps()[m].y[static_cast<std::size_t>(i)]);
            const std::int16_t w = link.UARTdataExchangeForTovrel(ExchangeOp::Write, c.address, index, v, true, kAttempts);
            ++tally.exchanges;
            bool ok = link.LastExchangeOk() && w == v;
            if (!ok && !link.LineSilent()) {
                const std::int16_t r = link.UARTdataExchangeForTovrel(ExchangeOp::Read, c.address, index, 100, true,
                                                                      kAttempts);
                ++tally.exchanges;
                ok = link.LastExchangeOk() && EncodeMapValue(c.kind, DecodeMapValue(c.kind, r)) == v;
            }
            if (ok) {
                --tally.failed;
            } else {
                if (!points.empty()) points += ", ";
                points += std::to_string(i + 1);
            }
            if (link.LineSilent()) {
                link.ReportLineSilent();
                return tally;
            }
        }
        if (!points.empty()) {
            if (!missing.empty()) missing += "; ";
            missing += TrFormat(SettingsText::MapPointsNotConfirmed, MapTitle(c.kind), MapKindName(c.kind), points);
        }
        if (points.empty()) state.device.Written(c.kind, state.document.Maps()[m]);
    }
    const auto timeout_value = static_cast<std::int16_t>(static_cast<std::uint16_t>(*seconds));
    {
        const int failed = tally.failed;
        Exchange(link, ExchangeOp::Write, config_address::StartTimeout, timeout_value, tally);
        if (tally.failed != failed) {
            if (!missing.empty()) missing += "; ";
            missing += Tr(SettingsText::StartTimeoutNotConfirmed);
        }
        if (link.LineSilent()) {
            link.ReportLineSilent();
            return tally;
        }
    }
    // EEPROM gets a mix of old and new values only when the user says so.
    if (!missing.empty() &&
        !screen.Confirm(TrFormat(SettingsText::WriteNotConfirmedQuestion, missing))) {
        screen.ShowMessage(TrFormat(SettingsText::ParametersNotCommitted, missing));
        return tally;
    }
    if (state.before_commit && !state.before_commit()) return tally;
    const bool first = Commit(link, tally);
    const bool second = Commit(link, tally);
    tally.committed = first || second;
    if (tally.committed) state.device.Committed();
    tally.completed = true;
    return tally;
}

bool StoreStartTimeout(DeviceLink& link, MapsState& state, int seconds) {
    if (!link.IsConnected()) return false;
    TransferTally tally;
    return StoreTimeout(link, state, seconds, tally);
}

}  // namespace tovrel
