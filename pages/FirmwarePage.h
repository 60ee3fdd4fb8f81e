#pragma once
// The firmware page: the button that picks an image and starts the update,
// the stop button, the progress gauge and the memo that logs the update.
#include <string_view>

#include "Screen.h"

namespace tovrel {

inline constexpr std::string_view kFirmwareFileDialog = "FirmwareFileOpenDialog";
inline constexpr std::string_view kFirmwareFileFilter = "*.evf0";
inline constexpr std::string_view kFirmwareMemo = "FirmwareUpdateProcessMemo";
inline constexpr std::string_view kFirmwareButton = "FirmwareFileSelectButton";
inline constexpr std::string_view kFirmwareGauge = "FirmwareUpdateProcessGauge";
// Stops an update that talks to the loader; enabled only meanwhile.
inline constexpr std::string_view kFirmwareStopButton = "FirmwareStopButton";
inline constexpr std::string_view kFirmwareTabSheet = "FirmwareUpdateTabSheet";

class FirmwarePage {
public:
    explicit FirmwarePage(Screen& screen) : c_(screen.controls()) {}

    Control Memo() const { return {c_, kFirmwareMemo}; }
    Control FileButton() const { return {c_, kFirmwareButton}; }
    Control StopButton() const { return {c_, kFirmwareStopButton}; }
    Control Gauge() const { return {c_, kFirmwareGauge}; }
    Control GaugeCaption() const { return {c_, "Label18"}; }
    Control MemoCaption() const { return {c_, "Label19"}; }

private:
    Controls& c_;
};

}  // namespace tovrel
