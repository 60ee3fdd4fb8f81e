#pragma once
// Texts of the map editing tools: the "Правка" menu, the operations'
// dialogs, the status bar, the clipboard's refusals and the unsaved-changes
// questions (see link/Texts.h). Context "edit".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class EditText : std::uint16_t {
    EditMenu,
    Undo,
    Redo,
    History,
    HistoryTitle,
    HistoryClean,
    SelectAll,
    Copy,
    Paste,
    SetValue,
    StepUp,
    StepDown,
    TenStepsUp,
    TenStepsDown,
    Scale,
    Interpolate,
    Smooth,
    Revert,
    SetValueTitle,
    SetValuePrompt,
    ScaleTitle,
    ScalePrompt,
    StepArrowKeys,
    StepGridCommit,
    StepTemplate,
    StepDeviceRead,
    StepFileLoad,
    StepReplace,
    StepPaste,
    NoSelection,
    NotAMapPage,
    Limited,
    Done,
    Refused,
    NothingRead,
    BusyLine,
    PasteEmpty,
    PasteBadCell,
    PasteOutOfRange,
    PasteDoesNotFit,
    Pasted,
    Copied,
    MapLPG,
    MapPetrol,
    MapLPGLoad,
    MapPetrolLoad,
    SyncUnknown,
    SyncSame,
    SyncNotWritten,
    SyncNotCommitted,
    SyncNeither,
    SyncEdited,
    AskClose,
    AskDisconnect,
    AskRead,
    AskFileLoad,
    Count
};

const texts::Catalogue<EditText>& CatalogueOf(EditText);

}  // namespace tovrel
