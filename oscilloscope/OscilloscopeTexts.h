#pragma once
// The oscilloscope page's user texts: captions, the capture's progress and
// messages, the instructions (see link/Texts.h). Context "oscilloscope".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class OscilloscopeText : std::uint16_t {
    ButtonCaption,
    ButtonBusyCaption,
    Starting,
    NeedsOscilloscopeFirmware,
    NotConnected,
    RequestSent,
    DataArriving,
    StreamStopped,
    FinishedByDevice,
    Finished,
    Cancelled,
    InitialisationSilent,
    LineNotQuiet,
    LineLost,
    Memo1,
    Memo2,
    Memo3,
    MemoOptional,
    Memo6,
    Memo7,
    Memo8,
    Memo9,
    Memo10,
    Memo11,
    Memo14,
    Memo15,
    Memo16,
    Memo17,
    Memo18,
    Memo21,
    Memo4,
    Memo20,
    InitialisationStep,
    FinalInitialisationStep,
    WrongMarker,
    Recorded,
    RecordFileFailed,
    ModeLabel,
    Count
};

const texts::Catalogue<OscilloscopeText>& CatalogueOf(OscilloscopeText);

}  // namespace tovrel
