#include "StartUnit.h"

#include "Shell.h"
#include "AppTexts.h"

namespace tovrel::start_unit {

void FormCreate(Program& program) {
    Screen& screen = program.screen;
    screen.SetText(shell::StartDialog, Tr(shell::StartDialogCaption));
    screen.SetText(shell::StartOptionsGroup, Tr(shell::StartOptionsCaption));
    for (std::size_t i = 0; i < kStartOptionTexts.size(); ++i)
        screen.SetText(shell::RadioItem(shell::StartOptionsGroup, static_cast<int>(i)), Tr(kStartOptionTexts[i]));
    screen.SetPosition(shell::StartOptionsGroup, 0);
    screen.SetText(shell::ContinueButton, Tr(shell::ContinueCaption));
    screen.SetVisible(shell::StartDialog, true);
}

void ButtonContinueClick(Program& program) {
    Screen& screen = program.screen;
    const int item = screen.Number(shell::StartOptionsGroup, Property::Position);
    const std::string text = screen.Text(shell::RadioItem(shell::StartOptionsGroup, item));
    bool known = false;
    for (std::size_t i = 0; i < kStartOptionTexts.size(); ++i) {
        if (text == Tr(kStartOptionTexts[i])) {
            program.StartOption = static_cast<std::uint8_t>(i);
            known = true;
            break;
        }
    }
    if (!known) screen.ShowMessage(Tr(AppText::UnknownOption));
    screen.SetVisible(shell::StartDialog, false);
}

void FormClose(Program& program) { program.screen.SetVisible(shell::StartDialog, false); }

}  // namespace tovrel::start_unit
