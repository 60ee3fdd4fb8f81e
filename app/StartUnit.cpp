#include "StartUnit.h"

#include "Shell.h"
#include "StartDialogPage.h"
#include "AppTexts.h"

namespace tovrel::start_unit {

void FormCreate(Program& program) {
    const StartDialogPage dialog(program.screen);
    dialog.Dialog().SetText(Tr(shell::StartDialogCaption));
    dialog.Options().SetText(Tr(shell::StartOptionsCaption));
    for (std::size_t i = 0; i < kStartOptionTexts.size(); ++i)
        dialog.Option(static_cast<int>(i)).SetText(Tr(kStartOptionTexts[i]));
    dialog.Options().SetPosition(0);
    dialog.ContinueButton().SetText(Tr(shell::ContinueCaption));
    dialog.Dialog().SetVisible(true);
}

void ButtonContinueClick(Program& program) {
    const StartDialogPage dialog(program.screen);
    const int item = dialog.Options().Number(Property::Position);
    const std::string text = dialog.Option(item).Text();
    bool known = false;
    for (std::size_t i = 0; i < kStartOptionTexts.size(); ++i) {
        if (text == Tr(kStartOptionTexts[i])) {
            program.StartOption = static_cast<std::uint8_t>(i);
            known = true;
            break;
        }
    }
    if (!known) program.screen.ShowMessage(Tr(AppText::UnknownOption));
    dialog.Dialog().SetVisible(false);
}

void FormClose(Program& program) { StartDialogPage(program.screen).Dialog().SetVisible(false); }

}  // namespace tovrel::start_unit
