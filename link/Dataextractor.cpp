#include "Dataextractor.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <sstream>
#include <thread>

#include "AtomicFile.h"
#include "Cp1251.h"
#include "Platform.h"
#include "Shell.h"
#include "LinkTexts.h"

namespace tovrel {

namespace {

constexpr LinkText kEchoMessage = LinkText::DeviceReportsBadChecksum;
constexpr LinkText kBadReplyMessage = LinkText::BadReplyChecksum;
constexpr std::string_view kDefaultPortLabel = "Номер COM-порта по умолчанию: ";

struct StateLook {
    std::string_view word;
    LinkText caption;
    Rgb colour;
};
constexpr StateLook kStates[] = {
    {state::Connected, LinkText::StateConnected, colours::Green},
    {state::Disconnected, LinkText::StateDisconnected, colours::Red},
    {state::Connecting, LinkText::StateConnecting, colours::SkyBlue},
    {state::FirmwareUpdate, LinkText::StateFirmwareUpdate, colours::Purple},
    {state::Oscilloscope, LinkText::StateOscilloscope, colours::Fuchsia},
};

void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

DeviceLink::DeviceLink(Screen& screen, std::unique_ptr<SerialPort> port)
    : sleep_ms(RealSleep), screen_(screen), window_(screen), port_(std::move(port)) {}

// ---------------------------------------------------------------- exchange

ReplyVerdict JudgeReply(ExchangeOp operation, const std::uint8_t (&request)[7], const std::uint8_t (&reply)[7]) {
    if (reply[3] != static_cast<std::uint8_t>(~reply[5]) || reply[4] != static_cast<std::uint8_t>(~reply[6]))
        return ReplyVerdict::BadCheck;
    if (operation == ExchangeOp::Read) return ReplyVerdict::Accepted;
    bool complement = true, copy = true;
    for (int i = 0; i < 7; ++i) {
        complement = complement && reply[i] == static_cast<std::uint8_t>(~request[i]);
        copy = copy && reply[i] == request[i];
    }
    if (complement) return ReplyVerdict::Accepted;
    return copy ? ReplyVerdict::Echo : ReplyVerdict::Other;
}

// ---------------------------------------------------------------- resync
//
// A reply that comes after the first byte's timeout must never be read as
// the answer to a later request: the frames carry no request number, and a
// read reply does not repeat its address. So the link keeps count of the
// replies it is still owed. A retry repeats the same request, so a late
// reply to the attempt before it answers the retry just as well; but before
// a different request goes out, the owed replies must have come (a run of
// seven bytes whose check bytes match counts as one) or their time,
// kLateReplyLimitMs after the request, must have run out. Bytes that come
// meanwhile are thrown away. After a reply that failed its checks or came
// short, the line must also fall quiet for kFrameGapMs, so that the next
// frame starts in step.

void DeviceLink::ForgetOwedReplies() {
    owed_replies_ = 0;
    rest_owed_ = false;
    owed_wait_ms_ = 0;
    resync_quiet_ = false;
}

void DeviceLink::CountStaleRun(const std::uint8_t* bytes, int count) {
    for (int at = 0; at + 7 <= count && owed_replies_ > 0; at += 7) {
        const std::uint8_t* f = bytes + at;
        if (f[3] == static_cast<std::uint8_t>(~f[5]) && f[4] == static_cast<std::uint8_t>(~f[6])) {
            --owed_replies_;
            late_seen_ = true;
        }
    }
}

bool DeviceLink::DiscardStale(bool wait_for_owed) {
    using Clock = std::chrono::steady_clock;
    // The drain every request starts with: whatever waits is thrown away.
    std::uint8_t run[kDrainLimitBytes];
    int in_run = 0, total = 0;
    port_->SetTimeout(kDrainTimeoutMs);
    while (total < kDrainLimitBytes && port_->Read(&run[in_run], 1)) {
        ++in_run;
        ++total;
    }
    if (port_->Gone()) return false;
    // The rest of a reply that came short is waited for even before a retry:
    // arriving during the retry's wait, it would be read out of step.
    auto owed = [&] {
        return ((wait_for_owed && owed_replies_ > 0) || rest_owed_) && owed_wait_ms_ > 0 &&
               Clock::now() < owed_until_;
    };
    if (in_run == 0 && !resync_quiet_ && !owed()) {
        rest_owed_ = false;
        if (!wait_for_owed) return true;
        ForgetOwedReplies();
        return true;
    }
    // Something was on the line, or is still to come: read until the owed
    // replies are in (or late past their limit) and the line has been quiet
    // for a frame gap.
    port_->SetTimeout(kFrameGapMs);
    std::int32_t quiet = 0, since_pump = 0;
    while (total < kDrainLimitBytes) {
        if (quiet >= kFrameGapMs) {
            if (in_run > 0) rest_owed_ = false;  // whatever it was, it came
            CountStaleRun(run, in_run);
            in_run = 0;
            if (!owed()) break;
        }
        if (port_->Read(&run[in_run], 1)) {
            ++in_run;
            ++total;
            quiet = 0;
            continue;
        }
        if (port_->Gone()) return false;
        quiet += kFrameGapMs;
        owed_wait_ms_ -= kFrameGapMs;
        since_pump += kFrameGapMs;
        if (since_pump >= kReplyWaitSliceMs) {
            since_pump = 0;
            screen_.Pump();
            if (!port_ || !port_->IsOpen() || StopRequested()) return false;
        }
    }
    CountStaleRun(run, in_run);
    rest_owed_ = false;
    // Two exchanges in a row without an answer, and not a byte in the whole
    // wait for a late one after them: the device is silent, and the third
    // request would only add its own wait.
    if (wait_for_owed && owed_replies_ > 0 && total == 0 && silent_exchanges_ > 0 &&
        troubled_exchanges_ == kSilentExchangeLimit - 1)
        line_found_dead_ = true;
    // A line that never stops sending is left as it is; the request goes
    // out all the same and the checks judge what comes.
    if (wait_for_owed) ForgetOwedReplies();
    resync_quiet_ = false;
    return true;
}

std::int16_t DeviceLink::PortClosedUnderUs() {
    last_exchange_ok_ = false;
    // The window closed or released the port while a procedure still runs:
    // the procedure ends at its next check, without a message (the program
    // did it). A closed port outside any procedure is simply closed.
    if (line_holders_ > 0 && !device_gone_) {
        device_gone_ = true;
        silence_reported_ = true;
    }
    return 0;
}

void DeviceLink::LoseDevice(bool show) {
    const bool first = !device_gone_;
    device_gone_ = true;
    ForgetOwedReplies();
    if (port_) port_->Close();
    open_port_ = 0;
    DeviceConnected = false;
    DeviceMode = 0;
    if (!first) return;
    pending_boxes_.clear();
    if (show && !silence_reported_) screen_.ShowMessage(Tr(kDeviceGoneMessage));
    silence_reported_ = true;
    ShowConnectionState(state::Disconnected);
}

std::int16_t DeviceLink::UARTdataExchangeForTovrel(ExchangeOp operation, std::uint8_t address,
                                                   std::uint8_t index, std::int16_t value, bool showErrors,
                                                   std::int8_t attempts) {
    last_exchange_ok_ = false;
    std::uint8_t request[7] = {};
    // Every call starts from a zeroed reply, so nothing of an earlier call can
    // be taken for this call's reply (and a silent line never yields 1..3).
    std::uint8_t reply[7] = {};
    const bool write = operation == ExchangeOp::Write;
    request[0] = write ? 0xAA : 0x55;
    bool bad_reply = false;
    bool any_reply = false;  // some attempt got at least the first reply byte
    bool any_sent = false;   // some attempt's request went out
    bool late = false;       // some attempt's reply never started in time

    for (int attempt = 0; attempt < attempts; ++attempt) {
        // A stopped procedure's exchange is no exchange: it counts neither as
        // answered nor as silent.
        if (StopRequested()) return 0;
        if (!port_ || !port_->SetTimeout(kDrainTimeoutMs)) return PortClosedUnderUs();
        // Stale input (a late reply to an earlier request among it) is thrown
        // away; before the first attempt the replies still owed to another
        // request are waited for as well.
        if (!DiscardStale(attempt == 0)) {
            if (port_ && port_->Gone()) LoseDevice(showErrors);
            return port_ && port_->IsOpen() ? 0 : PortClosedUnderUs();
        }
        if (line_found_dead_) {
            // Counted as one more exchange without an answer; nothing is sent.
            line_found_dead_ = false;
            ++troubled_exchanges_;
            ++silent_exchanges_;
            garbled_ = false;
            return 0;
        }
        port_->SetTimeout(kExchangeTimeoutMs);

        const auto v = static_cast<std::uint16_t>(value);
        request[1] = address;
        request[2] = index;
        request[3] = static_cast<std::uint8_t>(v >> 8);
        request[4] = static_cast<std::uint8_t>(v & 0xFF);
        request[5] = static_cast<std::uint8_t>(~request[3]);
        request[6] = static_cast<std::uint8_t>(~request[4]);
        if (!port_->Write(request, 7)) {
            if (port_->Gone()) {
                LoseDevice(showErrors);
                return 0;
            }
            continue;
        }
        any_sent = true;
        ++owed_replies_;
        owed_wait_ms_ = kLateReplyLimitMs;
        owed_until_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLateReplyLimitMs);

        screen_.Pump();
        // A nested handler may have closed or released the port meanwhile.
        if (!port_ || !port_->IsOpen()) return PortClosedUnderUs();
        std::fill(std::begin(reply), std::end(reply), std::uint8_t{0});
        // A reply whose first byte did not come in time is no reply: should
        // it still come, it is owed and thrown away before the next different
        // request (a retry of this one may take it). Reading its bytes into
        // bytes 1 to 6 would shift the frame by one, and the shifted frame
        // can pass the checks.
        bool started = false;
        for (std::int32_t waited = 0; waited < kExchangeTimeoutMs && !started; waited += kReplyWaitSliceMs) {
            const std::int32_t slice = std::min(kReplyWaitSliceMs, kExchangeTimeoutMs - waited);
            port_->SetTimeout(slice);
            started = port_->Read(&reply[0], 1);
            if (started) break;
            owed_wait_ms_ -= slice;
            if (port_->Gone()) break;
            screen_.Pump();
            if (!port_ || !port_->IsOpen() || StopRequested()) break;
        }
        if (port_ && port_->Gone()) {
            LoseDevice(showErrors);
            return 0;
        }
        if (!port_ || !port_->IsOpen()) return PortClosedUnderUs();
        if (StopRequested() && !started) return 0;
        port_->SetTimeout(kExchangeTimeoutMs);
        if (!started) {
            late = true;
            continue;
        }
        any_reply = true;
        // A short frame is a failed attempt too: its missing bytes would be
        // checked as zeros, and the rest of it may still come.
        const bool whole = port_->Read(&reply[1], 6);
        if (port_->Gone()) {
            LoseDevice(showErrors);
            return 0;
        }
        const ReplyVerdict verdict = whole ? JudgeReply(operation, request, reply) : ReplyVerdict::BadCheck;
        // Only a frame whose check bytes match counts as the reply owed: a
        // garbled one may as well be noise ahead of the real reply.
        if (verdict != ReplyVerdict::BadCheck && owed_replies_ > 0) --owed_replies_;
        switch (verdict) {
            case ReplyVerdict::BadCheck:
                bad_reply = true;
                resync_quiet_ = true;
                rest_owed_ = rest_owed_ || !whole;
                continue;
            case ReplyVerdict::Accepted:
                // A confirmed write returns the value sent: the reply
                // complemented back equals the request.
                if (write)
                    for (auto& b : reply) b = static_cast<std::uint8_t>(~b);
                bad_reply = false;
                last_exchange_ok_ = true;
                break;
            case ReplyVerdict::Echo:
                if (showErrors) screen_.ShowMessage(Tr(kEchoMessage));
                bad_reply = true;
                continue;
            case ReplyVerdict::Other:
                continue;
        }
        break;
    }
    // An exchange that needed a retry after a missing reply, or got no good
    // reply at all, is troubled; a run of them ends the procedures. The
    // exchange that completes the run is failed even if a retry got an
    // answer: a line this late is not to be worked on.
    if (last_exchange_ok_ && !late) {
        // The run of failures is over short of a dead line: its box is due.
        FlushPendingBoxes();
        troubled_exchanges_ = 0;
        late_seen_ = false;
        silence_reported_ = false;
        bad_reply_reported_ = false;
    } else {
        garbled_ = any_reply && !late;
        if (++troubled_exchanges_ >= kSilentExchangeLimit && last_exchange_ok_) {
            last_exchange_ok_ = false;
            std::fill(std::begin(reply), std::end(reply), std::uint8_t{0});
        }
    }
    if (any_reply) {
        silent_exchanges_ = 0;
        // A garbled line gets the checksum box once per troubled stretch,
        // not once per exchange.
        if (bad_reply && showErrors && !bad_reply_reported_) {
            bad_reply_reported_ = true;
            Say(Tr(kBadReplyMessage));
        }
    } else {
        // Nothing came back at all: say so, once per silent stretch, rather
        // than blaming a checksum.
        // (A request that could not even be written has no message of its
        // own; the procedures still count the exchange as silent.)
        if (++silent_exchanges_ == 1 && showErrors && any_sent) Say(Tr(kNoAnswerMessage));
        std::fill(std::begin(reply), std::end(reply), std::uint8_t{0});
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((reply[3] << 8) | reply[4]));
}

void DeviceLink::Say(std::string_view text) {
    // Inside a procedure the box of a failed exchange waits: should the run
    // of failures grow into a dead line, the line's own message names the
    // cause, and one box is enough.
    if (line_holders_ > 0) {
        if (std::find(pending_boxes_.begin(), pending_boxes_.end(), text) == pending_boxes_.end())
            pending_boxes_.emplace_back(text);
        return;
    }
    screen_.ShowMessage(text);
}

void DeviceLink::FlushPendingBoxes() {
    auto boxes = std::move(pending_boxes_);
    pending_boxes_.clear();
    for (auto text : boxes) screen_.ShowMessage(text);
}

void DeviceLink::EndLineHold() {
    if (--line_holders_ == 0) FlushPendingBoxes();
}

void DeviceLink::ReportLineSilent(bool show) {
    // A procedure stopped from outside ends without a word about the line.
    if (session_->StopRequested()) return;
    if (silence_reported_) return;
    silence_reported_ = true;
    pending_boxes_.clear();
    if (!show) return;
    // Replies that did come, only too late, make a late line, not a silent one.
    if (silent_exchanges_ > 0 && !late_seen_)
        screen_.ShowMessage(Tr(kLineSilentMessage));
    else
        screen_.ShowMessage(Tr(garbled_ ? kLineGarbledMessage : kLineLateMessage));
}

// -------------------------------------------------------------- connection

void DeviceLink::ShowConnectionState(std::string_view word) {
    for (const auto& s : kStates) {
        if (s.word != word) continue;
        connection_state_ = std::string(word);
        window_.Status().SetText(Tr(s.caption));
        window_.Status().SetColour(s.colour);
        window_.Status().SetVisible(true);
        window_.Status().Repaint();
        screen_.Pump();
        return;
    }
}

std::uint16_t DeviceLink::Connect(std::int32_t n, bool showMessages) {
    auto path = PortPathFor(n);
    if (!path) {
        if (showMessages) screen_.ShowMessage(Tr(LinkText::WrongPortNumber));
        return 0;
    }
    if (DeviceConnected) {
        if (showMessages) screen_.ShowMessage(Tr(LinkText::AlreadyConnected));
        return 1;
    }
    if (!port_ || !port_->Open(*path, kBaudRate, kExchangeTimeoutMs)) {
        if (showMessages) {
            std::string text = Tr(port_ && port_->OpenFailedBusy() ? kPortBusyMessage : LinkText::ConnectFailed);
            if (auto advice = OpenFailureAdvice(*path, port_access)) {
                text += '\n';
                text += *advice;
            }
            screen_.ShowMessage(text);
        }
        return 0;
    }
    open_port_ = n;
    silent_exchanges_ = 0;
    silence_reported_ = false;
    ForgetOwedReplies();
    device_gone_ = false;
    late_seen_ = false;
    troubled_exchanges_ = 0;
    bad_reply_reported_ = false;
    if (!port_->SetTimeout(kExchangeTimeoutMs)) screen_.ShowMessage(Tr(LinkText::TimeoutFailed1));
    if (!port_->Purge()) {
        if (showMessages) screen_.ShowMessage(Tr(LinkText::PurgeFailed));
        return 0;
    }
    const auto r = static_cast<std::uint16_t>(UARTdataExchangeForTovrel(ExchangeOp::Read, 0, 0, 0, showMessages, 1));

    window_.ProgressCaption().SetText(TrFormat(LinkText::AnswerFromPort, std::to_string(n), std::to_string(r)));
    window_.ProgressCaption().Repaint();
    window_.Window().Repaint();
    screen_.Pump();
    sleep_ms(1000);

    auto set_timeout = [&](std::string_view failure) {
        if (!port_ || !port_->SetTimeout(kExchangeTimeoutMs)) screen_.ShowMessage(failure);
    };
    switch (r) {
        case kModeNormal:
            if (showMessages) screen_.ShowMessage(Tr(LinkText::Connected));
            DeviceConnected = true;
            ShowConnectionState(state::Connected);
            set_timeout(Tr(LinkText::TimeoutFailed2));
            return 1;
        case kModeLoader:
            ShowConnectionState(state::FirmwareUpdate);
            screen_.ShowMessage(Tr(LinkText::PortOpenLoaderMode));
            set_timeout(Tr(LinkText::TimeoutFailed3));
            screen_.SelectPage(page::Firmware);
            window_.Tab(page::Firmware).Repaint();
            screen_.Pump();
            return 2;
        case kModeOscilloscope:
            ShowConnectionState(state::Oscilloscope);
            screen_.ShowMessage(
                Tr(LinkText::PortOpenOscilloscopeMode));
            set_timeout(Tr(LinkText::TimeoutFailed4));
            screen_.SelectPage(page::Oscilloscope);
            window_.Tab(page::Oscilloscope).Repaint();
            screen_.Pump();
            return 3;
        default:
            if (showMessages) screen_.ShowMessage(Tr(LinkText::PortOpenNoDevice));
            DeviceConnected = false;
            return 0;
    }
}

bool DeviceLink::Disconnect() {
    if (port_) port_->Close();
    // Whatever was owed on the closed port is gone with it.
    ForgetOwedReplies();
    device_gone_ = false;
    open_port_ = 0;
    DeviceConnected = false;
    DeviceMode = 0;
    return true;
}

void DeviceLink::ReleasePort() {
    if (port_) port_->Close();
    port_.reset();
    open_port_ = 0;
}

// --------------------------------------------------------------- port scan

bool DeviceLink::AutoConnect(std::int32_t first, std::int32_t limit) {
    // A scan while the variator is already connected would make Connect
    // report the first port tried without touching the line. Report the port
    // of the open connection instead.
    if (DeviceConnected && OpenPortNumber() != 0) {
        const int n = OpenPortNumber();
        SaveDefaultPort(static_cast<std::uint8_t>(n));
        window_.PortBox().SetText(std::to_string(n));
        window_.ProgressCaption().SetText(TrFormat(LinkText::ConnectedToPort, std::to_string(n)));
        window_.ProgressCaption().Repaint();
        DeviceMode = kModeNormal;
        ShowConnectionState(state::Connected);
        return true;
    }

    // The scan holds the line: a command pressed meanwhile is refused
    // instead of running in the middle of it, and a close stops it.
    LineHold hold(*this, {ProcedureKind::Ordinary, "port scan"});
    ShowConnectionState(state::Connecting);
    busy_ports_.clear();
    bool found = false;
    window_.Progress().SetPosition(0);
    window_.ProgressCaption().SetText(Tr(LinkText::ScanTrying));
    window_.Progress().SetVisible(true);
    window_.ProgressCaption().SetVisible(true);
    const auto old_min = window_.Progress().Get(Property::Minimum);
    const auto old_max = window_.Progress().Get(Property::Maximum);
    window_.Progress().Set(Property::Minimum, static_cast<int>(first));
    window_.Progress().Set(Property::Maximum, static_cast<int>(limit));
    window_.Window().Repaint();
    screen_.Pump();

    auto progress = [&](const std::string& text) {
        window_.ProgressCaption().SetText(text);
        window_.ProgressCaption().Repaint();
        window_.Window().Repaint();
        screen_.Pump();
    };

    for (std::int32_t n = first; n < limit; ++n) {
        const std::string num = std::to_string(n);
        window_.ProgressCaption().SetText(TrFormat(LinkText::ScanTryingPort, num));
        window_.ProgressCaption().Repaint();
        window_.Progress().SetPosition(static_cast<int>(n));
        window_.Progress().Repaint();
        window_.Window().Repaint();
        screen_.Pump();
        if (session_->StopRequested()) break;
        std::uint16_t r = Connect(n, false);
        DeviceMode = static_cast<std::uint8_t>(r);
        if (r == 0 && port_ && port_->OpenFailedBusy()) busy_ports_.push_back(n);
        if (r == 0) {
            progress(TrFormat(LinkText::ScanSecondTry, num));
            r = Connect(n, false);
            DeviceMode = static_cast<std::uint8_t>(r);
        }
        if (r == 0) {
            progress(TrFormat(LinkText::ScanThirdTry, num));
            r = Connect(n, false);
            DeviceMode = static_cast<std::uint8_t>(r);
        }
        if (r == 0) {
            progress(TrFormat(LinkText::ScanLeaving, num));
            Disconnect();
            continue;
        }
        SaveDefaultPort(static_cast<std::uint8_t>(n));
        window_.PortBox().SetText(num);
        found = true;
        progress(TrFormat(LinkText::ConnectedToPort, num));
        break;
    }
    if (!found) ShowConnectionState(state::Disconnected);
    window_.Progress().Set(Property::Minimum, old_min);
    window_.Progress().Set(Property::Maximum, old_max);
    window_.Progress().SetVisible(false);
    window_.ProgressCaption().SetVisible(false);
    return found;
}

std::optional<std::string> DeviceLink::PortPathFor(std::int32_t n) const { return platform::PortPath(n, port_dir); }

std::string DeviceLink::DefaultPortFilePath() const {
    if (default_port_dir.empty()) return kDefaultPortFile;
    return (std::filesystem::path(default_port_dir) / kDefaultPortFile).string();
}

bool DeviceLink::SaveDefaultPort(std::uint8_t port) {
    std::string number = std::to_string(port);
    if (number.size() < 5) number.append(5 - number.size(), ' ');
    std::string line = Utf8ToCp1251(kDefaultPortLabel) + number + "\r\n";
    return WriteFileAtomically(DefaultPortFilePath(), line);
}

namespace {
// White space as a formatted scan skips it.
bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
// Enough of the number's word for any integer that fits a long long.
constexpr std::size_t kNumberKeep = 32;
}  // namespace

std::size_t DefaultPortScanner::Feed(const char* bytes, std::size_t count) {
    std::size_t taken = 0;
    while (taken < count && !done_) {
        const char c = bytes[taken++];
        if (IsScanSpace(c)) {
            if (in_word_) {
                in_word_ = false;
                if (++words_ == 5) done_ = true;
            }
            continue;
        }
        in_word_ = true;
        if (words_ != 4 || number_.size() >= kNumberKeep) continue;
        // Leading zeros carry nothing; keeping them could crowd the digits out.
        const bool zero_so_far = number_ == "0" || number_ == "+0" || number_ == "-0";
        if (!(c == '0' && zero_so_far)) number_ += c;
    }
    return taken;
}

std::optional<std::uint8_t> DefaultPortScanner::Port() const {
    if (words_ < 4 || number_.empty()) return std::nullopt;
    // A decimal integer at the start of the word.
    const char* begin = number_.data();
    const char* end = number_.data() + number_.size();
    if (*begin == '+') ++begin;
    long long value = 0;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr == begin) return std::nullopt;
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(value) & 0xFF);
}

std::optional<std::uint8_t> ParseDefaultPortText(std::string_view text) {
    DefaultPortScanner scanner;
    scanner.Feed(text.data(), text.size());
    return scanner.Port();
}

bool DeviceLink::LoadDefaultPort(std::uint8_t& port) {
    // A FIFO or a device in the file's place is refused without blocking,
    // and no more than kDefaultPortFileLimit bytes are looked at.
    std::FILE* f = OpenRegularFile(DefaultPortFilePath());
    if (!f) return false;
    DefaultPortScanner scanner;
    char chunk[512];
    std::size_t budget = kDefaultPortFileLimit;
    for (std::size_t n; budget > 0 && !scanner.Done() && (n = std::fread(chunk, 1, std::min(sizeof chunk, budget), f)) > 0;) {
        scanner.Feed(chunk, n);
        budget -= n;
    }
    const bool cut = budget == 0 && !scanner.Done();
    std::fclose(f);
    const auto parsed = scanner.Port();
    if (!parsed || cut) return false;
    port = *parsed;
    return true;
}

bool DeviceLink::ConnectAtStart() {
    LineHold hold(*this, {ProcedureKind::Ordinary, "port scan"});
    std::uint8_t port = 1;
    bool found = false;
    if (LoadDefaultPort(port)) {
        found = AutoConnect(port, port + 1);
        if (!found && !session_->StopRequested()) found = AutoConnect(1, 255);
    } else {
        found = AutoConnect(1, 255);
    }
    // A scan stopped from outside (the window closing) found nothing to say.
    if (!found && !session_->StopRequested()) {
        std::string text = Tr(kNoDeviceMessage);
        // A port the user may not open looks like no port at all to the
        // scan; name those, with the way out.
        std::string denied;
        for (const auto& p : DescribePorts(port_dir, port_access))
            if (p.access == PortAccess::NoPermission) {
                if (!denied.empty()) denied += ", ";
                denied += p.path;
            }
        if (!denied.empty()) {
            text += '\n';
            text += PermissionAdvice(denied);
        }
        // A port that another program holds cannot be probed: say which, so
        // that the fitter closes that program instead of hunting for the
        // variator.
        if (!busy_ports_.empty()) {
            std::string ports;
            for (int n : busy_ports_) {
                if (!ports.empty()) ports += ", ";
                ports += "COM" + std::to_string(n);
            }
            text += '\n';
            text += Tr(kBusyPortsDuringScanMessage) + ports + ".";
        }
        screen_.ShowMessage(text);
    }
    return found;
}

}  // namespace tovrel
