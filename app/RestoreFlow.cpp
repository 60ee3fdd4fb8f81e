#include "RestoreFlow.h"

#include <chrono>
#include <ctime>
#include <utility>

#include "ConfigFile.h"
#include "DeviceConfiguration.h"
#include "MainWindowPage.h"
#include "MapControls.h"
#include "MapPage.h"
#include "NumberText.h"
#include "Program.h"

namespace tovrel {

namespace {

std::string ClockNow() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    return text;
}

std::string ParameterName(ConfigParameter which) {
    switch (which) {
        case ConfigParameter::StartTimeout: return Tr(RestoreText::StartTimeoutName);
        case ConfigParameter::TpsMinimum: return Tr(RestoreText::TpsMinimumName);
        case ConfigParameter::TpsMaximum: return Tr(RestoreText::TpsMaximumName);
    }
    return {};
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

// Writes the throttle sensor points a configuration holds (a device read or
// a restore point; a configuration file holds none) into the working memory.
bool WriteThrottlePoints(Program& program, const Configuration& target) {
    if (!target.tps_min && !target.tps_max) return true;
    DeviceLink& link = program.link;
    if (!link.IsConnected()) return false;
    if (link.LineBusy()) {
        program.screen.ShowNotice(Tr(kLineBusyMessage));
        return false;
    }
    DeviceLink::LineHold hold(link, {ProcedureKind::Write, "throttle points restore"});
    for (auto [address, value] : {std::pair{config_address::TpsMinimum, target.tps_min},
                                  std::pair{config_address::TpsMaximum, target.tps_max}}) {
        if (!value) continue;
        const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(*value));
        const std::int16_t r = link.UARTdataExchangeForTovrel(ExchangeOp::Write, address, 0, v, true, 2);
        if (link.LineSilent()) {
            link.ReportLineSilent();
            return false;
        }
        if (!link.LastExchangeOk() || r != v) {
            program.screen.ShowMessage(Tr(RestoreText::ThrottlePointsNotWritten));
            return false;
        }
    }
    return true;
}

}  // namespace

Configuration EditorConfiguration(const Program& program) {
    Configuration c;
    const TimingMaps& maps = program.maps.document.Maps();
    for (int m = 0; m < 4; ++m) c.y[static_cast<std::size_t>(m)] = maps[m].y;
    const SettingsPage page(program.screen);
    c.timeout = page.StartTimeout().Text();
    if (auto v = ParseInteger(page.TpsMinimum().Text())) c.tps_min = *v;
    if (auto v = ParseInteger(page.TpsMaximum().Text())) c.tps_max = *v;
    return c;
}

std::optional<Configuration> StoredConfiguration(const Program& program) {
    Configuration c = EditorConfiguration(program);
    for (int m = 0; m < 4; ++m) {
        const auto* stored = program.maps.device.Eeprom(kMapKinds[static_cast<std::size_t>(m)]);
        if (!stored) return std::nullopt;
        c.y[static_cast<std::size_t>(m)] = *stored;
    }
    return c;
}

std::string DifferenceSummary(const ConfigurationDiff& diff) {
    if (diff.Equal()) return Tr(RestoreText::NoDifference);
    std::string out;
    auto line = [&](const std::string& text) {
        if (!out.empty()) out += '\n';
        out += text;
    };
    for (const auto& m : diff.maps) {
        if (m.Equal()) continue;
        line(TrFormat(RestoreText::MapSummary, MapTitle(m.kind), std::to_string(m.points.size()),
                      FormatGeneral(m.largest), FormatGeneral(m.mean)));
    }
    for (const auto& p : diff.parameters)
        line(TrFormat(RestoreText::ParameterSummary, ParameterName(p.which),
                      p.ours.value_or(Tr(RestoreText::ParameterMissing)),
                      p.theirs.value_or(Tr(RestoreText::ParameterMissing))));
    return out;
}

bool SaveRestorePoint(Program& program, const Configuration& configuration, std::string_view note,
                      RestoreText stopped) {
    if (!program.restore_points) return true;
    std::string why;
    if (program.restore_points->Save(configuration, note, &why)) return true;
    program.screen.ShowError(why + "\n" + Tr(stopped));
    return false;
}

bool BackupBeforeUpdate(Program& program) {
    program.update_backup.reset();
    program.update_backup_configuration.reset();
    // A variator in its loader or its oscilloscope firmware has no
    // configuration to read; it is flashed as it is.
    if (!program.backup_before_update || !program.link.IsConnected()) return true;
    const auto read = ReadDeviceConfiguration(program.link);
    if (!read.configuration) {
        const bool go = program.flash_without_backup ? program.flash_without_backup()
                                                     : program.screen.Confirm(Tr(RestoreText::BackupReadFailedQuestion));
        return go;
    }
    program.update_backup_configuration = read.configuration;
    if (!program.restore_points) return true;
    std::string why;
    const auto path =
        program.restore_points->Save(*read.configuration, Tr(RestoreText::NoteFirmwareUpdate), &why);
    if (!path) {
        program.update_backup_configuration.reset();
        program.screen.ShowError(why + "\n" + Tr(RestoreText::FlashStopped));
        return false;
    }
    program.update_backup = *path;
    return true;
}

void AfterUpdate(Program& program) {
    const FirmwareUpdate& update = program.firmware;
    std::string outcome;
    if (update.Confirmed())
        outcome = TrFormat(RestoreText::UpdateSucceededAt, ClockNow());
    else if (update.image.size != 0 || update.Interrupted())
        outcome = TrFormat(RestoreText::UpdateFailedAt, ClockNow());
    if (!outcome.empty()) MainWindowPage(program.screen).UpdateOutcome().SetText(outcome);
    if (!program.offer_restore_after_update) return;
    // The backup is offered once: a later update that never reaches the
    // switch (a cancelled file dialog) must not offer it again.
    const auto kept = std::exchange(program.update_backup_configuration, std::nullopt);
    if (!kept || !program.link.IsConnected()) return;
    const Configuration backup = *kept;
    const auto diff = CompareConfigurations(EditorConfiguration(program), backup);
    if (diff.Equal()) return;
    const std::string source = program.update_backup ? program.update_backup->string() : std::string();
    if (!program.screen.Confirm(
            TrFormat(RestoreText::RestoreOfferQuestion, outcome, Quoted(source), DifferenceSummary(diff))))
        return;
    RestoreConfiguration(program, backup, source);
}

bool RestoreConfiguration(Program& program, const Configuration& target, std::string_view source) {
    if (!SaveRestorePoint(program, EditorConfiguration(program), TrFormat(RestoreText::NoteRestore, Quoted(source)),
                          RestoreText::RestoreStopped))
        return false;
    for (MapKind kind : kMapKinds) program.maps.document.SetMap(kind, target.Map(kind), MapEditCause::FileLoad);
    if (target.timeout) SettingsPage(program.screen).StartTimeout().SetText(*target.timeout);
    RefreshAllMapViews(program.screen, program.maps.document.Maps());
    // The throttle sensor's points go into the working memory first, so that
    // the commit of the whole configuration keeps them too.
    if (!WriteThrottlePoints(program, target)) return false;
    const TransferTally written = WriteAllData(program.link, program.maps);
    if (!written.Ok() || !written.committed) return false;
    const TransferTally read = ReadAllData(program.link, program.maps);
    if (!read.Ok()) return false;
    const auto diff = CompareConfigurations(EditorConfiguration(program), target);
    if (!diff.Equal()) {
        program.screen.ShowMessage(TrFormat(RestoreText::RestoreMismatch, Quoted(source), DifferenceSummary(diff)));
        return false;
    }
    program.screen.ShowMessage(TrFormat(RestoreText::RestoreDone, Quoted(source)));
    return true;
}

bool RestoreFromPoint(Program& program, const std::filesystem::path& file) {
    std::string why;
    const auto point = ReadRestorePoint(file, &why);
    if (!point) {
        program.screen.ShowError(TrFormat(RestoreText::PointRefused, why));
        return false;
    }
    return RestoreConfiguration(program, point->configuration, file.string());
}

std::string CompareSeriesName(MapKind kind) {
    const auto* c = FindMapControls(kind);
    return c ? MapPage::ComparisonName(*c) : std::string(MapKindName(kind)) + "Compare";
}

void DrawComparison(Program& program, const Configuration& theirs) {
    const TimingMaps& maps = program.maps.document.Maps();
    for (MapKind kind : kMapKinds) {
        std::vector<ChartPoint> points;
        points.reserve(MapPointCount);
        for (std::size_t i = 0; i < MapPointCount; ++i) points.push_back({maps[kind].x[i], theirs.Map(kind)[i]});
        MapPage(program.screen, *FindMapControls(kind)).ComparisonCurve().SetPoints(std::move(points));
    }
}

void CompareWithEditor(Program& program, const Configuration& theirs, std::string_view source) {
    Screen& screen = program.screen;
    DrawComparison(program, theirs);
    const auto diff = CompareConfigurations(EditorConfiguration(program), theirs);
    screen.ShowInfo(TrFormat(RestoreText::CompareResult, source, DifferenceSummary(diff)));
    for (const auto& m : diff.maps) {
        if (m.Equal()) continue;
        if (!screen.Confirm(TrFormat(RestoreText::TakeTheirsMapQuestion, MapTitle(m.kind), source))) continue;
        program.maps.document.SetMap(m.kind, theirs.Map(m.kind), MapEditCause::FileLoad);
    }
    for (const auto& p : diff.parameters) {
        // Only the start timeout lives in the editor; the throttle points are
        // the sensor's and are set on the throttle page.
        if (p.which != ConfigParameter::StartTimeout || !p.theirs) continue;
        if (screen.Confirm(
                TrFormat(RestoreText::TakeTheirsParameterQuestion, ParameterName(p.which), *p.theirs, source)))
            SettingsPage(screen).StartTimeout().SetText(*p.theirs);
    }
    RefreshAllMapViews(screen, program.maps.document.Maps());
}

void CompareEditorWithFile(Program& program) {
    const auto name = program.screen.ChooseFile(kOpenDialog, FileDialogMode::Open, kConfigFileFilter);
    if (!name) return;
    CompareEditorWithPoint(program, *name);
}

void CompareEditorWithDevice(Program& program) {
    const auto read = ReadDeviceConfiguration(program.link);
    if (!read.configuration) {
        program.screen.ShowMessage(Tr(RestoreText::DeviceReadFailed));
        return;
    }
    CompareWithEditor(program, *read.configuration, Tr(RestoreText::DeviceSide));
}

void CompareEditorWithPoint(Program& program, const std::filesystem::path& file) {
    std::string why;
    const auto point = ReadRestorePoint(file, &why);
    if (!point) {
        program.screen.ShowError(why);
        return;
    }
    CompareWithEditor(program, point->configuration, Quoted(file.string()));
}

void ComparePointWithDevice(Program& program, const std::filesystem::path& file) {
    std::string why;
    const auto point = ReadRestorePoint(file, &why);
    if (!point) {
        program.screen.ShowError(why);
        return;
    }
    const auto read = ReadDeviceConfiguration(program.link);
    if (!read.configuration) {
        program.screen.ShowMessage(Tr(RestoreText::DeviceReadFailed));
        return;
    }
    const auto diff = CompareConfigurations(point->configuration, *read.configuration);
    program.screen.ShowInfo(
        TrFormat(RestoreText::CompareResult, Tr(RestoreText::DeviceSide), DifferenceSummary(diff)));
}

void EndComparison(Program& program) {
    for (MapKind kind : kMapKinds) MapPage(program.screen, *FindMapControls(kind)).ComparisonCurve().SetPoints({});
}

void RestorePointClick(Program& program, const std::filesystem::path& file) {
    std::string why;
    const auto point = ReadRestorePoint(file, &why);
    if (!point) {
        program.screen.ShowError(TrFormat(RestoreText::PointRefused, why));
        return;
    }
    if (!program.screen.Confirm(TrFormat(RestoreText::RestoreQuestion, Quoted(file.string())))) return;
    RestoreConfiguration(program, point->configuration, file.string());
}

void WireRestorePoints(Program& program) {
    Program* p = &program;
    program.maps.before_commit = [p] {
        return SaveRestorePoint(*p, EditorConfiguration(*p), Tr(RestoreText::NoteCommit), RestoreText::CommitStopped);
    };
    // A calibration point's or the start timeout's commit overwrites what
    // EEPROM held: the point keeps that (the labels show the variator's ends
    // until the store is done). Where the maps in EEPROM are not known (the
    // command line's throttle commands read none), a point would hold maps
    // the variator never had, which a restore would write: none is made.
    program.live.before_commit = [p] {
        const auto stored = StoredConfiguration(*p);
        if (!stored) return true;
        return SaveRestorePoint(*p, *stored, Tr(RestoreText::NoteCommit), RestoreText::CommitStopped);
    };
    program.maps.before_file_load = [p](const std::string& file) {
        return SaveRestorePoint(*p, EditorConfiguration(*p), TrFormat(RestoreText::NoteFileLoad, Quoted(file)),
                                RestoreText::FileLoadStopped);
    };
    program.firmware.before_switch = [p] { return BackupBeforeUpdate(*p); };
    program.firmware.after_update = [p] { AfterUpdate(*p); };
}

}  // namespace tovrel
