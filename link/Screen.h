#pragma once
// The logic's only way to the screen. Every device procedure talks to the
// window through this interface: messages and questions, file dialogs, page
// selection, the tone and the message pump. The controls themselves are
// reached through the page presenters (pages/, and beside the logic of a
// page), which hold their component names and hand out `Control` handles.
//
// The desktop layer implements it with Qt widgets, the command line with a
// terminal, the tests with a recording fake. None of the calls assumes the
// caller runs on the GUI thread: an implementation may forward them (for
// instance with a blocking queued call) when device work runs on a worker
// thread; Pump() is then the place where that worker lets stop requests in.
#include <optional>
#include <string>
#include <string_view>

#include "Controls.h"

namespace tovrel {

// Whether a file dialog picks an existing file to read or names one to write.
enum class FileDialogMode { Open, Save };

class Screen {
public:
    virtual ~Screen() = default;

    // The window's controls, for the page presenters: they alone name them.
    virtual Controls& controls() = 0;

    // Modal message box with the caption "Message" and one OK button; returns
    // when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;
    // The same message box, but the caller does not wait for it to be
    // closed: a refusal made while a device procedure runs must not hold
    // that procedure up. A screen that has only modal boxes shows a modal one.
    virtual void ShowNotice(std::string_view text) { ShowMessage(text); }
    // The toolkit's standard error display (conversion errors, file errors).
    virtual void ShowError(std::string_view text) { ShowMessage(text); }
    // A yes/no question that decides whether a risky step goes ahead (a
    // commit to EEPROM with values the variator did not confirm). True only
    // when the user said yes; a screen that cannot ask refuses.
    virtual bool Confirm(std::string_view question) {
        (void)question;
        return false;
    }
    // The toolkit's simple information dialog (one OK button, the program's
    // title as caption).
    virtual void ShowInfo(std::string_view text) { ShowMessage(text); }

    // Pages of the main page control, by index.
    virtual void SelectPage(int index) = 0;
    virtual int SelectedPage() const = 0;

    // Processes pending window messages: button presses made while a device
    // procedure runs are handled from here.
    virtual void Pump() = 0;

    // A file dialog; returns the chosen path, or nothing when cancelled.
    // A save dialog gives a typed name without an extension the filter's
    // extension (or, in a dialog without one, leaves it as typed).
    virtual std::optional<std::string> ChooseFile(std::string_view dialog, FileDialogMode mode,
                                                  std::string_view filter) {
        (void)dialog; (void)mode; (void)filter;
        return std::nullopt;
    }
    // A tone of the given pitch and length. May return before the tone ends;
    // tones asked for one after another sound one after another.
    virtual void Beep(int frequencyHz, int durationMs) { (void)frequencyHz; (void)durationMs; }
};

}  // namespace tovrel
