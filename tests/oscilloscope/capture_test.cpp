// Captures against the simulated oscilloscope firmware: the record files
// against what the variator sent, the texts of each ending, the stop frame,
// the button and the cancel request.
#include <gtest/gtest.h>

#include <fstream>

#include <filesystem>
#include <optional>

#include "MockPort.h"
#include "ScopeFixture.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;
constexpr std::string_view kButton = "ConnectAndShowOsciillButton";

class CaptureTest : public ScopeFixture {
protected:
    void ExpectButtonUsable() {
        EXPECT_EQ(screen.Text(kButton), Tr(oscill_text::ButtonCaption));
        EXPECT_TRUE(screen.IsEnabled(kButton));
        EXPECT_FALSE(scope->Capturing());
    }
    // Leaves only the record files and the port link in the directory.
    bool NoTemporaryLeft() const {
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(".signal", 0) == 0) return false;
        return true;
    }
};

TEST_F(CaptureTest, BothModesWriteEverySentRecord) {
    for (bool mode32 : {false, true}) {
        SCOPED_TRACE(mode32 ? "32-bit" : "16-bit");
        sims.clear();
        link->Disconnect();
        auto o = ScopeOptions();
        o.scope_records = 700;
        StartScope(o);
        Capture(mode32);

        EXPECT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
        EXPECT_EQ(log->LastRequestWas32Bit(), mode32);
        EXPECT_TRUE(log->EndRecordSent());
        EXPECT_EQ(log->StartFrames(), 1);
        EXPECT_EQ(log->StopFrames(), 1);
        auto file = ParseRecordFile(ReadBytes(RecordFile(mode32)), mode32);
        EXPECT_TRUE(file.crlf_everywhere);
        EXPECT_EQ(file.head, "Шагов адаптации: 4    ");
        ExpectFileMatchesSent(file, 700, mode32);
        EXPECT_EQ(scope->RecordsWritten(), 700u);

        // The texts in the order the capture showed them.
        auto texts = screen.Texts("Oscill_Label");
        std::vector<std::string> head(texts.begin(), texts.begin() + 7);
        EXPECT_EQ(head, (std::vector<std::string>{
                            std::string(Tr(oscill_text::Starting)), "Прошли 1 шаг инициализации. Ожидайте...",
                            "Прошли 2 шаг инициализации. Ожидайте...", "Прошли 3 шаг инициализации. Ожидайте...",
                            "Финально прошли 4 шаг инициализации. Ожидайте...", std::string(Tr(oscill_text::RequestSent)),
                            "Записали 0 периодов осциллограммы. Ждите окончания записи."}));
        EXPECT_TRUE(screen.Showed("Oscill_Label", Tr(oscill_text::DataArriving)));
        EXPECT_TRUE(screen.Showed("Oscill_Label", "Записали 699 периодов осциллограммы. Ждите окончания записи."));
        EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::FinishedByDevice));
        EXPECT_FALSE(screen.IsVisible("Oscill_Memo"));
        EXPECT_TRUE(screen.messages.empty());
        EXPECT_TRUE(screen.errors.empty());
        EXPECT_EQ(slept_ms, 2000);  // the pause after the final initialisation frame
        ExpectButtonUsable();
        EXPECT_TRUE(NoTemporaryLeft());
        EXPECT_FALSE(link->LineBusy());
    }
}

// Black runs along a row of the picture: (start, length).
std::vector<std::pair<int, int>> BlackRuns(const ImageCanvas& c, int y, int x_end) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < x_end; ++x) {
        if (c.Pixel(x, y) != Rgb{0, 0, 0}) continue;
        int start = x;
        while (x < x_end && c.Pixel(x, y) == Rgb{0, 0, 0}) ++x;
        runs.emplace_back(start, x - start);
    }
    return runs;
}

TEST_F(CaptureTest, PictureShowsTheSquareWaveWithTheWheelsGap) {
    auto o = ScopeOptions();
    o.scope_rpm = 800;  // a half period of 10000 units: 8 pixels; the gap 50000: 41 pixels
    StartScope(o);
    Capture(false);
    ASSERT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
    ASSERT_EQ(canvas.Width(), 10000);
    ASSERT_EQ(canvas.Height(), kOscillImageHeight);

    // Only the first 200 records are drawn: their steps end where the wave ends.
    const auto sent = log->Records();
    int end_x = 0;
    for (int k = 0; k < 200; ++k) end_x += (sent[static_cast<std::size_t>(k)][2] << 8 | sent[static_cast<std::size_t>(k)][3]) / 1200;
    EXPECT_EQ(scope->plot().OscillogramPlotX, static_cast<std::uint64_t>(end_x));
    EXPECT_EQ(canvas.Pixel(end_x + 10, 10), (Rgb{230, 230, 230}));
    EXPECT_EQ(canvas.Pixel(end_x + 10, 300), (Rgb{230, 230, 230}));
    EXPECT_EQ(canvas.Pixel(end_x + 10, 260), (Rgb{128, 128, 128}));  // mid line

    // High segments on row 10 and low segments on row 300 take turns; two
    // lows are the long gap of the missing teeth.
    auto highs = BlackRuns(canvas, 10, end_x - 2);
    auto lows = BlackRuns(canvas, 300, end_x - 2);
    ASSERT_GT(highs.size(), 80u);
    ASSERT_GT(lows.size(), 80u);
    highs.pop_back();  // the last run may be cut short where the scan ends
    lows.pop_back();
    int gaps = 0;
    for (const auto& [x, len] : lows) {
        if (len > 30) {
            ++gaps;
            EXPECT_NEAR(len, 41 + 3, 3) << "at " << x;
        } else {
            EXPECT_NEAR(len, 8 + 3, 2) << "at " << x;
        }
    }
    EXPECT_EQ(gaps, 2);
    for (const auto& [x, len] : highs) EXPECT_NEAR(len, 8 + 3, 2) << "at " << x;
    // Between the rows the edges are vertical lines; elsewhere the background.
    EXPECT_EQ(canvas.Pixel(highs[5].first + 1, 150), (Rgb{0, 0, 0}));
    EXPECT_EQ(canvas.Pixel(highs[5].first + 5, 150), (Rgb{230, 230, 230}));
}

struct FaultCase {
    const char* name;
    sim::ScopeFault fault;
    int at;
    std::vector<std::string> label_texts;  // shown, in this order
    CaptureEnd end;
    std::size_t records;                   // in the file
    bool error_shown;                      // "Вариатор прекратил отправку данных"
    int stop_frames;
};

TEST_F(CaptureTest, EachFaultEndsWithItsText) {
    const FaultCase cases[] = {
        {"wrong marker", sim::ScopeFault::WrongMarker, 50,
         {"Байт принят неверно. Должен быть 0xAA, а приняли: 85 !!!"}, CaptureEnd::StreamStopped, 50, true, 0},
        {"stream stops", sim::ScopeFault::StreamStops, 70, {}, CaptureEnd::StreamStopped, 70, true, 0},
        {"no start answer", sim::ScopeFault::NoStartAnswer, 0,
         {"RightAnswer1", "RightAnswer2"}, CaptureEnd::StreamStopped, 0, true, 0},
        {"bad start answer", sim::ScopeFault::BadStartAnswer, 0,
         {"RightAnswer2", std::string(Tr(oscill_text::FinishedByDevice))}, CaptureEnd::FinishedByDevice, 400, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        // A good record file of an earlier capture.
        std::ofstream(RecordFile(false), std::ios::binary) << "earlier capture\r\n";
        auto o = ScopeOptions();
        o.scope_fault = c.fault;
        o.scope_fault_record = c.at;
        StartScope(o);
        Capture(false);

        EXPECT_EQ(scope->LastEnd(), c.end);
        auto texts = screen.Texts("Oscill_Label");
        auto from = texts.begin();
        for (const auto& t : c.label_texts) {
            from = std::find(from, texts.end(), t);
            EXPECT_NE(from, texts.end()) << t;
        }
        EXPECT_EQ(screen.Showed("Oscill_Label", "RightAnswer1"), c.fault == sim::ScopeFault::NoStartAnswer);
        if (c.error_shown) {
            EXPECT_EQ(screen.errors, std::vector<std::string>{std::string(Tr(oscill_text::StreamStopped))});
        } else {
            EXPECT_TRUE(screen.errors.empty());
        }
        EXPECT_EQ(log->StopFrames(), c.stop_frames);
        // The records before the fault stay in the file; a capture without
        // any (no answer to its start frame) leaves the earlier file alone.
        if (c.records == 0) {
            EXPECT_EQ(ReadBytes(RecordFile(false)), "earlier capture\r\n");
        } else {
            auto file = ParseRecordFile(ReadBytes(RecordFile(false)), false);
            EXPECT_EQ(file.head, "Шагов адаптации: 4    ");
            ExpectFileMatchesSent(file, c.records, false);
        }
        ExpectButtonUsable();
        EXPECT_TRUE(NoTemporaryLeft());
    }
}

TEST_F(CaptureTest, TheButtonWorksAgainAfterAWrongMarker) {
    auto o = ScopeOptions();
    o.scope_fault = sim::ScopeFault::WrongMarker;
    o.scope_fault_record = 20;
    o.scope_records = 300;
    StartScope(o);
    Capture(false);
    ASSERT_EQ(scope->LastEnd(), CaptureEnd::StreamStopped);
    // The variator goes on streaming; the next capture drains that and starts
    // afresh (the fault strikes once per stream).
    screen.Clear();
    Capture(true);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::StreamStopped);  // record 20 is wrong again
    EXPECT_EQ(log->StreamRequests(), 2);
    auto file = ParseRecordFile(ReadBytes(RecordFile(true)), true);
    ExpectFileMatchesSent(file, 20, true);
}

TEST_F(CaptureTest, WrongDeviceModeSendsNothing) {
    struct Case {
        std::uint8_t mode;
        std::string message;
        std::vector<int> pages;
        CaptureEnd end;
    };
    const Case cases[] = {
        {0, std::string(Tr(oscill_text::NotConnected)), {}, CaptureEnd::NotConnected},
        {1, std::string(Tr(oscill_text::NeedsOscilloscopeFirmware)), {11}, CaptureEnd::WrongMode},
        {2, std::string(Tr(oscill_text::NeedsOscilloscopeFirmware)), {11}, CaptureEnd::WrongMode},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        screen.Clear();
        SetUpOscilloscopePage(screen);
        link->DeviceMode = c.mode;
        Capture(false);
        EXPECT_EQ(scope->LastEnd(), c.end);
        EXPECT_EQ(screen.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(screen.pages, c.pages);
        // The start texts were shown and the picture cleared before the check;
        // the instructions are back, as nothing was recorded.
        EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::Starting));
        EXPECT_TRUE(screen.IsVisible("Oscill_Memo"));
        EXPECT_EQ(canvas.Width(), 10000);
        EXPECT_FALSE(fs::exists(RecordFile(false)));
        ExpectButtonUsable();
    }
}

TEST_F(CaptureTest, EndRecordFirstLeavesTheHeadLineOnly) {
    auto o = ScopeOptions();
    o.scope_records = 0;
    StartScope(o);
    Capture(true);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
    EXPECT_EQ(ReadBytes(RecordFile(true)), Utf8ToCp1251("Шагов адаптации: 4    \r\n"));
    EXPECT_EQ(log->StopFrames(), 1);
    EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::FinishedByDevice));
}

TEST_F(CaptureTest, LongPeriodsFillThePictureIn16BitMode) {
    auto o = ScopeOptions();
    o.scope_rpm = 50;  // every half period is over 65535 units: 54 pixels each
    o.scope_records = -1;
    StartScope(o);
    Capture(false);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::Finished);
    EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::Finished));
    EXPECT_EQ(log->StopFrames(), 1);
    // 185 records of 54 pixels fit in 10000; the 186th is written as 65535.
    auto file = ParseRecordFile(ReadBytes(RecordFile(false)), false);
    ASSERT_EQ(file.records.size(), 186u);
    EXPECT_EQ(file.records[184].number, 184);
    EXPECT_EQ(file.records[185].number, 65535);
    EXPECT_EQ(file.records[185].length, 65535);
    EXPECT_EQ(scope->plot().OscillogramPlotX, 186u * 54u);
    EXPECT_EQ(canvas.PenPosition().x, 185 * 54);
}

TEST_F(CaptureTest, SilentInitialisationIsBounded) {
    auto o = ScopeOptions();
    o.scope_init_steps = 0;  // the firmware never finishes its initialisation
    StartScope(o);
    Capture(false);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::InitialisationSilent);
    EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::InitialisationSilent));
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(oscill_text::InitialisationSilent))});
    EXPECT_EQ(log->StopFrames(), 1);
    EXPECT_FALSE(fs::exists(RecordFile(false)));
    ExpectButtonUsable();
}

TEST_F(CaptureTest, ASecondPressCancelsAWaitingCapture) {
    struct Case {
        const char* name;
        int init_steps;
        sim::ScopeFault fault;
        int fault_at;
        int records;
        std::string press_at;  // the user presses again while the label starts with this
        int press_on_pump;     // ... at this pump of that label
        std::size_t kept;      // records kept in the file; 0: the older file stays
    };
    const Case cases[] = {
        {"during the initialisation", 0, sim::ScopeFault::None, 0, 400, std::string(Tr(oscill_text::Starting)), 3, 0},
        {"waiting for the start answer", 4, sim::ScopeFault::NoStartAnswer, 0, 400, "Финально прошли", 3, 0},
        {"waiting for the first pulse", 4, sim::ScopeFault::StreamStops, 0, 400, std::string(Tr(oscill_text::RequestSent)),
         3, 0},
        {"while recording", 4, sim::ScopeFault::None, 0, -1, "Записали 1005 ", 1, 1006},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        {
            std::ofstream(RecordFile(false), std::ios::binary) << "older";
        }
        auto o = ScopeOptions();
        o.scope_init_steps = c.init_steps;
        o.scope_fault = c.fault;
        o.scope_fault_record = c.fault_at;
        o.scope_records = c.records;
        StartScope(o);
        // Long waits, so that only the press can end them in time.
        scope->timings.init_silence_ms = 30000;
        scope->timings.wait_ms = 30000;
        int pumps = 0;
        screen.on_pump = [&] {
            if (screen.Text("Oscill_Label").rfind(c.press_at, 0) != 0 || ++pumps != c.press_on_pump) return;
            EXPECT_EQ(screen.Text(kButton), Tr(oscill_text::ButtonBusyCaption));
            EXPECT_TRUE(screen.IsEnabled(kButton));
            scope->ConnectAndShowOsciillButtonClick();
        };
        Capture(false);
        screen.on_pump = nullptr;
        EXPECT_EQ(scope->LastEnd(), CaptureEnd::Cancelled);
        EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::Cancelled));
        EXPECT_TRUE(screen.messages.empty());
        EXPECT_EQ(log->StopFrames(), 1);
        if (c.kept > 0) {
            auto file = ParseRecordFile(ReadBytes(RecordFile(false)), false);
            ExpectFileMatchesSent(file, c.kept, false);
        } else {
            EXPECT_EQ(ReadBytes(RecordFile(false)), "older");
        }
        EXPECT_TRUE(NoTemporaryLeft());
        ExpectButtonUsable();
        // The instructions come back unless the picture holds records.
        EXPECT_EQ(screen.IsVisible("Oscill_Memo"), c.kept == 0);
        scope->timings.init_silence_ms = 600;
        scope->timings.wait_ms = 1500;
    }
}

// Presses stamped when the user made them, as the window queues them: the
// second half of a double click, or a press made before the capture began,
// leaves the capture running; a deliberate later press stops it.
TEST_F(CaptureTest, OnlyADeliberateSecondPressStopsTheCapture) {
    using Clock = Oscilloscope::Clock;
    using std::chrono::milliseconds;
    struct Case {
        const char* name;
        int first_ago_ms;  // how long before it is handled the first press was made
        // When the second press was made, after the first; negative: at the
        // first pump of the capture, as it is handled.
        int second_after_ms;
        CaptureEnd end;
    };
    const Case cases[] = {
        {"second half of a double click", 0, 150, CaptureEnd::FinishedByDevice},
        {"both made while the line was busy elsewhere", 1000, 600, CaptureEnd::FinishedByDevice},
        {"a deliberate later press", 1000, -1, CaptureEnd::Cancelled},
    };
    // Each run with a capture that has seen no press before.
    auto fresh = [this] {
        sims.clear();
        link->Disconnect();
        const auto timings = scope->timings;
        scope = std::make_unique<Oscilloscope>(*link, canvas);
        scope->record_dir = dir.path();
        scope->timings = timings;
        scope->double_click_ms = 400;
        StartScope(ScopeOptions());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        screen.SetChecked("Oscilloscope_32_Mode_CheckBox", false);
        const auto first = Clock::now() - milliseconds(c.first_ago_ms);
        bool pressed = false;
        screen.on_pump = [&] {
            if (pressed) return;
            pressed = true;
            scope->ConnectAndShowOsciillButtonClick(c.second_after_ms < 0 ? Clock::now()
                                                                         : first + milliseconds(c.second_after_ms));
        };
        scope->ConnectAndShowOsciillButtonClick(first);
        screen.on_pump = nullptr;
        EXPECT_TRUE(pressed);
        EXPECT_EQ(scope->LastEnd(), c.end);
        EXPECT_EQ(log->StreamRequests(), c.end == CaptureEnd::Cancelled ? 0 : 1);
        EXPECT_EQ(scope->RecordsWritten(), c.end == CaptureEnd::Cancelled ? 0u : 400u);
        EXPECT_EQ(screen.IsVisible("Oscill_Memo"), c.end == CaptureEnd::Cancelled);
        ExpectButtonUsable();
    }

    // A press made during the capture that reaches the handler only after
    // the capture ended was meant for that capture: it starts no other. A
    // press made afterwards does.
    fresh();
    std::optional<Clock::time_point> during;
    screen.on_pump = [&] {
        if (!during) during = Clock::now();
    };
    scope->ConnectAndShowOsciillButtonClick(Clock::now() - milliseconds(1000));
    screen.on_pump = nullptr;
    ASSERT_TRUE(during);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
    scope->ConnectAndShowOsciillButtonClick(*during);
    EXPECT_EQ(log->StreamRequests(), 1);
    scope->ConnectAndShowOsciillButtonClick(Clock::now());
    EXPECT_EQ(log->StreamRequests(), 2);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
}

TEST_F(CaptureTest, RecordFileThatCannotBeCreatedEndsAfterTheStopFrame) {
    StartScope(ScopeOptions());
    scope->record_dir = dir / "no-such-directory";
    Capture(false);
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::FileFailed);
    EXPECT_TRUE(screen.Showed("Oscill_Label", oscill_text::CannotOpenFile));
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_NE(screen.messages[0].find("signal.txt"), std::string::npos);
    EXPECT_EQ(log->StopFrames(), 1);
    EXPECT_FALSE(fs::exists(dir / "no-such-directory"));
    EXPECT_TRUE(NoTemporaryLeft());
    ExpectButtonUsable();
}

TEST_F(CaptureTest, PressWhileTheLineIsBusyIsRefused) {
    StartScope(ScopeOptions());
    {
        DeviceLink::LineHold hold(*link);
        Capture(false);
    }
    EXPECT_EQ(scope->LastEnd(), CaptureEnd::LineBusy);
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
    EXPECT_EQ(log->StreamRequests(), 0);
    ExpectButtonUsable();
}

// ---------------------------------------------------------------- scripted
// The exact frames and the record limit, with a scripted port.

std::vector<std::uint8_t> Frame(std::uint8_t a, std::uint8_t i, std::uint16_t v) {
    auto hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v & 0xFF);
    return {0xAA, a, i, hi, lo, static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)};
}

class ScriptedCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        link->sleep_ms = [](int) {};
        link->DeviceMode = 3;
        scope = std::make_unique<Oscilloscope>(*link, canvas);
        scope->record_dir = dir.path();
        scope->timings.init_silence_ms = 50;
        scope->timings.wait_ms = 50;
        SetUpOscilloscopePage(screen);
    }
    // Input that follows the seventh byte of the stream request and of the
    // start frame.
    void Script(std::vector<std::uint8_t> after_request, std::vector<std::uint8_t> after_start) {
        for (int k = 0; k < 6; ++k) port->replies.emplace_back();
        port->replies.push_back(std::move(after_request));
        for (int k = 0; k < 6; ++k) port->replies.emplace_back();
        port->replies.push_back(std::move(after_start));
    }
    // Everything written, joined into frames of seven bytes.
    std::vector<std::vector<std::uint8_t>> SentFrames() const {
        std::vector<std::uint8_t> all;
        for (const auto& w : port->written) all.insert(all.end(), w.begin(), w.end());
        std::vector<std::vector<std::uint8_t>> frames;
        for (std::size_t k = 0; k + 7 <= all.size(); k += 7) frames.emplace_back(all.begin() + static_cast<long>(k), all.begin() + static_cast<long>(k) + 7);
        EXPECT_EQ(all.size() % 7, 0u);
        return frames;
    }

    TempDir dir;
    RecordingScreen screen;
    MockPort* port = nullptr;
    std::unique_ptr<DeviceLink> link;
    ImageCanvas canvas{kOscillImageWidth, kOscillImageHeight};
    std::unique_ptr<Oscilloscope> scope;
};

TEST_F(ScriptedCaptureTest, StopFrameFollowsThe50000thRecord) {
    // Initialisation with junk the capture must skip: a stray byte, a frame of
    // another address and one of another index.
    std::vector<std::uint8_t> init = {0x13};
    for (auto f : {Frame(0x87, 3, 9), Frame(0x88, 7, 9), Frame(0x88, 2, 1), Frame(0x88, 3, 12)})
        init.insert(init.end(), f.begin(), f.end());
    std::vector<std::uint8_t> stream(scope_frame::StartAnswer, scope_frame::StartAnswer + 7);
    for (int k = 0; k < 50001; ++k) {
        const auto len = static_cast<std::uint16_t>(3000 + k % 1000);
        stream.insert(stream.end(), {0xAA, static_cast<std::uint8_t>((k % 2) << 7 | ((k / 2) % 58 + 1)),
                                     static_cast<std::uint8_t>(len >> 8), static_cast<std::uint8_t>(len)});
    }
    Script(init, stream);
    scope->ConnectAndShowOsciillButtonClick();

    EXPECT_EQ(scope->LastEnd(), CaptureEnd::Finished);
    EXPECT_EQ(screen.Text("Oscill_Label"), Tr(oscill_text::Finished));
    EXPECT_TRUE(screen.Showed("Oscill_Label", "Прошли 1 шаг инициализации. Ожидайте..."));
    EXPECT_FALSE(screen.Showed("Oscill_Label", "Прошли 9 шаг инициализации. Ожидайте..."));
    EXPECT_FALSE(screen.Showed("Oscill_Label", "RightAnswer2"));
    const auto frames = SentFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], std::vector<std::uint8_t>(scope_frame::StreamRequest16, scope_frame::StreamRequest16 + 7));
    EXPECT_EQ(frames[1], std::vector<std::uint8_t>(scope_frame::Start, scope_frame::Start + 7));
    EXPECT_EQ(frames[2], std::vector<std::uint8_t>(scope_frame::Stop, scope_frame::Stop + 7));
    // One record remains unread when the stop frame goes out.
    EXPECT_EQ(port->input.size(), 0u);  // the final drain took it
    auto file = ParseRecordFile(ReadBytes(dir / "signal.txt"), false);
    EXPECT_EQ(file.head, "Шагов адаптации: 12   ");
    ASSERT_EQ(file.records.size(), 50000u);
    EXPECT_EQ(file.records.back().number, 49999);
    EXPECT_EQ(file.records.back().length, 3000 + 49999 % 1000);
    EXPECT_EQ(port->timeouts.back(), 5000);  // left behind by a capture the program ended
}

TEST_F(ScriptedCaptureTest, ThirtyTwoBitRequestAndWrongAnswer) {
    std::vector<std::uint8_t> stream = {0x55, 0x74, 0xFE, 0xCC, 0xCC, 0x33, 0x34};  // last byte wrong
    stream.insert(stream.end(), {0xAA, 0x85, 0x80, 0x00, 0x00, 0x00});           // length 2^31
    stream.insert(stream.end(), {0xAA, 0xFF, 0, 0, 0, 0});
    Script(Frame(0x88, 3, 7), stream);
    screen.SetChecked("Oscilloscope_32_Mode_CheckBox", true);
    scope->ConnectAndShowOsciillButtonClick();

    EXPECT_EQ(scope->LastEnd(), CaptureEnd::FinishedByDevice);
    EXPECT_TRUE(scope->Oscill32BitMode);
    EXPECT_FALSE(screen.Showed("Oscill_Label", "RightAnswer1"));
    EXPECT_TRUE(screen.Showed("Oscill_Label", "RightAnswer2"));
    const auto frames = SentFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], std::vector<std::uint8_t>(scope_frame::StreamRequest32, scope_frame::StreamRequest32 + 7));
    EXPECT_EQ(frames[2], std::vector<std::uint8_t>(scope_frame::Stop, scope_frame::Stop + 7));
    auto file = ParseRecordFile(ReadBytes(dir / "signal32.txt"), true);
    ASSERT_EQ(file.records.size(), 1u);
    EXPECT_EQ(file.records[0].length, -2147483648LL);
    EXPECT_EQ(port->timeouts.back(), scope->timings.wait_ms);  // after an end record
}

using Bytes = std::vector<std::uint8_t>;
Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A line whose bytes come `gap_ms` apart: a one-byte read gets its byte only
// when its timeout covers what is left of the gap (time is counted, not
// waited).
class GappyPort : public MockPort {
public:
    int gap_ms = 0;
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        if (n != 1 || input.empty() || gap_ms == 0) return MockPort::Read(buffer, n);
        const int t = timeouts.empty() ? 0 : timeouts.back();
        if (waited_ + t < gap_ms) {
            waited_ += t;
            return false;
        }
        waited_ = 0;
        return MockPort::Read(buffer, n);
    }

private:
    int waited_ = 0;
};

// A device that goes away: once `gone_after_writes` bytes were written,
// every read call fails as a real port's does when the device is unplugged.
class VanishingPort : public LoaderSerialPort {
public:
    std::size_t gone_after_writes = 0;
    std::deque<std::vector<std::uint8_t>>& replies = mock_.replies;

    bool Open(const std::string& p, std::uint32_t b, std::int32_t t) override { return mock_.Open(p, b, t); }
    bool SetTimeout(std::int32_t t) override { return mock_.SetTimeout(t); }
    bool Purge() override { return mock_.Purge(); }
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override { return mock_.Write(bytes, n); }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override { return !Gone() && mock_.Read(buffer, n); }
    bool Close() override { return mock_.Close(); }
    bool IsOpen() const override { return mock_.IsOpen(); }
    bool OpenDevice(const std::string&) override { return false; }
    bool SetLineSettings(std::uint32_t) override { return IsOpen(); }
    bool SetQueueSizes(std::uint32_t, std::uint32_t) override { return IsOpen(); }
    bool SetTimeouts(const SerialTimeouts&) override { return IsOpen(); }
    TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t n) override {
        if (Gone()) return {false, 0};
        std::uint32_t i = 0;
        for (; i < n && !mock_.input.empty(); ++i) {
            buffer[i] = mock_.input.front();
            mock_.input.pop_front();
        }
        return {true, i};
    }
    TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t n) override {
        return {Write(bytes, n), n};
    }
    bool Drain() override { return IsOpen(); }

private:
    bool Gone() const { return mock_.written.size() >= gone_after_writes; }
    MockPort mock_;
};

TEST(VanishingDeviceCapture, EndsAtOnceWithItsTextWhereverItWaits) {
    struct Case {
        const char* name;
        std::size_t gone_after_writes;  // bytes written: 7 stream request, 14 with the start frame
        Bytes after_request;
        CaptureEnd end;
        std::string text;
    };
    const Case cases[] = {
        {"waiting for the initialisation", 7, {}, CaptureEnd::LineLost, Tr(oscill_text::LineLost)},
        {"inside an initialisation frame", 7, {0xAA, 0x88}, CaptureEnd::LineLost, Tr(oscill_text::LineLost)},
        {"waiting for the start answer", 14, Frame(0x88, 3, 4), CaptureEnd::LineLost, Tr(oscill_text::LineLost)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RecordingScreen screen;
        auto p = std::make_unique<VanishingPort>();
        auto* port = p.get();
        port->gone_after_writes = c.gone_after_writes;
        for (int k = 0; k < 6; ++k) port->replies.emplace_back();
        port->replies.push_back(c.after_request);
        DeviceLink link(screen, std::move(p));
        link.sleep_ms = [](int) {};
        link.DeviceMode = 3;
        ImageCanvas canvas(kOscillImageWidth, kOscillImageHeight);
        Oscilloscope scope(link, canvas);
        scope.record_dir = dir.path();
        // Waits far longer than the test may take: a dead line must not wait them out.
        scope.timings.wait_ms = 60000;
        scope.timings.init_silence_ms = 60000;
        scope.timings.drain_ms = 10;
        SetUpOscilloscopePage(screen);
        const auto start = std::chrono::steady_clock::now();
        scope.ConnectAndShowOsciillButtonClick();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(scope.LastEnd(), c.end);
        EXPECT_EQ(screen.Text("Oscill_Label"), c.text);
        EXPECT_EQ(screen.messages.back(), std::string(c.text));
        EXPECT_FALSE(std::filesystem::exists(dir / "signal.txt"));
    }
}

TEST(SlowLineCapture, FrameBytesSlowerThanTheSliceAreStillRead) {
    // Every byte comes 60 ms after the one before: slower than the 20 ms
    // slice in which the capture pumps messages, well within the 1000 ms a
    // byte of a frame may take.
    TempDir dir;
    RecordingScreen screen;
    auto p = std::make_unique<GappyPort>();
    auto* port = p.get();
    port->gap_ms = 60;
    DeviceLink link(screen, std::move(p));
    link.sleep_ms = [](int) {};
    link.DeviceMode = 3;
    ImageCanvas canvas(kOscillImageWidth, kOscillImageHeight);
    Oscilloscope scope(link, canvas);
    scope.record_dir = dir.path();
    scope.timings.slice_ms = 20;
    scope.timings.wait_ms = 1000;
    scope.timings.init_silence_ms = 2000;
    scope.timings.drain_ms = 10;
    SetUpOscilloscopePage(screen);
    for (int k = 0; k < 6; ++k) port->replies.emplace_back();
    port->replies.push_back(Join({Frame(0x88, 2, 1), Frame(0x88, 3, 2)}));
    for (int k = 0; k < 6; ++k) port->replies.emplace_back();
    Bytes stream(scope_frame::StartAnswer, scope_frame::StartAnswer + 7);
    stream.insert(stream.end(), {0xAA, 0x85, 0x01, 0x2C, 0xAA, 0xFF, 0x00, 0x00});
    port->replies.push_back(stream);
    scope.ConnectAndShowOsciillButtonClick();

    EXPECT_EQ(scope.LastEnd(), CaptureEnd::FinishedByDevice);
    EXPECT_TRUE(screen.Showed("Oscill_Label", "Прошли 1 шаг инициализации. Ожидайте..."));
    EXPECT_FALSE(screen.Showed("Oscill_Label", "RightAnswer1"));
    auto file = ParseRecordFile(ReadBytes(dir / "signal.txt"), false);
    EXPECT_EQ(file.head, "Шагов адаптации: 2    ");
    ASSERT_EQ(file.records.size(), 1u);
    EXPECT_EQ(file.records[0].length, 300);
}

}  // namespace
}  // namespace tovrel::test

namespace tovrel::test {
namespace {

// A line that, once noisy, never goes quiet: every read delivers a byte.
class NoisyPort : public MockPort {
public:
    bool noisy = false;
    std::size_t noisy_after_writes = 0;  // 0: noisy from the start
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override {
        bool ok = MockPort::Write(bytes, n);
        if (noisy_after_writes && written.size() == noisy_after_writes) noisy = true;
        return ok;
    }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override {
        if (!noisy) return MockPort::Read(buffer, n);
        for (std::uint32_t k = 0; k < n; ++k) buffer[k] = 0x13;
        return true;
    }
};

TEST(NoisyLineCapture, EndlessInputEndsTheWaitsWithTheirTexts) {
    struct Case {
        const char* name;
        std::size_t noisy_after_writes;
        CaptureEnd end;
        std::string text;
        std::size_t frames_sent;
    };
    const Case cases[] = {
        {"noisy before the request", 0, CaptureEnd::LineNotQuiet, Tr(oscill_text::LineNotQuiet), 1},
        {"noisy after the request", 7, CaptureEnd::InitialisationSilent, Tr(oscill_text::InitialisationSilent), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RecordingScreen screen;
        auto p = std::make_unique<NoisyPort>();
        auto* port = p.get();
        port->noisy = c.noisy_after_writes == 0;
        port->noisy_after_writes = c.noisy_after_writes;
        DeviceLink link(screen, std::move(p));
        link.sleep_ms = [](int) {};
        link.DeviceMode = 3;
        ImageCanvas canvas(kOscillImageWidth, kOscillImageHeight);
        Oscilloscope scope(link, canvas);
        scope.record_dir = dir.path();
        scope.timings.init_silence_ms = 150;
        scope.timings.drain_limit_ms = 100;
        scope.timings.slice_ms = 10;
        SetUpOscilloscopePage(screen);
        int pumps = 0;
        screen.on_pump = [&] { ++pumps; };
        scope.ConnectAndShowOsciillButtonClick();

        EXPECT_EQ(scope.LastEnd(), c.end);
        EXPECT_EQ(screen.Text("Oscill_Label"), c.text);
        EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(c.text)});
        // The request (when it went out) and the stop frame, byte by byte.
        ASSERT_EQ(port->written.size(), c.frames_sent * 7);
        EXPECT_EQ(port->written.back(), std::vector<std::uint8_t>{0xFF});
        if (c.end == CaptureEnd::InitialisationSilent) {
            EXPECT_GT(pumps, 2);  // the window stayed responsive
        }
        EXPECT_EQ(screen.Text("ConnectAndShowOsciillButton"), Tr(oscill_text::ButtonCaption));
    }
}

}  // namespace
}  // namespace tovrel::test
