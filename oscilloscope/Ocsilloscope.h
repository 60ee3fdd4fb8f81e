#pragma once
// The oscillogram capture: with the variator running its oscilloscope
// firmware, the program asks for the record stream, follows the variator's
// initialisation, writes every record to "signal.txt" or "signal32.txt" and
// draws the first records as a square wave.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "Dataextractor.h"
#include "OscillogramFile.h"
#include "OscillogramPlot.h"
#include "OscilloscopePage.h"
#include "OscilloscopeTexts.h"

namespace tovrel {

// Captions and texts of the oscilloscope page.
namespace oscill_text {
inline constexpr OscilloscopeText ButtonCaption = OscilloscopeText::ButtonCaption;
inline constexpr OscilloscopeText ButtonBusyCaption = OscilloscopeText::ButtonBusyCaption;
inline constexpr OscilloscopeText Starting = OscilloscopeText::Starting;
inline constexpr OscilloscopeText NeedsOscilloscopeFirmware = OscilloscopeText::NeedsOscilloscopeFirmware;
inline constexpr OscilloscopeText NotConnected = OscilloscopeText::NotConnected;
inline constexpr OscilloscopeText RequestSent = OscilloscopeText::RequestSent;
inline constexpr std::string_view CannotOpenFile = "Cannot open directory file.";
inline constexpr OscilloscopeText DataArriving = OscilloscopeText::DataArriving;
inline constexpr OscilloscopeText StreamStopped = OscilloscopeText::StreamStopped;
inline constexpr OscilloscopeText FinishedByDevice = OscilloscopeText::FinishedByDevice;
inline constexpr OscilloscopeText Finished = OscilloscopeText::Finished;
inline constexpr std::string_view RightAnswer1 = "RightAnswer1";
inline constexpr std::string_view RightAnswer2 = "RightAnswer2";
// Ends of a capture that the user or a silent variator brings about.
inline constexpr OscilloscopeText Cancelled = OscilloscopeText::Cancelled;
inline constexpr OscilloscopeText InitialisationSilent = OscilloscopeText::InitialisationSilent;
inline constexpr OscilloscopeText LineNotQuiet = OscilloscopeText::LineNotQuiet;
inline constexpr OscilloscopeText LineLost = OscilloscopeText::LineLost;
}  // namespace oscill_text

// The texts that change with a number.
std::string InitialisationStepText(unsigned step);       // "Прошли <v> шаг инициализации. Ожидайте..."
std::string FinalInitialisationStepText(unsigned step);  // "Финально прошли <v> шаг инициализации. Ожидайте..."
std::string WrongMarkerText(std::uint8_t marker);        // "Байт принят неверно. ... <m> !!!"
std::string RecordedText(std::uint32_t count);           // "Записали <i> периодов осциллограммы. ..."
// The message shown when the record file cannot be created or written.
std::string RecordFileFailedText(const std::string& path, const std::string& reason);

// The page's captions and the instructions in Oscill_Memo, as the window
// shows them before the first capture.
void SetUpOscilloscopePage(Screen& screen);
std::vector<std::string> OscillMemoLines();

// Frames of the oscilloscope firmware's protocol.
namespace scope_frame {
inline constexpr std::uint8_t StreamRequest16[7] = {0xAA, 0x88, 0x00, 0x00, 0x00, 0xFF, 0xFF};
inline constexpr std::uint8_t StreamRequest32[7] = {0xAA, 0x88, 0x05, 0x00, 0x00, 0xFF, 0xFF};
inline constexpr std::uint8_t Start[7] = {0xAA, 0x8B, 0x01, 0x33, 0x33, 0xCC, 0xCC};
inline constexpr std::uint8_t StartAnswer[7] = {0x55, 0x74, 0xFE, 0xCC, 0xCC, 0x33, 0x33};
inline constexpr std::uint8_t Stop[7] = {0xAA, 0x8B, 0x02, 0x00, 0x00, 0xFF, 0xFF};
inline constexpr std::uint8_t Address = 0x88;
inline constexpr std::uint8_t ProgressIndex = 2;
inline constexpr std::uint8_t FinalIndex = 3;
}  // namespace scope_frame

inline constexpr std::uint32_t kMaxOscillogramRecords = 50000;
// Only this many first records are drawn.
inline constexpr std::uint32_t kDrawnRecords = 200;
// Number of a record that no longer fitted the picture in 16-bit mode.
inline constexpr std::uint32_t kPictureFullRecordNumber = 65535;

// Port timeouts and waits of a capture, in milliseconds. Tests shorten them.
struct CaptureTimings {
    int drain_ms = 1000;       // silence that ends a drain of the input
    int wait_ms = 60000;       // a byte of a frame or record
    int end_ms = 5000;         // left on the port after a capture the program ended
    // The initialisation is given up when no initialisation frame has come
    // for this long.
    int init_silence_ms = 60000;
    // Every wait of a capture (a byte, a pause, a drain) is cut into slices
    // this long, and messages are pumped at least this often, also while
    // records stream in: a stop request (the button's second press, Ctrl+C,
    // the window's close) is taken up within about one slice.
    int slice_ms = 100;
    // A drain whose input has not gone quiet after this long gives up.
    int drain_limit_ms = 10000;
    // After the stop frame of a stop the user asked for: the variator stops
    // at the frame, so this much silence shows that what it had sent is read;
    // the drain ends after stop_drain_limit_ms even if the line is not quiet.
    int stop_quiet_ms = 100;
    int stop_drain_limit_ms = 500;
};

// How the last capture ended.
enum class CaptureEnd {
    None,              // no capture yet, or one is running
    WrongMode,         // DeviceMode 1 or 2: the oscilloscope firmware is needed
    NotConnected,      // DeviceMode 0
    LineBusy,          // another device procedure held the line
    PortFailed,        // the port could not be set up (not open)
    LineNotQuiet,      // a drain never found the line quiet
    InitialisationSilent,
    LineLost,          // the port failed while waiting (the device went away)
    Cancelled,
    FileFailed,        // the record file could not be created or written
    StreamStopped,     // a record read failed or had a wrong marker
    FinishedByDevice,  // the end record came
    Finished,          // 50000 records, or the picture filled in 16-bit mode
};

class Oscilloscope {
public:
    // `picture` is the canvas of Oscill_Image.
    Oscilloscope(DeviceLink& link, Canvas& picture);

    using Clock = std::chrono::steady_clock;

    // The click handler of ConnectAndShowOsciillButton, for a press made at
    // `pressed_at` (a front end that queues presses stamps them when they
    // are made). With its normal caption it runs a capture; pressed again
    // while a capture runs (the press arrives through Screen::Pump) it asks
    // the capture to stop. A press is not taken:
    //  - within double_click_ms of the press taken before it: it is the
    //    second half of a double click, which starts (or stops) one capture;
    //  - made before the running capture began: the user cannot have meant
    //    to stop what he had not seen start;
    //  - made before the last capture ended, arriving after it: it was meant
    //    for that capture, not as the start of a new one.
    void ConnectAndShowOsciillButtonClick(Clock::time_point pressed_at);
    void ConnectAndShowOsciillButtonClick() { ConnectAndShowOsciillButtonClick(Clock::now()); }
    // The whole recording.
    void CaptureOscillogram();

    bool SendByte(std::uint8_t b);
    bool ReceiveByte(std::uint8_t& b);
    // Reads until the line has been quiet for the drain time, then sets the
    // timeout t. False when the port cannot be set up, or when the input did
    // not go quiet within the drain limit.
    bool DrainInput(std::int32_t t);

    bool Capturing() const { return capturing_; }
    // Taken up at the next point where the capture pumps messages.
    void RequestCancel() { cancel_requested_ = true; }

    // The capture mode, set from Oscilloscope_32_Mode_CheckBox by each capture.
    bool Oscill32BitMode = false;
    // The final initialisation step number; heads the record file.
    std::uint16_t AdaptationStepCount = 0;
    // Where the record file goes; empty means the working directory.
    std::string record_dir;
    CaptureTimings timings;
    // The system's double-click interval; 0 takes every press (a keyboard or
    // Ctrl+C front end has no double clicks).
    int double_click_ms = 0;

    OscillogramPlot& plot() { return plot_; }
    CaptureEnd LastEnd() const { return last_end_; }
    // Records written to the file by the last capture.
    std::uint32_t RecordsWritten() const { return records_written_; }
    // Path of the last capture's record file (set when it was created).
    const std::string& RecordFilePath() const { return record_path_; }

private:
    // Gone: the port call itself failed (the device went away) or the port
    // was closed meanwhile (the window's close), so waiting longer cannot
    // bring a byte.
    enum class Wait { Byte, Silent, Cancelled, Gone };
    enum class Drain { Quiet, PortFailed, NotQuiet, Cancelled };
    // Reads until the line has been quiet for `quiet_ms`, then sets the
    // timeout t. Gives up after `limit_ms`; with `cancellable` a stop
    // request ends it too.
    Drain DrainLine(std::int32_t t, int quiet_ms, int limit_ms, bool cancellable);
    // The drain of the input before a request.
    Drain DrainBeforeRequest(std::int32_t t);
    // The drain after the stop frame; short when the user asked for the stop.
    Drain DrainAfterStop(std::int32_t t, bool user_stop);
    // Waits up to `limit_ms` for one byte, in slices, pumping messages at
    // least once a slice; leaves the port with the slice timeout.
    Wait WaitForByte(std::uint8_t& b, int limit_ms);
    // The capture's pauses, in slices with messages pumped between them:
    // Silent when the pause ran its whole length.
    Wait Pause(int ms);
    // The port, when it is still there and open.
    SerialPort* OpenPort();
    bool SendFrame(const std::uint8_t (&frame)[7]);
    // Follows the variator's initialisation frames up to the final one; on
    // false the capture has been ended with its text.
    bool InitialisationDone();
    bool CancelRequested() const;
    void Pump();          // pumps messages now
    void PumpWhenDue();   // pumps when a slice has passed since the last pump
    void Show(std::string_view text);            // label, repaint, pump
    void ShowWithWindow(std::string_view text);  // label and window repainted, pump
    // Ends a capture that the program or the user broke off: the stop frame,
    // a drain, the text on the label (and in a message unless cancelled).
    void EndAfterStop(CaptureEnd end, std::string_view text);
    // EndAfterStop for a wait that was cancelled or found the port gone.
    void EndAfterWait(Wait w);
    std::string RecordPath() const;

    DeviceLink& link_;
    Screen& screen_;
    OscilloscopePage page_;
    OscillogramPlot plot_;
    bool capturing_ = false;
    bool cancel_requested_ = false;
    CaptureEnd last_end_ = CaptureEnd::None;
    std::uint32_t records_written_ = 0;
    std::string record_path_;
    std::chrono::steady_clock::time_point last_pump_{};
    // The button presses the handler took, and the last capture's bounds.
    std::optional<Clock::time_point> last_press_;
    Clock::time_point capture_began_{};
    Clock::time_point capture_ended_{};
};

}  // namespace tovrel
