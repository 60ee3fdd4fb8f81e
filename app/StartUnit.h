#pragma once
// The start dialog (TFormStartSelectConfiguration): how the program starts.
// Its choice goes into Program::StartOption and decides the main window's
// start sequence.
#include <array>
#include <string_view>

#include "Program.h"
#include "AppTexts.h"

namespace tovrel::start_unit {

// The radio group's items; the item's index is the StartOption it sets.
inline constexpr std::array<AppText, 3> kStartOptionTexts = {
    AppText::StartReadConfiguration,
    AppText::StartWithoutReading,
    AppText::StartFirmwareUpdate,
};

// Caption, the radio group with its three items (item 0 selected) and the
// continue button; shows the dialog.
void FormCreate(Program& program);
// "Продолжить" (also Enter): StartOption from the selected item's text, then
// the dialog hides. An item text that is none of the three shows
// "Несуществующая опция. " and keeps StartOption.
void ButtonContinueClick(Program& program);
// The window's close button: the dialog hides, StartOption stays as it is
// (0 unless "Продолжить" set it).
void FormClose(Program& program);

}  // namespace tovrel::start_unit
