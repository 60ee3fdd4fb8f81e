#pragma once
// The device link: the 7-byte request/reply exchange, connecting with the
// mode probe, the port scan and the remembered port. One DeviceLink exists
// per program run; it owns the serial port object.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Crc.h"
#include "DeviceSession.h"
#include "PortInfo.h"
#include "MainWindowPage.h"
#include "Screen.h"
#include "LinkTexts.h"

namespace tovrel {

enum class ExchangeOp { Read, Write };

// Connection state words shown by the status label.
namespace state {
inline constexpr std::string_view Connected = "connected";
inline constexpr std::string_view Disconnected = "disconnected";
inline constexpr std::string_view Connecting = "connecting";
inline constexpr std::string_view FirmwareUpdate = "firmware_update";
inline constexpr std::string_view Oscilloscope = "oscilloscope";
}  // namespace state

// Device mode codes answered by the mode probe.
inline constexpr std::uint16_t kModeNormal = 1;
inline constexpr std::uint16_t kModeLoader = 2;
inline constexpr std::uint16_t kModeOscilloscope = 3;

inline constexpr std::int32_t kExchangeTimeoutMs = 2000;
inline constexpr std::int32_t kDrainTimeoutMs = 1;
// A line that never stops sending is drained this far, then the request goes
// out all the same.
inline constexpr int kDrainLimitBytes = 4096;
// A reply later than this after its request counts as lost. Until then a
// reply owed to an earlier request may still arrive, and no other request
// goes out: the exchange waits for that reply (and throws it away) or for
// this much time to pass, so that a late reply is never taken for the answer
// to the next request.
inline constexpr std::int32_t kLateReplyLimitMs = 5000;
// Quiet that ends a run of bytes on the line. At 9600 baud a frame's bytes
// follow each other about a millisecond apart; USB adapters hand them over
// in bursts up to 16 ms apart.
inline constexpr std::int32_t kFrameGapMs = 40;
// The wait for a reply's first byte is cut into slices this long, with the
// message pump between them, so that a stop request is taken up in time.
inline constexpr std::int32_t kReplyWaitSliceMs = 250;
// Exchanges in a row without a single reply byte after which a device
// procedure gives up instead of trying every remaining point.
inline constexpr int kSilentExchangeLimit = 3;

inline constexpr const char* kDefaultPortFile = "Default_COM_Settings.txt";
// Bytes of the remembered-port file that are looked at (one at a time, none
// of them kept but the number's); the rest is ignored.
inline constexpr std::size_t kDefaultPortFileLimit = 1 << 20;
// Shown when a device command is started while another one holds the line.
inline constexpr LinkText kLineBusyMessage = LinkText::LineBusy;
// An exchange none of whose attempts got a single reply byte.
inline constexpr LinkText kNoAnswerMessage = LinkText::NoAnswer;
// A device procedure ended because the line stayed silent.
inline constexpr LinkText kLineSilentMessage = LinkText::LineSilent;
// A device procedure ended because the answers kept failing their checks.
inline constexpr LinkText kLineGarbledMessage = LinkText::LineGarbled;
// A device procedure ended because the answers kept coming after the timeout.
inline constexpr LinkText kLineLateMessage = LinkText::LineLate;
// The device went away during an exchange (the port failed under us).
inline constexpr LinkText kDeviceGoneMessage = LinkText::DeviceGone;
// Open refused because another program (or another part of this one) holds
// the port.
inline constexpr LinkText kPortBusyMessage = LinkText::PortBusy;

// How a reply answers a request. A reply is judged by its own check bytes
// (bytes 5 and 6 complement bytes 3 and 4); a write is confirmed only by the
// whole request complemented, and a reply that repeats the request unchanged
// is the variator's report of a bad checksum.
enum class ReplyVerdict {
    Accepted,  // a read whose checks pass, or a confirmed write
    BadCheck,  // the check bytes do not match
    Echo,      // a write answered with its own request
    Other,     // a write answered with something else that passes the checks
};
ReplyVerdict JudgeReply(ExchangeOp operation, const std::uint8_t (&request)[7], const std::uint8_t (&reply)[7]);

// The remembered port in the text of Default_COM_Settings.txt: four words
// (the label), then a decimal integer whose low 8 bits are the port. The
// text is fed in runs of any length; words of any length are skipped without
// keeping them, so memory stays small whatever the file holds.
class DefaultPortScanner {
public:
    // Takes bytes until the number's word has ended; returns the count taken.
    std::size_t Feed(const char* bytes, std::size_t count);
    // No more bytes need to be fed.
    bool Done() const { return done_; }
    // The port, once the text is complete (or Done); nothing when the text
    // holds no such integer.
    std::optional<std::uint8_t> Port() const;

private:
    int words_ = 0;        // words passed so far
    bool in_word_ = false;
    bool done_ = false;
    std::string number_;   // the start of the fifth word
};
std::optional<std::uint8_t> ParseDefaultPortText(std::string_view text);

// Added to kNoDeviceMessage for the ports the scan found held by another program.
inline constexpr LinkText kBusyPortsDuringScanMessage = LinkText::BusyPortsDuringScan;
// Shown by the start's connection step when no port answered.
inline constexpr LinkText kNoDeviceMessage = LinkText::NoDevice;

class DeviceLink {
public:
    DeviceLink(Screen& screen, std::unique_ptr<SerialPort> port = std::make_unique<ComPort>());

    Screen& screen() { return screen_; }
    // Null after ReleasePort.
    SerialPort* port() { return port_.get(); }

    // ---- the exchange ----
    std::int16_t UARTdataExchangeForTovrel(ExchangeOp operation, std::uint8_t address, std::uint8_t index,
                                           std::int16_t value, bool showErrors, std::int8_t attempts);
    // Whether the last exchange got a reply that passed its checks (a read) or
    // was confirmed (a write). For callers that must tell success apart; the
    // device procedures themselves go by the returned value.
    bool LastExchangeOk() const { return last_exchange_ok_; }
    // Whether the last exchange got no reply byte at all in any attempt (a
    // silent or vanished device, as opposed to a garbled answer).
    bool LastExchangeSilent() const { return silent_exchanges_ > 0; }
    // The line is dead for kSilentExchangeLimit exchanges in a row: none of
    // them got a good reply at its first attempt (silent, garbled, or
    // answered only after an attempt timed out). Device procedures test it
    // after each exchange and end; the first of them to notice calls
    // ReportLineSilent, which shows kLineSilentMessage (kLineGarbledMessage,
    // kLineLateMessage for a line that did answer) once per outermost
    // procedure holding the line (when `show`), so nested procedures do not
    // repeat it.
    // A device that went away (or a port closed under a running procedure)
    // ends the procedures at once.
    // A stop asked of the session (the window closing) ends them the same
    // way, without a box.
    bool LineSilent() const {
        return troubled_exchanges_ >= kSilentExchangeLimit || device_gone_ || session_->StopRequested();
    }
    // The last exchange found the device gone; the port is closed and the
    // state shows "disconnected".
    bool DeviceGone() const { return device_gone_; }
    // Exchanges in a row, the last one included, without a good first-attempt
    // reply (0 after a clean exchange). Procedures that add a box of their own
    // to a failed exchange do so for the first of a run only.
    int TroubledExchanges() const { return troubled_exchanges_; }
    void ReportLineSilent(bool show = true);

    // A stop request of a running procedure (the second press of its button,
    // Ctrl+C): while it stands, exchanges give up at once, the one waiting
    // for a reply included, so the procedure can end within a fraction of a
    // second even on a silent line. The procedure clears it when it ends.
    // A stop asked of the session (from another thread: the window being
    // closed) counts the same, for the procedure running when it was asked.
    void RequestStop() { stop_requested_ = true; }
    void ClearStop() { stop_requested_ = false; }
    bool StopRequested() const { return stop_requested_ || session_->StopRequested(); }

    // ---- the session: the procedure holding the line, its stop ----
    DeviceSession& session() { return *session_; }
    // Shares a session made by the front end before the link existed (the
    // window reads it from its own thread). Not while a procedure runs.
    void UseSession(std::shared_ptr<DeviceSession> session) { session_ = std::move(session); }

    // ---- connection ----
    std::uint16_t Connect(std::int32_t port, bool showMessages);
    bool Disconnect();
    void ReleasePort();
    // The status display: sets ConnectionState and the status label.
    void ShowConnectionState(std::string_view word);
    const std::string& ConnectionState() const { return connection_state_; }
    bool IsConnected() const { return connection_state_ == state::Connected; }

    bool DeviceConnected = false;
    std::uint8_t DeviceMode = 0;
    // Number of the port the open connection uses, 0 when none is open.
    int OpenPortNumber() const { return port_ && port_->IsOpen() ? open_port_ : 0; }

    // ---- port scan and remembered port ----
    bool AutoConnect(std::int32_t first, std::int32_t limit);
    bool SaveDefaultPort(std::uint8_t port);
    bool LoadDefaultPort(std::uint8_t& port);
    // The connection step of the program start: the remembered port, then
    // ports 1 to 254; shows the failure message when nothing answered.
    bool ConnectAtStart();

    // ---- line ownership ----
    // A device procedure that puts a sequence of frames on the line holds it
    // for its duration; a second procedure started from a pumped message finds
    // the line busy and must refuse (with kLineBusyMessage where a user pressed
    // something) instead of interleaving its frames.
    bool LineBusy() const { return line_holders_ > 0; }
    // The hold is also the procedure's entry in the session; `procedure`
    // says how it may be interrupted (a write is let finish).
    class LineHold {
    public:
        explicit LineHold(DeviceLink& link, const Procedure& procedure = {}) : link_(&link) {
            if (link_->line_holders_++ == 0) link_->silence_reported_ = false;
            link_->session_->Begin(procedure);
        }
        ~LineHold() {
            link_->EndLineHold();
            link_->session_->End();
        }
        LineHold(const LineHold&) = delete;
        LineHold& operator=(const LineHold&) = delete;
    private:
        DeviceLink* link_;
    };

    // Pauses of the device procedures (1000 ms after a probe, ...). Tests
    // replace it so that they do not wait.
    // EEPROM commits the variator confirmed since the start: each stored
    // the whole working memory, the maps with it (MapDeviceCopies).
    int CommitsConfirmed = 0;
    std::function<void(int ms)> sleep_ms;
    // Directory of Default_COM_Settings.txt; empty means the working directory.
    std::string default_port_dir;
    // Where port n is "COM<n>" (the simulated variator links its terminal
    // there); empty means the system's own serial devices.
    std::string port_dir;
    // The device that port n opens; nothing for numbers of four digits or more.
    std::optional<std::string> PortPathFor(std::int32_t n) const;
    // Tells a port the user may not open from a missing one in the messages.
    PortAccessCheck port_access = CheckPortAccess;

private:
    std::string DefaultPortFilePath() const;
    // Reads and throws away what waits on the line before a request: the
    // replies still owed to earlier requests (when `wait_for_owed`, up to
    // their time limit) and whatever else comes until the line is quiet.
    // False when the exchange must end at once (stop request, port gone).
    bool DiscardStale(bool wait_for_owed);
    // A frame-sized run of thrown-away bytes whose check bytes match is
    // taken for an owed reply.
    void CountStaleRun(const std::uint8_t* bytes, int count);
    void ForgetOwedReplies();
    // Ends the connection after the device went away: closes the port, says
    // so once (when `show`) and shows "disconnected".
    void LoseDevice(bool show);
    std::int16_t PortClosedUnderUs();
    // Shows the box of a failed exchange, or keeps it while a procedure
    // holds the line (see Say in the .cpp).
    void Say(std::string_view text);
    void FlushPendingBoxes();
    void EndLineHold();

    Screen& screen_;
    MainWindowPage window_;  // the status, the port box and the scan's progress
    std::unique_ptr<SerialPort> port_;
    std::string connection_state_;
    int open_port_ = 0;
    bool last_exchange_ok_ = false;
    int silent_exchanges_ = 0;       // exchanges in a row without any reply byte
    bool silence_reported_ = false;  // kLineSilentMessage shown for this stretch
    int troubled_exchanges_ = 0;     // exchanges in a row without a good first-attempt reply
    bool garbled_ = false;           // the last troubled exchange got only bad replies
    bool bad_reply_reported_ = false;  // kBadReplyMessage shown for this troubled stretch
    // Replies owed to requests sent (all of the same bytes: a different
    // request waits until they came or their time ran out), how much longer
    // they may come, counted both in waiting done and on the clock.
    int owed_replies_ = 0;
    std::int32_t owed_wait_ms_ = 0;
    std::chrono::steady_clock::time_point owed_until_{};
    // The last reply failed its checks or came short: the line must fall
    // quiet before the next request, or the frames would stay out of step.
    bool resync_quiet_ = false;
    bool rest_owed_ = false;
    bool line_found_dead_ = false;  // the wait for owed replies found the line dead  // the last reply came short: its rest may still come
    bool device_gone_ = false;
    bool late_seen_ = false;  // an owed reply came late in this troubled stretch
    bool stop_requested_ = false;
    int line_holders_ = 0;
    std::shared_ptr<DeviceSession> session_ = std::make_shared<DeviceSession>();
    std::vector<int> busy_ports_;
    std::vector<std::string> pending_boxes_;  // boxes kept back by Say  // ports the last scan found held by another program
};

}  // namespace tovrel
