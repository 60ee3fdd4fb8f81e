#include "Ocsilloscope.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "NumberText.h"
#include "ScopeStream.h"
#include "MainWindowPage.h"
#include "Shell.h"
#include "OscilloscopeTexts.h"

namespace tovrel {

namespace {


// The address the instructions give for sending record files.
constexpr std::string_view kServiceAddress = "service@tovrel.example";

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::string Number(double v) { return FormatGeneral(v); }

}  // namespace

std::string InitialisationStepText(unsigned step) {
    return TrFormat(OscilloscopeText::InitialisationStep, Number(step));
}
std::string FinalInitialisationStepText(unsigned step) {
    return TrFormat(OscilloscopeText::FinalInitialisationStep, Number(step));
}
std::string WrongMarkerText(std::uint8_t marker) {
    return TrFormat(OscilloscopeText::WrongMarker, Number(marker));
}
std::string RecordedText(std::uint32_t count) {
    return TrFormat(OscilloscopeText::Recorded, Number(count));
}
std::string RecordFileFailedText(const std::string& path, const std::string& reason) {
    return TrFormat(OscilloscopeText::RecordFileFailed, path, reason);
}

std::vector<std::string> OscillMemoLines() {
    const std::string address(kServiceAddress);
    return {
        Tr(OscilloscopeText::Memo1),
        Tr(OscilloscopeText::Memo2),
        Tr(OscilloscopeText::Memo3),
        TrFormat(OscilloscopeText::Memo4, address),
        "",
        Tr(OscilloscopeText::MemoOptional),
        Tr(OscilloscopeText::Memo6),
        Tr(OscilloscopeText::Memo7),
        Tr(OscilloscopeText::Memo8),
        Tr(OscilloscopeText::Memo9),
        Tr(OscilloscopeText::Memo10),
        Tr(OscilloscopeText::Memo11),
        "",
        Tr(OscilloscopeText::MemoOptional),
        Tr(OscilloscopeText::Memo14),
        Tr(OscilloscopeText::Memo15),
        Tr(OscilloscopeText::Memo16),
        Tr(OscilloscopeText::Memo17),
        Tr(OscilloscopeText::Memo18),
        "",
        TrFormat(OscilloscopeText::Memo20, address),
        Tr(OscilloscopeText::Memo21),
    };
}

void SetUpOscilloscopePage(Screen& screen) {
    const OscilloscopePage page(screen);
    page.CaptureButton().SetText(Tr(oscill_text::ButtonCaption));
    page.CaptureButton().SetEnabled(true);
    page.PrescalerButton().SetText("Auto");
    page.Mode32Box().SetText("32 bit mode");
    page.Status().SetText(TrFormat(OscilloscopeText::ModeLabel, std::string(38, '_')));
    std::string memo;
    for (const auto& line : OscillMemoLines()) {
        if (!memo.empty()) memo += '\n';
        memo += line;
    }
    page.Instructions().SetText(memo);
    page.Instructions().SetVisible(true);
}

// ------------------------------------------------------------------ capture

Oscilloscope::Oscilloscope(DeviceLink& link, Canvas& picture)
    : link_(link), screen_(link.screen()), page_(screen_), plot_(picture, &link.screen()) {}

void Oscilloscope::ConnectAndShowOsciillButtonClick(Clock::time_point pressed_at) {
    if (last_press_ && pressed_at - *last_press_ < std::chrono::milliseconds(double_click_ms)) return;
    // The button shows the busy caption while a capture runs; the logic goes
    // by its own state, not by the caption.
    if (capturing_) {
        // The second press, made while the capture waits: it ends the capture
        // at its next check.
        if (capturing_ && pressed_at >= capture_began_) {
            last_press_ = pressed_at;
            RequestCancel();
        }
        return;
    }
    if (pressed_at < capture_ended_) return;
    last_press_ = pressed_at;
    if (link_.LineBusy()) {
        last_end_ = CaptureEnd::LineBusy;
        screen_.ShowNotice(Tr(kLineBusyMessage));
        return;
    }
    // The button stays enabled while the capture runs so that a second press
    // can cancel it; its caption keeps a second capture from starting.
    page_.CaptureButton().SetText(Tr(oscill_text::ButtonBusyCaption));
    capturing_ = true;
    cancel_requested_ = false;
    capture_began_ = Clock::now();
    struct Restore {
        Oscilloscope* self;
        ~Restore() {
            self->capturing_ = false;
            self->cancel_requested_ = false;
            self->capture_ended_ = Clock::now();
            self->page_.CaptureButton().SetText(Tr(oscill_text::ButtonCaption));
            self->page_.CaptureButton().SetEnabled(true);
            // The instructions come back for the next try, unless the
            // picture holds what this capture recorded: they would cover it.
            if (self->records_written_ == 0) self->page_.Instructions().SetVisible(true);
        }
    } restore{this};
    CaptureOscillogram();
}

bool Oscilloscope::SendByte(std::uint8_t b) {
    auto* port = link_.port();
    return port && port->Write(&b, 1);
}

bool Oscilloscope::ReceiveByte(std::uint8_t& b) {
    auto* port = link_.port();
    return port && port->Read(&b, 1);
}

SerialPort* Oscilloscope::OpenPort() {
    // Looked up afresh after every pump: a window close that runs inside
    // the pump closes the port and lets it go.
    auto* port = link_.port();
    return port && port->IsOpen() ? port : nullptr;
}

Oscilloscope::Drain Oscilloscope::DrainLine(std::int32_t t, int quiet_ms, int limit_ms, bool cancellable) {
    const int slice = std::max(1, std::min(timings.slice_ms, quiet_ms));
    const auto start = Clock::now();
    // Silence is counted in the timeouts of the reads that found the line
    // empty: each of them waited that long for a byte.
    int quiet = 0;
    for (;;) {
        auto* port = OpenPort();
        if (!port || !port->SetTimeout(slice)) return Drain::PortFailed;
        std::uint8_t b = 0;
        if (port->Read(&b, 1)) {
            quiet = 0;
            if (ElapsedMs(start) >= limit_ms) {
                port->SetTimeout(t);
                return Drain::NotQuiet;
            }
        } else {
            quiet += slice;
            if (quiet >= quiet_ms) {
                port->SetTimeout(t);
                return Drain::Quiet;
            }
        }
        PumpWhenDue();
        if (cancellable && CancelRequested()) return Drain::Cancelled;
    }
}

Oscilloscope::Drain Oscilloscope::DrainBeforeRequest(std::int32_t t) {
    return DrainLine(t, timings.drain_ms, timings.drain_limit_ms, true);
}

Oscilloscope::Drain Oscilloscope::DrainAfterStop(std::int32_t t, bool user_stop) {
    if (user_stop) return DrainLine(t, timings.stop_quiet_ms, timings.stop_drain_limit_ms, false);
    return DrainLine(t, timings.drain_ms, timings.drain_limit_ms, false);
}

bool Oscilloscope::DrainInput(std::int32_t t) {
    return DrainLine(t, timings.drain_ms, timings.drain_limit_ms, false) == Drain::Quiet;
}

bool Oscilloscope::SendFrame(const std::uint8_t (&frame)[7]) {
    bool ok = true;
    for (auto b : frame) ok = SendByte(b) && ok;
    return ok;
}

// A stop of the whole session (the window closing) cancels as the button does.
bool Oscilloscope::CancelRequested() const { return cancel_requested_ || link_.StopRequested(); }

void Oscilloscope::Pump() {
    screen_.Pump();
    last_pump_ = Clock::now();
}

void Oscilloscope::PumpWhenDue() {
    if (ElapsedMs(last_pump_) >= timings.slice_ms) Pump();
}

Oscilloscope::Wait Oscilloscope::WaitForByte(std::uint8_t& b, int limit_ms) {
    const auto start = Clock::now();
    for (;;) {
        // Messages are pumped once a slice also while bytes keep coming, so
        // that a stop is seen in the middle of a stream.
        PumpWhenDue();
        if (CancelRequested()) return Wait::Cancelled;
        auto* port = OpenPort();
        const int left = limit_ms - static_cast<int>(ElapsedMs(start));
        if (!port || !port->SetTimeout(std::max(1, std::min(timings.slice_ms, left)))) return Wait::Gone;
        // A port that tells a failed read from an empty one (the real port)
        // lets a vanished device end the wait at once.
        if (auto* full = dynamic_cast<LoaderSerialPort*>(port)) {
            const auto r = full->ReadSome(&b, 1);
            if (!r.ok) return Wait::Gone;
            if (r.count == 1) return Wait::Byte;
        } else if (port->Read(&b, 1)) {
            return Wait::Byte;
        }
        if (ElapsedMs(start) >= limit_ms) {
            // A stop asked for during the last slice counts before the silence.
            Pump();
            return CancelRequested() ? Wait::Cancelled : Wait::Silent;
        }
    }
}

Oscilloscope::Wait Oscilloscope::Pause(int ms) {
    for (int left = ms; left > 0;) {
        const int step = std::min(left, std::max(1, timings.slice_ms));
        link_.sleep_ms(step);
        left -= step;
        PumpWhenDue();
        if (CancelRequested()) return Wait::Cancelled;
        if (!OpenPort()) return Wait::Gone;
    }
    return Wait::Silent;
}

void Oscilloscope::Show(std::string_view text) {
    page_.Status().SetText(text);
    page_.Status().Repaint();
    Pump();
}

void Oscilloscope::ShowWithWindow(std::string_view text) {
    page_.Status().SetText(text);
    page_.Status().Repaint();
    MainWindowPage(screen_).Window().Repaint();
    Pump();
}

void Oscilloscope::EndAfterStop(CaptureEnd end, std::string_view text) {
    SendFrame(scope_frame::Stop);
    DrainAfterStop(timings.end_ms, end == CaptureEnd::Cancelled);
    last_end_ = end;
    ShowWithWindow(text);
    if (end != CaptureEnd::Cancelled) screen_.ShowMessage(text);
}

void Oscilloscope::EndAfterWait(Wait w) {
    if (w == Wait::Cancelled) EndAfterStop(CaptureEnd::Cancelled, Tr(oscill_text::Cancelled));
    else EndAfterStop(CaptureEnd::LineLost, Tr(oscill_text::LineLost));
}

std::string Oscilloscope::RecordPath() const {
    const std::string name(RecordFileName(Oscill32BitMode));
    if (record_dir.empty()) return name;
    return (std::filesystem::path(record_dir) / name).string();
}

bool Oscilloscope::InitialisationDone() {
    // The wait is bounded by the variator's progress: it is given up when no
    // initialisation frame has come for init_silence_ms, whatever else the
    // line carries. The byte waits pump messages at least every slice, so a
    // second press of the button is taken up while bytes keep coming too.
    auto last_frame = Clock::now();
    InitFrameParser parser;
    for (;;) {
        std::uint8_t b = 0;
        Wait w = Wait::Silent;
        if (parser.InFrame()) {
            // The rest of a frame: each byte may take as long as any byte of
            // the capture. A frame that breaks off is skipped rather than
            // completed with stale bytes.
            w = WaitForByte(b, timings.wait_ms);
            if (w == Wait::Silent) {
                parser.Reset();
                continue;
            }
        } else {
            const long left = timings.init_silence_ms - ElapsedMs(last_frame);
            if (left > 0) w = WaitForByte(b, static_cast<int>(left));
        }
        if (w == Wait::Cancelled || w == Wait::Gone) {
            EndAfterWait(w);
            return false;
        }
        if (w == Wait::Silent) {
            EndAfterStop(CaptureEnd::InitialisationSilent, Tr(oscill_text::InitialisationSilent));
            return false;
        }
        const auto e = parser.Feed(b);
        if (e.kind == InitEvent::Kind::Progress) {
            last_frame = Clock::now();
            ShowWithWindow(InitialisationStepText(e.step));
        } else if (e.kind == InitEvent::Kind::Final) {
            AdaptationStepCount = e.step;
            ShowWithWindow(FinalInitialisationStepText(e.step));
            return true;
        }
    }
}

void Oscilloscope::CaptureOscillogram() {
    last_end_ = CaptureEnd::None;
    records_written_ = 0;
    record_path_.clear();

    Oscill32BitMode = page_.Mode32Box().IsChecked();
    const bool mode32 = Oscill32BitMode;
    plot_.ClearOscillogramPlot(kOscillPlotMinWidth);
    page_.Status().SetText(Tr(oscill_text::Starting));
    page_.Instructions().SetVisible(false);
    plot_.ClearOscillogramPlot(kOscillPlotMinWidth);

    if (link_.DeviceMode != kModeOscilloscope) {
        if (link_.DeviceMode == kModeNormal || link_.DeviceMode == kModeLoader) {
            last_end_ = CaptureEnd::WrongMode;
            screen_.ShowMessage(Tr(oscill_text::NeedsOscilloscopeFirmware));
            screen_.SelectPage(page::Firmware);
            MainWindowPage(screen_).Tab(page::Firmware).Repaint();
            screen_.Pump();
        } else {
            last_end_ = CaptureEnd::NotConnected;
            screen_.ShowMessage(Tr(oscill_text::NotConnected));
        }
        return;
    }

    DeviceLink::LineHold hold(link_, {ProcedureKind::Ordinary, "oscillogram capture"});
    last_pump_ = Clock::now();
    auto drain_or_end = [&](std::int32_t t) {
        switch (DrainBeforeRequest(t)) {
            case Drain::Quiet:
                return true;
            case Drain::PortFailed:
                last_end_ = CaptureEnd::PortFailed;
                return false;
            case Drain::NotQuiet:
                EndAfterStop(CaptureEnd::LineNotQuiet, Tr(oscill_text::LineNotQuiet));
                return false;
            case Drain::Cancelled:
                EndAfterStop(CaptureEnd::Cancelled, Tr(oscill_text::Cancelled));
                return false;
        }
        return false;
    };
    // The pauses of the capture; false when it has been ended meanwhile.
    auto pause_or_end = [&](int ms) {
        const auto w = Pause(ms);
        if (w == Wait::Silent) return true;
        EndAfterWait(w);
        return false;
    };

    if (!drain_or_end(timings.wait_ms)) return;
    SendFrame(mode32 ? scope_frame::StreamRequest32 : scope_frame::StreamRequest16);
    if (!InitialisationDone()) return;
    if (!pause_or_end(2000)) return;
    if (!drain_or_end(timings.wait_ms)) return;

    // The start frame and its answer. The answer is tested but never refused;
    // a read that fails leaves the rest unread, as each would only wait out
    // its own timeout.
    SendFrame(scope_frame::Start);
    std::uint8_t answer[7] = {};
    bool answered = true;
    for (int k = 0; answered && k < 7; ++k) {
        const auto w = WaitForByte(answer[k], timings.wait_ms);
        if (w == Wait::Cancelled || w == Wait::Gone) {
            EndAfterWait(w);
            return;
        }
        answered = w == Wait::Byte;
    }
    if (link_.port()) link_.port()->SetTimeout(timings.wait_ms);
    if (!answered) {
        Show(oscill_text::RightAnswer1);
        if (!pause_or_end(3000)) return;
    }
    if (std::memcmp(answer, scope_frame::StartAnswer, 7) != 0) {
        Show(oscill_text::RightAnswer2);
        if (!pause_or_end(3000)) return;
    }
    ShowWithWindow(Tr(oscill_text::RequestSent));

    record_path_ = RecordPath();
    OscillogramFile file;
    std::string error;
    if (!file.Create(record_path_, &error)) {
        page_.Status().SetText(oscill_text::CannotOpenFile);
        Pump();
        SendFrame(scope_frame::Stop);
        DrainAfterStop(timings.end_ms, false);
        last_end_ = CaptureEnd::FileFailed;
        screen_.ShowMessage(RecordFileFailedText(record_path_, error));
        return;
    }
    file.Write(HeadLine(AdaptationStepCount));

    // Puts the file in place; a failure there is told and counts as the end.
    auto commit = [&](CaptureEnd end) {
        std::string why;
        if (file.Commit(&why)) {
            last_end_ = end;
            return true;
        }
        last_end_ = CaptureEnd::FileFailed;
        screen_.ShowMessage(RecordFileFailedText(record_path_, why));
        return false;
    };

    RecordStreamParser parser(mode32);
    OscillogramRecord record;
    bool cancelled = false;
    for (std::uint32_t i = 0; i < kMaxOscillogramRecords; ++i) {
        if (CancelRequested()) {
            cancelled = true;
            break;
        }
        // Every byte, the first pulse's included, may take up to wait_ms; the
        // wait is sliced so that a stop is seen at once, also on a line that
        // has gone silent in the middle of the stream.
        StreamEvent event;
        Wait w = Wait::Byte;
        while (event.kind == StreamEvent::Kind::None) {
            std::uint8_t b = 0;
            w = WaitForByte(b, timings.wait_ms);
            if (w != Wait::Byte) break;
            event = parser.Feed(b);
        }
        if (w == Wait::Cancelled) {
            cancelled = true;
            break;
        }
        const bool delivered = w == Wait::Byte;
        const bool wrong_marker = event.kind == StreamEvent::Kind::WrongMarker;
        if (wrong_marker) {
            page_.Status().SetText(WrongMarkerText(event.record.marker));
            link_.sleep_ms(100);
            page_.Status().Repaint();
            Pump();
        }
        if (!delivered || wrong_marker) {
            if (auto* port = OpenPort()) port->SetTimeout(timings.wait_ms);
            // The records so far stay in the file. Without any, an older
            // record file is worth more than a head line: it stays as it was.
            if (records_written_ == 0) {
                file.Discard();
                last_end_ = CaptureEnd::StreamStopped;
                screen_.ShowError(Tr(oscill_text::StreamStopped));
                return;
            }
            if (commit(CaptureEnd::StreamStopped)) screen_.ShowError(Tr(oscill_text::StreamStopped));
            return;
        }
        record = event.record;
        if (event.kind == StreamEvent::Kind::End) {
            SendFrame(scope_frame::Stop);
            const bool port_ok = DrainAfterStop(timings.wait_ms, false) != Drain::PortFailed;
            if (!commit(CaptureEnd::FinishedByDevice) || !port_ok) return;
            ShowWithWindow(Tr(oscill_text::FinishedByDevice));
            return;
        }
        if (i == 1) ShowWithWindow(Tr(oscill_text::DataArriving));
        page_.Status().SetText(RecordedText(i));
        if (i % 50 == 5) {
            page_.Status().Repaint();
            Pump();
        }
        if (i < kDrawnRecords) {
            // In 16-bit mode a record that no longer fits ends the capture:
            // it is written with the number 65535 and the loop stops after it.
            if (!plot_.PlotOscillogramRecord(record, mode32) && !mode32) i = kPictureFullRecordNumber;
        }
        if (!file.Write(RecordLine(i, record, mode32))) {
            SendFrame(scope_frame::Stop);
            DrainAfterStop(timings.end_ms, false);
            std::string why;
            file.Commit(&why);  // fails on the earlier write error and removes the temporary
            last_end_ = CaptureEnd::FileFailed;
            screen_.ShowMessage(RecordFileFailedText(record_path_, why));
            return;
        }
        ++records_written_;
    }

    SendFrame(scope_frame::Stop);
    const bool port_ok = DrainAfterStop(timings.end_ms, cancelled) != Drain::PortFailed;
    if (cancelled && records_written_ == 0) {
        // Cancelled before the first record: an older record file is worth
        // more than a head line.
        file.Discard();
        last_end_ = CaptureEnd::Cancelled;
    } else if (!commit(cancelled ? CaptureEnd::Cancelled : CaptureEnd::Finished)) {
        return;
    }
    if (!port_ok) return;
    ShowWithWindow(cancelled ? Tr(oscill_text::Cancelled) : Tr(oscill_text::Finished));
}

}  // namespace tovrel
