#pragma once
// The device link's user texts: messages, the status captions, the progress
// line (see link/Texts.h). Context "link".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class LinkText : std::uint16_t {
    LineBusy,
    NoAnswer,
    LineSilent,
    LineGarbled,
    LineLate,
    DeviceGone,
    PortBusy,
    BusyPortsDuringScan,
    NoDevice,
    DeviceReportsBadChecksum,
    BadReplyChecksum,
    StateConnected,
    StateDisconnected,
    StateConnecting,
    StateFirmwareUpdate,
    StateOscilloscope,
    WrongPortNumber,
    AlreadyConnected,
    ConnectFailed,
    TimeoutFailed1,
    PurgeFailed,
    Connected,
    TimeoutFailed2,
    PortOpenLoaderMode,
    TimeoutFailed3,
    PortOpenOscilloscopeMode,
    TimeoutFailed4,
    PortOpenNoDevice,
    ScanTrying,
    AnswerFromPort,
    ConnectedToPort,
    ScanTryingPort,
    ScanSecondTry,
    ScanThirdTry,
    ScanLeaving,
    PermissionAdvice,
    PortTooHigh,
    PortUnassigned,
    PortMissing,
    PortNoPermission,
    PortUnusable,
    StartDialogCaption,
    StartOptionsCaption,
    ContinueCaption,
    Count
};

const texts::Catalogue<LinkText>& CatalogueOf(LinkText);

}  // namespace tovrel
