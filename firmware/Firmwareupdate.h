#pragma once
// The firmware update: the image file, the search for the variator's loader
// on a port of the update's own, the loader conversation (volume, packet
// size, FLASH erase, data packets, final confirmation), the closing steps,
// and the follow-up of the page's button (beeps, reconnection, reading the
// configuration again). Everything reports through the update log
// (FirmwareUpdateProcessMemo), the button caption and the gauge.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Dataextractor.h"
#include "FirmwareImage.h"
#include "LoaderLink.h"

namespace tovrel {

// A failing one-byte read of the loader search is repeated at most this many
// times; then the attempt counts as failed.
inline constexpr int kSearchReadRepeats = 3;
// A data packet whose write fails is written at most this many times; then
// the data stage ends unconfirmed.
inline constexpr int kPacketWriteAttempts = 3;
// The sound signals of an update started with beeps: one short tone after
// the update, two long ones after the reconnection.
inline constexpr int kBeepHz = 523;
inline constexpr int kUpdateBeepMs = 250;
inline constexpr int kReconnectBeepMs = 500;

// Puts the firmware page's controls into their initial state.
void InitFirmwarePage(Screen& screen);

class FirmwareUpdate {
public:
    // `loader_port` is the port object of LoaderPort; tests pass a scripted one.
    explicit FirmwareUpdate(DeviceLink& link,
                            std::unique_ptr<LoaderSerialPort> loader_port = std::make_unique<ComPort>());
    ~FirmwareUpdate();
    FirmwareUpdate(const FirmwareUpdate&) = delete;
    FirmwareUpdate& operator=(const FirmwareUpdate&) = delete;

    // ---- the page's buttons ----
    // Runs the update, then beeps when enabled, reconnects through ComPort,
    // reads the configuration again and beeps twice. After an interrupted
    // update (Interrupted) the variator waits in its loader: the reconnection
    // and the configuration read are left out, so that the update's own
    // message stays the only one. A press while an update runs is ignored; a
    // press while another device procedure holds the line is refused with
    // kLineBusyMessage.
    void FirmwareFileSelectButtonClick();
    // The stop button: while the update talks to the loader, asks
    // kStopUpdateQuestion and on "yes" requests the stop.
    void FirmwareStopButtonClick();
    // The stop request itself (the command line's second Ctrl+C): the update
    // takes it up within kLoaderReadSliceMs of a read, or before its next
    // step, and ends; before the switch to the loader it leaves the device
    // alone. Cleared when the update ends.
    void RequestStop() { stop_requested_ = true; }
    // The whole update; always ends with its closing steps.
    void RunFirmwareUpdate();

    // ---- the image file ----
    // Shows the file dialog; the chosen name, or nothing when cancelled.
    std::optional<std::string> SelectFirmwareFile();
    // Fills the image from the file. On EndOfFile the file is still open for
    // CheckFirmwareImage; otherwise nothing is left open.
    ImageReadEnd ReadFirmwareFile(const std::string& name);
    // Closes the file and logs the verdict on the size.
    void CheckFirmwareImage();
    // Appends one line to the update log and shows it at once.
    void LogUpdateLine(std::string_view text);

    // ---- the loader conversation, each step run by RunFirmwareUpdate ----
    void SearchLoader();
    void StageVolume();
    void StagePacketSize();
    void StageEraseReport();
    void SendFirmwarePackets();
    void StageFinalConfirmation();
    void ClosingSteps();
    bool FlushLoaderPort();

    // ---- state ----
    FirmwareImage image;
    int ConnectionStage = 0;
    LoaderLink LoaderPort;
    // Whether to beep at the end of the update (start option 2). The front
    // end points it at the program's one switch; no beeps while empty.
    std::function<bool()> beep_enabled;
    // Whether the last update got the loader's final confirmation.
    bool Confirmed() const { return confirmed_; }
    // Whether the last update ended after the loader had answered but without
    // its final confirmation: the variator waits in its loader.
    bool Interrupted() const { return interrupted_; }
    // Number of the port the loader answered on in the last update, 0 if none.
    int LoaderPortNumber() const { return loader_port_number_; }
    bool Running() const { return running_; }

    // The configuration read after the reconnection (ReadDeviceOptions, then
    // ReadAllData); the front end wires it. Skipped while empty.
    std::function<void()> read_configuration;
    // Asked just before anything tells the variator to switch to its loader
    // (the front end's backup of the configuration): false ends the update
    // there with the variator left as it is, the hook having said why.
    // Nothing is asked while empty.
    std::function<bool()> before_switch;
    // Called when a press of the button has run to its end: after the
    // reconnection, the configuration read and the beeps.
    std::function<void()> after_update;
    // The update's pauses; by default the device link's.
    std::function<void(int ms)> sleep_ms;

private:
    void Switch();
    void Sleep(int ms);
    // Whether an image that cannot be flashed whole goes to the device all the
    // same: only after the user said yes to kFlashAnywayQuestion.
    bool FlashAnyway(ImageReadEnd end);
    // The update ends before the switch: the device is left as it is.
    void RefuseImage();
    // before_switch; false after ending the update.
    bool ClearedToSwitch();
    bool Stopping() const { return stop_requested_; }

    DeviceLink& link_;
    Screen& screen_;
    FirmwarePage page_;
    int gauge_shown_ = 0;  // the gauge only moves forward within an update
    std::FILE* file_ = nullptr;
    // The one loader word: what is sent is stored here and the answer read
    // into it, so bytes that never arrive keep what it held.
    std::uint32_t word_ = 0;
    bool confirmed_ = false;
    bool interrupted_ = false;
    bool running_ = false;
    bool stop_requested_ = false;
    // The stop button may be pressed (the update talks to the loader).
    bool stoppable_ = false;
    // The closing steps keep the log: it tells why the update ended and what
    // to do next.
    bool keep_log_ = false;
    int loader_port_number_ = 0;
};

}  // namespace tovrel
