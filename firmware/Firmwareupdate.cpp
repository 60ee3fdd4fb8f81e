// The update as the page's button runs it: the switch to the loader, the
// loader search on LoaderPort, the word stages and the closing steps.
#include "Firmwareupdate.h"
#include "FirmwareTexts.h"

namespace tovrel {

namespace {

constexpr std::uint32_t kHandshakeWord = 0xFFFFFFFF;
constexpr std::uint32_t kEraseDoneWord = 0xFFFFFFFF;
constexpr std::uint32_t kConfirmWord = 0xFFFFFFFF;

bool WholeWord(const TransferResult& r) { return r.ok && r.count == 4; }

}  // namespace

FirmwareUpdate::FirmwareUpdate(DeviceLink& link, std::unique_ptr<LoaderSerialPort> loader_port)
    : LoaderPort(std::move(loader_port)),
      sleep_ms([&link](int ms) { link.sleep_ms(ms); }),
      link_(link),
      screen_(link.screen()),
      page_(screen_) {
    // A read of the loader's answer waits in slices with the message pump
    // between them: the stop button's press comes in there.
    LoaderPort.between_slices = [this] {
        screen_.Pump();
        return !(stop_requested_ && stoppable_);
    };
}

FirmwareUpdate::~FirmwareUpdate() {
    if (file_) std::fclose(file_);
    LoaderPort.Close();
}

void FirmwareUpdate::Sleep(int ms) {
    if (ms > 0 && sleep_ms) sleep_ms(ms);
}

bool FirmwareUpdate::FlushLoaderPort() {
    if (LoaderPort.Flush()) return true;
    LogUpdateLine(Tr(FirmwareText::BufferSendFailed));
    return false;
}

// ------------------------------------------------------------ the button

void FirmwareUpdate::FirmwareFileSelectButtonClick() {
    if (running_) return;  // pressed again from a pumped message: the update runs already
    if (link_.LineBusy()) {
        screen_.ShowNotice(Tr(kLineBusyMessage));
        return;
    }
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(running_);
    {
        DeviceLink::LineHold hold(link_, {ProcedureKind::FirmwareUpdate, "firmware update"});
        RunFirmwareUpdate();
        if (beep_enabled && beep_enabled()) screen_.Beep(kBeepHz, kUpdateBeepMs);
        // Back to the variator in its new firmware: the remembered port (the
        // one the loader answered on), then ports 1 to 254. After an
        // interrupted update there is no new firmware to find: the scan would
        // only add its own message (nothing found, or the loader found) to
        // the update's.
        if (!interrupted_) link_.ConnectAtStart();
    }
    // The configuration procedures hold the line themselves.
    if (read_configuration && !interrupted_) read_configuration();
    if (beep_enabled && beep_enabled()) {
        screen_.Beep(kBeepHz, kReconnectBeepMs);
        screen_.Beep(kBeepHz, kReconnectBeepMs);
    }
    stop_requested_ = false;  // a stop that came after the update has nothing left to stop
    if (after_update) after_update();
}

void FirmwareUpdate::FirmwareStopButtonClick() {
    if (!stoppable_ || stop_requested_) return;
    if (screen_.Confirm(Tr(kStopUpdateQuestion))) RequestStop();
}

void FirmwareUpdate::RunFirmwareUpdate() {
    ConnectionStage = 0;
    confirmed_ = false;
    interrupted_ = false;
    // A log kept by the last update gives way to this one's.
    if (keep_log_) page_.Memo().SetText("");
    keep_log_ = false;
    loader_port_number_ = 0;
    image.size = 0;

    LogUpdateLine(Tr(FirmwareText::UpdateButtonPressed));
    auto name = SelectFirmwareFile();
    if (!name) {
        LogUpdateLine(Tr(FirmwareText::NoFileSelected));
        ClosingSteps();
        return;
    }
    const ImageReadEnd end = ReadFirmwareFile(*name);
    if (end == ImageReadEnd::NotOpened) {
        // Nothing to flash and no file to close: the device is left as it is.
        ClosingSteps();
        return;
    }
    // Only an image that the loader can take whole leaves the device's hands:
    // an empty or unreadable one would switch the variator into its loader
    // and leave it there, one whose size is not a multiple of 4 cannot be a
    // whole firmware, and a longer one would be flashed cut to the buffer.
    // The last two go on only when the user says so.
    const bool whole = end == ImageReadEnd::EndOfFile && image.size != 0 && image.size % 4 == 0;
    if (whole && !Stopping()) {
        if (!ClearedToSwitch()) return;
        Switch();
        CheckFirmwareImage();
    } else {
        CheckFirmwareImage();
        if (!FlashAnyway(end)) {
            RefuseImage();
            return;
        }
        if (end == ImageReadEnd::TooLarge) image.size = FirmwareImageCapacity;
        if (!ClearedToSwitch()) return;
        Switch();
    }

    page_.FileButton().SetText(Tr(FirmwareText::Initialising));
    page_.FileButton().SetEnabled(false);
    page_.FileButton().Repaint();
    stoppable_ = true;
    page_.StopButton().SetEnabled(true);

    SearchLoader();
    if (ConnectionStage == 1 && image.size != 0) {
        StageVolume();
        StagePacketSize();
        StageEraseReport();
        SendFirmwarePackets();
        StageFinalConfirmation();
    }
    // (Not stoppable any more: the final confirmation was sent, and was
    // waited for in spite of the stop.)
    if (stop_requested_ && stoppable_) LogUpdateLine(Tr(kUpdateStoppedLine));
    // The loader took the update up and did not confirm it: whatever the
    // cause, the variator now waits in its loader, perhaps with part of the
    // image in its FLASH. The log keeps its lines and says so last.
    interrupted_ = ConnectionStage >= 1 && !confirmed_;
    if (interrupted_) {
        // The port goes first, so that a failing flush of a vanished line
        // does not come after the last line.
        if (LoaderPort.IsOpen()) {
            FlushLoaderPort();
            LoaderPort.Close();
        }
        LogUpdateLine(Tr(kUpdateInterruptedMessage));
        keep_log_ = true;
    }
    if (stop_requested_ && ConnectionStage == 0) keep_log_ = true;
    ClosingSteps();
    if (interrupted_) screen_.ShowMessage(Tr(kUpdateInterruptedMessage));
}

bool FirmwareUpdate::FlashAnyway(ImageReadEnd end) {
    if (stop_requested_) return false;
    if (end == ImageReadEnd::EndOfFile && image.size != 0)
        return screen_.Confirm(
            TrFormat(FirmwareText::SizeNotWholeQuestion, std::to_string(image.size), Tr(kFlashAnywayQuestion)));
    if (end == ImageReadEnd::TooLarge)
        return screen_.Confirm(TrFormat(FirmwareText::TooLargeQuestion, std::to_string(FirmwareImageCapacity),
                                        Tr(kFlashAnywayQuestion)));
    return false;  // empty or unreadable: nothing to flash
}

bool FirmwareUpdate::ClearedToSwitch() {
    if (!before_switch || before_switch()) return true;
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    image.size = 0;
    ClosingSteps();
    return false;
}

void FirmwareUpdate::RefuseImage() {
    if (stop_requested_) LogUpdateLine(Tr(kUpdateStoppedLine));
    LogUpdateLine(Tr(kImageRefusedLine));
    image.size = 0;
    keep_log_ = true;
    ClosingSteps();
}

// The running firmware is told to hand over to its loader, and ComPort is
// given up so that LoaderPort can open the line.
void FirmwareUpdate::Switch() {
    if (link_.DeviceMode == kModeNormal || link_.DeviceMode == kModeOscilloscope) {
        link_.UARTdataExchangeForTovrel(ExchangeOp::Write, 8, 0, 0, false, 2);
        link_.DeviceMode = kModeLoader;
        LogUpdateLine(Tr(FirmwareText::SwitchRequestSent));
        link_.ShowConnectionState(state::FirmwareUpdate);
    }
    if (link_.port()) link_.port()->Purge();
    link_.Disconnect();
}

// ------------------------------------------------------------ the search

void FirmwareUpdate::SearchLoader() {
    int attempt = 0;
    // Attempts 1 to 3 use the remembered port, then each port from 1 to 254
    // gets four attempts and 255 one. The end is decided by the attempt
    // count, so a remembered port of 255 does not cut the search short.
    while (ConnectionStage == 0 && attempt / 4 < 255 && !Stopping()) {
        ++attempt;
        int p = attempt / 4;
        if (p == 0) {
            std::uint8_t remembered = 1;
            link_.LoadDefaultPort(remembered);
            p = remembered;
        }
        const std::string com = "COM" + std::to_string(p);
        const auto path = link_.PortPathFor(p);
        if (!path || !LoaderPort.Open(*path)) {
            LogUpdateLine(TrFormat(FirmwareText::PortOpenFailed, com));
            continue;
        }
        if (!LoaderPort.ApplyLineSettings()) {
            LogUpdateLine(Tr(FirmwareText::PortSetupFailed));
            LoaderPort.Close();
            continue;
        }
        link_.SaveDefaultPort(static_cast<std::uint8_t>(p));
        // Without its timeouts a read could wait for ever: the attempt ends
        // as for refused line settings.
        if (!LoaderPort.ApplySearchTimeouts()) {
            LogUpdateLine(Tr(FirmwareText::PortSetupFailed));
            LoaderPort.Close();
            continue;
        }
        LogUpdateLine(TrFormat(FirmwareText::PortOpened, com));
        if (!LoaderPort.Purge()) {
            LogUpdateLine(Tr(FirmwareText::PortPurgeFailed));
            Sleep(1000);
        } else if (!LoaderPort.SetupQueues()) {
            LogUpdateLine(Tr(FirmwareText::BufferSetupFailed));
            Sleep(1000);
        }
        FlushLoaderPort();
        LogUpdateLine(Tr(FirmwareText::Loading));

        // The loader's first byte, or the search timeout; its value is not
        // used. A read call that keeps failing ends the attempt.
        std::uint8_t first = 0;
        bool read_ok = false;
        int repeats = 0;
        do {
            read_ok = LoaderPort.Read(&first, 1).ok;
        } while (!read_ok && ++repeats <= kSearchReadRepeats && !Stopping());
        if (Stopping()) {
            LoaderPort.Close();
            break;
        }
        if (!read_ok) {
            LogUpdateLine(Tr(FirmwareText::NoDeviceOnPort));
            LoaderPort.Close();
            continue;
        }
        LogUpdateLine(Tr(FirmwareText::LoadingDone));

        word_ = kHandshakeWord;
        LoaderPort.WriteWord(word_);
        const auto r = LoaderPort.ReadWord(word_);
        if (Stopping() && word_ != 0) {
            LoaderPort.Close();
            break;
        }
        if (!r.ok) {
            LogUpdateLine(Tr(FirmwareText::NoAnswer));
            page_.Memo().Repaint();
        }
        if (r.count < 4) LogUpdateLine(Tr(FirmwareText::ShortRead));
        if (word_ == 0) {
            ConnectionStage = 1;
            loader_port_number_ = p;
            LogUpdateLine(Tr(FirmwareText::LoaderReady));
            link_.ShowConnectionState(state::FirmwareUpdate);
            break;
        }
        std::string text = Tr(FirmwareText::NoDeviceOnPort);
        if (word_ != kHandshakeWord) text = TrFormat(FirmwareText::LoaderVersion, text, WordText(word_));
        LogUpdateLine(text);
        LoaderPort.Close();
    }
    // A stopped search says no more than the stop line: the user knows why
    // it ended and is not kept waiting.
    if (ConnectionStage != 0 || Stopping()) return;
    page_.FileButton().SetText(Tr(FirmwareText::ConnectFailed));
    LogUpdateLine(Tr(FirmwareText::LoaderNotFound));
    LogUpdateLine(Tr(FirmwareText::Advice));
    LogUpdateLine(Tr(FirmwareText::AdvicePowerOff));
    LogUpdateLine(Tr(FirmwareText::AdviceRetry));
    Sleep(10000);
    LoaderPort.Close();
}

// ------------------------------------------------------------ the stages

void FirmwareUpdate::StageVolume() {
    if (ConnectionStage != 1 || Stopping()) return;
    const std::uint32_t s = image.size;
    LoaderPort.ApplyTransferTimeouts();
    FlushLoaderPort();
    Sleep(500);
    word_ = s;
    LoaderPort.WriteWord(word_);
    const auto r = LoaderPort.ReadWord(word_);
    if (Stopping()) return;  // the read was abandoned: nothing to judge
    switch (JudgeWordAnswer(r, word_, ~s, s)) {
        case WordAnswer::NoAnswer:
            LogUpdateLine(Tr(FirmwareText::NoAnswer));
            break;
        case WordAnswer::Short:
            LogUpdateLine(Tr(FirmwareText::ShortRead));
            break;
        case WordAnswer::Accepted:
            LogUpdateLine(Tr(FirmwareText::VolumeAccepted));
            ConnectionStage = 2;
            break;
        case WordAnswer::Refused:
            LogUpdateLine(Tr(FirmwareText::VolumeTooLarge));
            break;
        case WordAnswer::Wrong:
            LogUpdateLine(Tr(FirmwareText::VolumeWrongAnswer));
            LogUpdateLine(Tr(FirmwareText::AnswerWas));
            LogUpdateLine(WordText(word_));
            break;
    }
}

void FirmwareUpdate::StagePacketSize() {
    if (ConnectionStage != 2 || Stopping()) return;
    FlushLoaderPort();
    Sleep(500);
    word_ = FirmwarePacketSize;
    if (!WholeWord(LoaderPort.WriteWord(word_))) LogUpdateLine(Tr(FirmwareText::PacketSizeSendFailed));
    const auto r = LoaderPort.ReadWord(word_);
    if (Stopping()) return;  // the read was abandoned: nothing to judge
    switch (JudgeWordAnswer(r, word_, ~FirmwarePacketSize, FirmwarePacketSize)) {
        case WordAnswer::NoAnswer:
            LogUpdateLine(Tr(FirmwareText::PacketSizeNoAnswer));
            break;
        case WordAnswer::Short:
            LogUpdateLine(Tr(FirmwareText::ShortRead));
            break;
        case WordAnswer::Accepted:
            LogUpdateLine(Tr(FirmwareText::PacketSizeAccepted));
            ConnectionStage = 3;
            break;
        case WordAnswer::Refused:
            LogUpdateLine(Tr(FirmwareText::PacketSizeRefused));
            break;
        case WordAnswer::Wrong:
            LogUpdateLine(Tr(FirmwareText::PacketSizeWrongAnswer));
            LogUpdateLine(Tr(FirmwareText::AnswerWas));
            LogUpdateLine(WordText(word_));
            break;
    }
}

void FirmwareUpdate::StageEraseReport() {
    if (ConnectionStage != 3 || Stopping()) return;
    // Nothing is sent: the loader answers once its FLASH is erased.
    const auto r = LoaderPort.ReadWord(word_);
    if (Stopping()) return;  // the read was abandoned: nothing to judge
    switch (JudgeWordAnswer(r, word_, kEraseDoneWord, 0)) {
        case WordAnswer::NoAnswer:
            LogUpdateLine(Tr(FirmwareText::EraseNoAnswer));
            break;
        case WordAnswer::Short:
            LogUpdateLine(Tr(FirmwareText::EraseShortRead));
            break;
        case WordAnswer::Accepted:
            LogUpdateLine(Tr(FirmwareText::Erased));
            ConnectionStage = 4;
            break;
        case WordAnswer::Refused:
            LogUpdateLine(Tr(FirmwareText::NotErased));
            break;
        case WordAnswer::Wrong:
            LogUpdateLine(Tr(FirmwareText::EraseWrongAnswer));
            LogUpdateLine(Tr(FirmwareText::AnswerWas));
            LogUpdateLine(WordText(word_));
            break;
    }
}

void FirmwareUpdate::StageFinalConfirmation() {
    if (ConnectionStage != 5 || Stopping()) return;
    // Once the confirmation word is on its way the loader keeps the image
    // and starts it: its answer is waited for, whatever stop comes now.
    stoppable_ = false;
    page_.StopButton().SetEnabled(false);
    FlushLoaderPort();
    Sleep(500);
    word_ = kConfirmWord;
    if (!WholeWord(LoaderPort.WriteWord(word_)))
        LogUpdateLine(Tr(FirmwareText::ConfirmationSendFailed));
    const auto r = LoaderPort.ReadWord(word_);
    switch (JudgeWordAnswer(r, word_, 0, std::nullopt)) {
        case WordAnswer::NoAnswer:
            LogUpdateLine(Tr(FirmwareText::ConfirmationNoAnswer));
            break;
        case WordAnswer::Short:
            LogUpdateLine(Tr(FirmwareText::ConfirmationShortRead));
            break;
        case WordAnswer::Accepted:
            LogUpdateLine(Tr(FirmwareText::ConfirmationReceived));
            LogUpdateLine(Tr(FirmwareText::UpdateSucceeded));
            page_.FileButton().SetText(Tr(FirmwareText::UpdateSucceeded));
            page_.FileButton().SetEnabled(true);
            confirmed_ = true;
            break;
        case WordAnswer::Refused:
        case WordAnswer::Wrong:
            LogUpdateLine(Tr(FirmwareText::ConfirmationWrongAnswer));
            LogUpdateLine(Tr(FirmwareText::AnswerWas));
            LogUpdateLine(WordText(word_));
            break;
    }
}

void FirmwareUpdate::ClosingSteps() {
    stoppable_ = false;
    stop_requested_ = false;
    page_.StopButton().SetEnabled(false);
    if (!keep_log_) {
        page_.Memo().SetText("");
        page_.Memo().Repaint();
    }
    page_.FileButton().SetText(Tr(kFirmwareButtonCaption));
    gauge_shown_ = 0;
    page_.Gauge().SetPosition(0);
    screen_.Pump();
    if (LoaderPort.IsOpen()) {
        FlushLoaderPort();
        LoaderPort.Close();
    }
    Sleep(2000);
    page_.FileButton().SetEnabled(true);
}

}  // namespace tovrel
