// Device log files: the exact bytes, the log step's capture and start
// request, the file numbering, the captures past the limit, unwritable
// directories, and a capture from the simulated engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Engine.h"
#include "LogFile.h"
#include "Monitor.h"
#include "live_fake_device.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        auto end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at));  // an unterminated rest
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST(LogFileBytes, Windows1251LinesWithCFieldWidths) {
    LogBuffer entries{};
    entries[7] = {1234, static_cast<std::uint16_t>((200 << 8) | (1 << 7) | (3 << 5) | 31)};
    entries[255] = {65535, static_cast<std::uint16_t>((5 << 8) | (2 << 5) | 4)};
    const std::string bytes = FormatLogFile(16, 100, entries);

    const auto lines = CrLfLines(bytes);
    ASSERT_EQ(lines.size(), 258u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 258);
    // "Шагов адаптации: " in Windows-1251.
    EXPECT_EQ(lines[0], "\xD8\xE0\xE3\xEE\xE2 \xE0\xE4\xE0\xEF\xF2\xE0\xF6\xE8\xE8: 16   ");
    EXPECT_EQ(lines[1], "LMR: 100  ");
    // "№" is the single byte 0xB9; flags low byte 0 gives L 0, SYN_2b -1, NGT_ERR 0.
    EXPECT_EQ(lines[2], "\xB9 0     RTC 0   SYN_2b -1  NGT_ERR 0   L 0 T 0    ");
    EXPECT_EQ(lines[9], "\xB9 7     RTC 200 SYN_2b 2   NGT_ERR 31  L 1 T 1234 ");
    EXPECT_EQ(lines[257], "\xB9 255   RTC 5   SYN_2b 1   NGT_ERR 4   L 0 T 65535");
}

TEST(LogFileBytes, WideHeaderValuesAreNotCut) {
    const auto lines = CrLfLines(FormatLogFile(65535, 2550, LogBuffer{}));
    EXPECT_EQ(lines[0].substr(lines[0].size() - 7), ": 65535");
    EXPECT_EQ(lines[1], "LMR: 2550 ");
}

TEST(LogFileNumbers, NextNumberFollowsTheHighestLogFileInTheDirectory) {
    TempDir dir;
    EXPECT_EQ(NextLogFileNumber(dir / "missing"), 1u);
    EXPECT_EQ(NextLogFileNumber(dir.path()), 1u);
    for (const char* name : {"LOG_3.txt", "LOG_10.txt", "LOG_x.txt", "LOG_.txt", "LOG_12.txt.bak", "log_40.txt",
                             "LOG_99999999999999999999999.txt"})
        std::ofstream(dir / name) << "x";
    EXPECT_EQ(NextLogFileNumber(dir.path()), 11u);
}

// ----------------------------------------------------------- the log step

class LogStepTest : public LiveFixture {
protected:
    LogStepTest() {
        options.TimerDivision = 16;
        options.LowestMotorRpm = 100;
        for (int j = 0; j < kLogEntryCount; ++j) {
            const auto i = static_cast<std::uint8_t>(j);
            buffer[i] = {static_cast<std::uint16_t>(1000 + j), static_cast<std::uint16_t>(j * 257)};
            device->indexed[{143, i}] = buffer[i].T;
            device->indexed[{144, i}] = buffer[i].flags;
        }
        live.on_log = [this](const LogCaptureReport& r) { reports.push_back(r); };
    }
    std::string LogsDir() const { return live.logs_dir; }

    LogBuffer buffer{};
    std::vector<LogCaptureReport> reports;
};

TEST_F(LogStepTest, CaptureCopiesTheWholeBufferIntoTheFirstFile) {
    LogStep(ctx, 0x0000);
    ASSERT_EQ(device->requests.size(), 512u);
    for (int j = 0; j < kLogEntryCount; ++j) {
        const auto& t = device->requests[static_cast<std::size_t>(2 * j)];
        const auto& f = device->requests[static_cast<std::size_t>(2 * j + 1)];
        EXPECT_TRUE(!t.write && t.address == 143 && t.index == j && t.value == 1000);
        EXPECT_TRUE(!f.write && f.address == 144 && f.index == j && f.value == 1000);
    }
    EXPECT_EQ(live.LogCounter, 1);
    const std::string path = LogsDir() + "/LOG_1.txt";
    EXPECT_EQ(ReadFile(path), FormatLogFile(16, 100, buffer));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].written);
    EXPECT_EQ(reports[0].path, path);

    // Yellow while copying with the entry number, then red with the count.
    auto texts = screen.Texts(kLogsCounterLabel);
    ASSERT_EQ(texts.size(), 257u);
    EXPECT_EQ(texts[0], "0");
    EXPECT_EQ(texts[255], "255");
    EXPECT_EQ(texts[256], "1");
    std::vector<Rgb> colours_set;
    for (const auto& e : screen.events)
        if (e.control == kLogsCounterLabel && e.property == Property::Colour) colours_set.push_back(std::get<Rgb>(e.value));
    EXPECT_EQ(colours_set, (std::vector<Rgb>{colours::Yellow, colours::Red}));
    EXPECT_TRUE(screen.Flag(kLogsCounterLabel, Property::Opaque));
}

TEST_F(LogStepTest, BusyLogStateNeverCapturesWhateverTheStartRequest) {
    StartLOGButtonClick(live);
    for (std::uint16_t status : {0x0800, 0x1000, 0x1800, 0xFFFF}) LogStep(ctx, status);
    EXPECT_EQ(device->Reads(143) + device->Reads(144), 0);
    EXPECT_EQ(live.LogCounter, 0);
    EXPECT_EQ(screen.Colour(kLogsCounterLabel), colours::Green);
    EXPECT_FALSE(fs::exists(LogsDir()));
}

TEST_F(LogStepTest, StartRequestIsSentOnceAndOnlyBeforeTheFirstCapture) {
    StartLOGButtonClick(live);
    LogStep(ctx, 0x0800);
    LogStep(ctx, 0x0800);
    auto writes = device->Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 143);
    EXPECT_EQ(writes[0].index, 0);
    EXPECT_EQ(writes[0].value, 1000);
    EXPECT_FALSE(live.StartLogRequested);

    LogStep(ctx, 0x0000);  // the first capture
    StartLOGButtonClick(live);
    LogStep(ctx, 0x0800);
    EXPECT_EQ(device->Writes().size(), 1u);
    EXPECT_TRUE(live.StartLogRequested);  // stays set, never sent
}

TEST_F(LogStepTest, FileNumbersContinueAfterEarlierRunsWhileTheCounterCountsThisRun) {
    fs::create_directories(LogsDir());
    std::ofstream(LogsDir() + "/LOG_1.txt") << "an earlier run";
    std::ofstream(LogsDir() + "/LOG_4.txt") << "an earlier run";
    LogStep(ctx, 0);
    LogStep(ctx, 0);
    EXPECT_EQ(ReadFile(LogsDir() + "/LOG_1.txt"), "an earlier run");
    EXPECT_EQ(ReadFile(LogsDir() + "/LOG_4.txt"), "an earlier run");
    EXPECT_EQ(ReadFile(LogsDir() + "/LOG_5.txt"), FormatLogFile(16, 100, buffer));
    EXPECT_TRUE(fs::exists(LogsDir() + "/LOG_6.txt"));
    EXPECT_EQ(live.LogCounter, 2);
    EXPECT_EQ(screen.Text(kLogsCounterLabel), "2");
}

TEST_F(LogStepTest, CapturesFromTheTenthOnAreCountedNotCopiedAndToldOnce) {
    live.LogCounter = 8;
    for (int i = 0; i < 3; ++i) LogStep(ctx, 0);
    EXPECT_EQ(device->Reads(143), 256);  // only the ninth capture was copied
    EXPECT_EQ(live.LogCounter, 11);
    EXPECT_EQ(screen.Text(kLogsCounterLabel), "11");
    EXPECT_EQ(screen.Colour(kLogsCounterLabel), colours::Red);
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_NE(screen.messages[0].find("перезапустите программу"), std::string::npos);
    EXPECT_EQ(live.logs_not_copied, 2);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(reports[0].written);
    EXPECT_FALSE(reports[1].copied);
    EXPECT_EQ(reports[2].capture, 11);
    EXPECT_EQ(std::distance(fs::directory_iterator(LogsDir()), fs::directory_iterator()), 1);
}

TEST_F(LogStepTest, UnwritableDirectoryIsReportedAndTheCaptureStillCounts) {
    std::ofstream(logs / "plain-file") << "x";
    live.logs_dir = logs / "plain-file" + "/LOGs";
    LogStep(ctx, 0);
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].rfind("Не удалось записать файл журнала: ", 0), 0u);
    EXPECT_NE(screen.messages[0].find("plain-file"), std::string::npos);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].copied);
    EXPECT_FALSE(reports[0].written);
    EXPECT_EQ(live.LogCounter, 1);
    EXPECT_EQ(screen.Text(kLogsCounterLabel), "1");
}

// A monitor stop pressed during a capture is taken up once the capture and
// its file are finished: the log the variator handed over is not lost. A
// line that dies during the copy still ends it at once, with no file.
TEST_F(LogStepTest, MonitorStopPressedDuringACaptureWaitsForTheCopyAndItsFile) {
    for (const bool line_dies : {false, true}) {
        SCOPED_TRACE(line_dies ? "the line dies after the stop" : "the line stays");
        std::filesystem::remove_all(LogsDir());
        reports.clear();
        screen.Clear();
        live.LogCounter = 0;
        device->requests.clear();
        options.DeviceCapabilities.ReadFromDevice((1u << 9) | (1u << 10));  // the firmware keeps logs
        screen.SetChecked(kLogsCheckBox, true);
        device->scripts[130] = {0x0000};  // a finished log in pass 0 only
        device->values[130] = 0x0800;
        device->respond = nullptr;
        screen.on_pump = [&] {
            if (device->Reads(143) == 100 && !live.RealtimeStopRequested && guard.RealtimeReadingActive) {
                GetRealtimeParametersButtonClick(ctx);
                if (line_dies) device->respond = [](const Request&) { return std::optional<std::uint16_t>{}; };
            }
        };
        GetRealtimeParametersButtonClick(ctx);
        EXPECT_EQ(device->Reads(128), 1);  // the run ended with pass 0
        ASSERT_EQ(reports.size(), 1u);
        if (line_dies) {
            EXPECT_LT(device->Reads(143), 110);
            EXPECT_FALSE(reports[0].copied);
            EXPECT_FALSE(std::filesystem::exists(LogsDir() + "/LOG_1.txt"));
        } else {
            EXPECT_EQ(device->Reads(143), 256);
            EXPECT_EQ(device->Reads(144), 256);
            EXPECT_TRUE(reports[0].written);
            EXPECT_EQ(ReadFile(LogsDir() + "/LOG_1.txt"), FormatLogFile(16, 100, buffer));
            EXPECT_TRUE(screen.messages.empty());
        }
        EXPECT_FALSE(live.LogCopyRunning);
        EXPECT_FALSE(link.StopRequested());
        EXPECT_FALSE(guard.RealtimeReadingActive);
    }
}

// ------------------------------------------------------ against the engine

class LogEngineTest : public SimFixture {};

TEST_F(LogEngineTest, MonitorCapturesTheEnginesLogByteForByte) {
    auto& sim = AddSim(1);
    sim::EngineOptions o;
    o.frozen = true;
    o.log_entry_ms = 0;  // a started log is finished at once
    o.seed = 7;
    auto engine = std::make_shared<sim::Engine>(o);
    sim.AddAddressHandler(engine);
    ASSERT_EQ(link->Connect(1, false), 1);

    WriteGuard guard;
    DeviceOptions options;
    options.TimerDivision = 16;
    options.LowestMotorRpm = 100;
    LiveState live;
    live.logs_dir = dir / "LOGs";
    LiveContext ctx{*link, guard, options, live};
    options.DeviceCapabilities.ReadFromDevice((1u << 9) | (1u << 10));  // the firmware keeps logs
    screen.SetChecked(kLogsCheckBox, true);
    StartLOGButtonClick(live);
    live.monitor_passes = 3;  // start request, capture, nothing more
    GetRealtimeParametersButtonClick(ctx);

    EXPECT_EQ(engine->LogsStarted(), 1);
    EXPECT_EQ(live.LogCounter, 1);
    EXPECT_EQ(engine->GetLogState(), sim::Engine::LogState::Idle);
    LogBuffer expected{};
    const auto words = engine->LogBuffer();
    for (std::size_t j = 0; j < words.size(); ++j) expected[j] = {words[j].t, words[j].flags};
    EXPECT_EQ(ReadFile(dir / "LOGs/LOG_1.txt"), FormatLogFile(16, 100, expected));
    EXPECT_FALSE(fs::exists(dir / "LOGs/LOG_2.txt"));
    EXPECT_TRUE(screen.messages.empty());
}

}  // namespace
}  // namespace tovrel::test
