#pragma once
// Modal dialogs for a caller on any thread: message boxes, the yes/no
// question and the file dialogs run on the GUI thread, and the calling
// thread waits for the user's answer (a caller on the GUI thread runs them
// itself). The GUI thread keeps serving the window meanwhile.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Screen.h"

class QMessageBox;

namespace tovrel::ui {

// The name a save dialog writes to: `typed` with the extension of the
// dialog's name filter ("Text Files (*.xml)", "*.evf0") added when its file
// name does not already end in one of the filter's extensions, in any case:
// "my_car" -> "my_car.xml", "car.XML" stays, "car.v2" -> "car.v2.xml" (the
// open dialog's filter would hide it otherwise), "car." -> "car.xml". A
// filter without a fixed extension ("*", "*.*") leaves the name as typed.
QString WithFilterExtension(const QString& typed, const QString& name_filter);

class DialogBridge {
public:
    enum class Box { Message, Error, Info };

    // `gui` lives on the GUI thread and outlives the bridge; `before` runs
    // there before each dialog comes up (what was set shows behind it).
    DialogBridge(QObject* gui, std::function<void()> before);
    ~DialogBridge();
    DialogBridge(const DialogBridge&) = delete;
    DialogBridge& operator=(const DialogBridge&) = delete;

    // A box with one OK button. A message has the caption "Message"; the
    // error display and the information box carry the program's title.
    void Show(const std::string& text, Box kind);
    // The same message box, but nobody waits for it: it stays open beside
    // the window while the caller goes on. One box per text at a time (a
    // second notice of an open one raises it).
    void Notify(const std::string& text);
    // "Да" or "Нет", "Нет" by default: Enter or closing the box never says
    // yes to a risky step.
    bool Confirm(const std::string& question);
    // The chosen path, or nothing when cancelled. `filter` is
    // "Caption|patterns|Caption|patterns" or bare patterns; a save dialog's
    // name gets the selected filter's extension.
    std::optional<std::string> ChooseFile(const std::string& dialog, FileDialogMode mode, const std::string& filter);

private:
    bool OnGuiThread() const;
    void RunModal(const std::function<void()>& body);

    QObject* gui_;
    std::function<void()> before_;
    std::vector<QPointer<QMessageBox>> notices_;  // open notice boxes (GUI thread)
};

}  // namespace tovrel::ui
