#include "LogFile.h"

#include "ConfigurationReadWrite.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"
#include "Cp1251.h"
#include "SettingsTexts.h"

namespace tovrel {

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kLogTAddress = 143;
constexpr std::uint8_t kLogFlagsAddress = 144;
constexpr std::int16_t kReadValue = 1000;
constexpr std::int16_t kStartLogValue = 1000;
constexpr std::uint16_t kLogBusyBits = (1u << 11) | (1u << 12);

constexpr SettingsText kLimitMessage = SettingsText::LogLimit;
constexpr SettingsText kWriteFailedMessage = SettingsText::LogWriteFailed;
constexpr SettingsText kCopyFailedMessage = SettingsText::LogCopyFailed;

std::int16_t ReadEntryWord(LiveContext& ctx, std::uint8_t address, int index) {
    auto v = ctx.link.UARTdataExchangeForTovrel(ExchangeOp::Read, address, static_cast<std::uint8_t>(index),
                                                kReadValue, true, 5);
    if (!ctx.link.LastExchangeOk()) ++ctx.state.failed_exchanges;
    return v;
}

void Report(LiveContext& ctx, const LogCaptureReport& report) {
    if (ctx.state.on_log) ctx.state.on_log(report);
}

}  // namespace

void StartLOGButtonClick(LiveState& state) { state.StartLogRequested = true; }

std::string FormatLogFile(std::uint16_t timerDivision, std::uint16_t lowestMotorRpm, const LogBuffer& entries) {
    std::string text;
    text.reserve(96 * (kLogEntryCount + 2));
    char line[160];
    std::snprintf(line, sizeof line, "Шагов адаптации: %-5d\r\n", int{timerDivision});
    text += line;
    std::snprintf(line, sizeof line, "LMR: %-5d\r\n", int{lowestMotorRpm});
    text += line;
    for (int k = 0; k < kLogEntryCount; ++k) {
        const auto& e = entries[static_cast<std::size_t>(k)];
        std::snprintf(line, sizeof line, "№ %-5d RTC %-3d SYN_2b %-3d NGT_ERR %-3d L %-1d T %-5d\r\n", k, e.RTC(),
                      e.SYN_2b(), e.NGT_ERR(), e.L(), int{e.T});
        text += line;
    }
    return Utf8ToCp1251(text);
}

std::string DefaultLogsDirectory() { return LogDirectory(ProgramDirectory()).string(); }

std::uint64_t NextLogFileNumber(const std::string& dir) {
    std::uint64_t highest = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= 8 || name.compare(0, 4, "LOG_") != 0 || name.compare(name.size() - 4, 4, ".txt") != 0)
            continue;
        const std::string digits = name.substr(4, name.size() - 8);
        // Names whose number would not fit are someone else's files.
        if (digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::uint64_t n = std::stoull(digits);
        if (n > highest) highest = n;
    }
    return highest + 1;
}

LogCaptureReport WriteLogFile(LiveContext& ctx, const LogBuffer& entries) {
    LogCaptureReport report;
    report.capture = ctx.state.LogCounter;
    report.copied = true;
    const std::string dir = ctx.state.logs_dir.empty() ? DefaultLogsDirectory() : ctx.state.logs_dir;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        report.path = dir;
        report.error = "cannot create the directory " + dir + ": " + ec.message();
    } else {
        report.path = (fs::path(dir) / ("LOG_" + std::to_string(NextLogFileNumber(dir)) + ".txt")).string();
        const std::string bytes =
            FormatLogFile(ctx.options.TimerDivision, ctx.options.LowestMotorRpm, entries);
        report.written = WriteFileAtomically(report.path, bytes, &report.error);
    }
    if (!report.written) ctx.screen().ShowMessage(TrFormat(kWriteFailedMessage, report.error));
    return report;
}

void LogStep(LiveContext& ctx, std::uint16_t status) {
    auto& state = ctx.state;
    auto& screen = ctx.screen();
    const SettingsPage page(screen);
    if ((status & kLogBusyBits) == 0) {
        ++state.LogCounter;
        if (state.LogCounter < kLogCopyLimit + 1) {
            page.LogsCounter().SetOpaque(true);
            page.LogsCounter().SetColour(colours::Yellow);
            LogBuffer entries{};
            // An entry that did not come is not written as zeros: the copy
            // ends there and no file is made. So does a line that has gone
            // silent or a device that vanished. The monitor's stop waits for
            // the copy (a stop of the whole program, Ctrl+C twice, does not).
            struct CopyRunning {
                bool& flag;
                explicit CopyRunning(bool& f) : flag(f) { flag = true; }
                ~CopyRunning() { flag = false; }
            } running(state.LogCopyRunning);
            std::string why;
            for (int j = 0; j < kLogEntryCount && why.empty(); ++j) {
                auto& e = entries[static_cast<std::size_t>(j)];
                e.T = static_cast<std::uint16_t>(ReadEntryWord(ctx, kLogTAddress, j));
                bool ok = ctx.link.LastExchangeOk();
                screen.Pump();
                if (ok && !ctx.link.StopRequested()) {
                    e.flags = static_cast<std::uint16_t>(ReadEntryWord(ctx, kLogFlagsAddress, j));
                    ok = ctx.link.LastExchangeOk();
                }
                page.LogsCounter().SetText(std::to_string(j));
                screen.Pump();
                if (ctx.link.StopRequested()) why = "not copied: stopped at entry " + std::to_string(j);
                else if (!ok || ctx.link.LineSilent())
                    why = "not copied: entry " + std::to_string(j) + " could not be read";
            }
            if (why.empty()) {
                Report(ctx, WriteLogFile(ctx, entries));
            } else {
                if (!ctx.link.StopRequested() && !ctx.link.LineSilent())
                    screen.ShowMessage(TrFormat(kCopyFailedMessage, std::to_string(state.LogCounter)));
                LogCaptureReport report;
                report.capture = state.LogCounter;
                report.error = why;
                Report(ctx, report);
            }
        } else {
            // The log stays in the variator until it makes the next one: say so
            // once, and account for every capture that was left there.
            if (++state.logs_not_copied == 1) screen.ShowMessage(Tr(kLimitMessage));
            LogCaptureReport report;
            report.capture = state.LogCounter;
            report.error = "not copied: the limit of " + std::to_string(kLogCopyLimit) + " captures per run was reached";
            Report(ctx, report);
        }
    }
    if (state.LogCounter == 0) {
        page.LogsCounter().SetOpaque(true);
        page.LogsCounter().SetColour(colours::Green);
        if (state.StartLogRequested) {
            ctx.link.UARTdataExchangeForTovrel(ExchangeOp::Write, kLogTAddress, 0, kStartLogValue, true, 2);
            if (!ctx.link.LastExchangeOk()) ++state.failed_exchanges;
            state.StartLogRequested = false;
        }
    } else {
        page.LogsCounter().SetOpaque(true);
        page.LogsCounter().SetColour(colours::Red);
        page.LogsCounter().SetText(std::to_string(state.LogCounter));
    }
}

}  // namespace tovrel
