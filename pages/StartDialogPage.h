#pragma once
// The start dialog: the three ways to start and the button that goes on.
#include "Screen.h"
#include "Shell.h"

namespace tovrel {

class StartDialogPage {
public:
    explicit StartDialogPage(Screen& screen) : c_(screen.controls()) {}

    Control Dialog() const { return {c_, shell::StartDialog}; }
    // Position is the selected option's index.
    Control Options() const { return {c_, shell::StartOptionsGroup}; }
    Control Option(int index) const { return {c_, shell::RadioItem(shell::StartOptionsGroup, index)}; }
    Control ContinueButton() const { return {c_, shell::ContinueButton}; }

private:
    Controls& c_;
};

}  // namespace tovrel
