#pragma once
// The map pages' user texts: captions, transfer progress and messages,
// configuration files (see link/Texts.h). Context "maps".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class MapsText : std::uint16_t {
    ChartLPG,
    ChartPetrol,
    ChartLPGLoad,
    ChartPetrolLoad,
    ChartTabLPGLoad,
    GridTabLPG,
    GridTabPetrol,
    GridTabLPGLoad,
    GridTabPetrolLoad,
    BigStepBox,
    WholeMapBox,
    NegativeValuesBox,
    TemplateButton,
    Gas3DTab,
    Petrol3DTab,
    Build3DButton,
    WriteWhileMonitor,
    WriteWhileTracking,
    ReadLPG,
    WriteLPG,
    WrongValueLPG,
    ReadPetrol,
    WritePetrol,
    WrongValuePetrol,
    ReadLPGLoad,
    WriteLPGLoad,
    WrongValueLPGLoad,
    ReadPetrolLoad,
    WritePetrolLoad,
    WrongValuePetrolLoad,
    TitleLPG,
    TitlePetrol,
    TitleLPGLoad,
    TitlePetrolLoad,
    PreviousWriteCaption,
    TextNode,
    UnsendableUnread,
    UnsendableOutOfRange,
    FileTooBig,
    FileNotXml,
    FileNotConfiguration,
    FileMapWhere,
    FileWantLPGChildren,
    FileWantChildren,
    FileChildCount,
    FileNumberOutOfRange,
    FileNoNumber,
    FileNotDecimal,
    FileBadPoint,
    FileOpenFailed,
    FileNotAFile,
    FileReadFailed,
    FileSaveFailed,
    UnreadPoint,
    UnreadPointsQuestion,
    FileNotSaved,
    Count
};

const texts::Catalogue<MapsText>& CatalogueOf(MapsText);

}  // namespace tovrel
