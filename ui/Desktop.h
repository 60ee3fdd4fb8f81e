#pragma once
// One run of the desktop program: the screen mirror, the device thread with
// the Program, the start dialog and the main window, in the order the
// program brings them up. main() and the tests use it alike.
#include <QString>
#include <functional>
#include <memory>

#include "BuiltInTexts.h"
#include "DeviceThread.h"
#include "ForwardingCanvas.h"
#include "LiveFeed.h"
#include "QtScreen.h"
#include "UiContext.h"

class QApplication;
class QCoreApplication;
class QSettings;
class QTranslator;

namespace tovrel {
class Program;
class Screen;
class Canvas;
}  // namespace tovrel

namespace tovrel::ui {

class MainWindow;
class StartDialog;

// Makes Tahoma the application's font at 11 pixels: on Linux the
// Tahoma-compatible font file shipped with the system (`path`), on Windows
// (an empty `path`) the system's own Tahoma. False when the font is missing
// (the default font is kept).
#ifdef _WIN32
bool UseTahoma(QApplication& app, const QString& path = {});
#else
bool UseTahoma(QApplication& app, const QString& path = "/usr/share/wine/fonts/tahoma.ttf");
#endif

// Makes Qt's own texts (file dialogs, standard buttons) Russian with Qt's
// Russian translation "qtbase_ru" from `folder` (by default Qt's translation
// folder). Returns the installed translator, owned by `app`; nullptr when the
// translation is missing or unreadable, and Qt's texts stay English.
QTranslator* UseRussianQtTexts(QCoreApplication& app, const QString& folder = {});

class Desktop {
public:
    using ProgramFactory = std::function<std::unique_ptr<Program>(Screen&, Canvas&)>;
    // Starts the device thread and makes the Program on it (by default with
    // the real serial ports).
    explicit Desktop(ProgramFactory make = {});
    ~Desktop();

    QtScreen screen;
    DeviceThread device{screen};
    UiContext ctx{screen, device};
    ForwardingCanvas canvas;
    // Every monitor pass, for the views that follow the engine.
    LiveFeed live_feed;
    // Set while the samples must carry the configuration's checksum.
    std::atomic<bool> live_crc{false};

    // Builds the start dialog (shown by the caller, modally).
    StartDialog& MakeStartDialog();
    // Runs the start dialog modally; returns when it closed.
    void RunStartDialog();
    // Builds the main window and shows it; its first activation starts the
    // start sequence on the device thread.
    MainWindow& ShowMainWindow();

    StartDialog* start_dialog() const { return start_dialog_.get(); }
    MainWindow* window() const { return window_.get(); }

    // Ends the device thread after what was queued: a running procedure is
    // asked to stop (a write and a firmware update are let finish), a
    // procedure begun from the queue stops before it sends anything. False
    // when the thread did not end within `timeout_ms` (-1: no limit; the
    // waits of every procedure are bounded, so it ends).
    bool Stop(int timeout_ms);

    // Makes `language` the active one now: the texts the logic and the
    // window make from here on, and every caption already on the screen
    // (see Language.h). False when its translation is missing.
    bool SetLanguage(texts::Language language);
    // Where a language picked in the menu is kept (main's settings; none in
    // the tests, which then only switch).
    QSettings* settings = nullptr;

private:
    std::unique_ptr<StartDialog> start_dialog_;
    std::unique_ptr<MainWindow> window_;
    int language_switches_ = 0;
};

}  // namespace tovrel::ui
