#pragma once
// The desktop program on the built-in demonstration: `--demo` runs the
// window against simulated variators started in this process, and
// `--screenshots DIR` (which implies the demonstration) brings the program up
// as a user would, reads the variator, saves a picture of the start dialog
// and of every page into DIR, prints where, and ends. The latter needs no
// screen of its own: under xvfb-run or on the offscreen platform it works
// alike.
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "StartArguments.h"

class QSocketNotifier;

namespace tovrel::sim {
class Demo;
}

namespace tovrel::ui {

class Desktop;

class DemoMode {
public:
    // Starts the simulated variators (paced like a real line unless told
    // otherwise) and makes their temporary directory the working directory,
    // so the remembered port file and the recordings stay there. Throws
    // std::runtime_error when they cannot be started.
    explicit DemoMode(bool paced = true);
    // Ctrl+C and SIGTERM end the program as a close of its window does
    // (a running write or update finishes first), then the temporary
    // directory goes; a second one ends it at once.
    // Stops them, goes back to the old working directory and removes the
    // temporary one.
    ~DemoMode();
    DemoMode(const DemoMode&) = delete;
    DemoMode& operator=(const DemoMode&) = delete;

    sim::Demo& demo() { return *demo_; }
    // Ctrl+C or SIGTERM came: the event loops were told to end.
    bool EndRequested() const { return end_requested_; }
    // Two lines for the terminal: what runs where.
    QString Banner() const;

    // The screenshot run, from the start dialog to the last page; the pages
    // are saved as NN-<page name>.png. Returns the files written, in order;
    // an empty list when something failed, `error` then says what.
    // Message boxes are not shown in this run; their texts go to `messages`.
    QStringList TakeScreenshots(Desktop& desktop, const QString& dir, QString& error,
                                QStringList* messages = nullptr, int read_timeout_ms = 60000);

    // TakeScreenshots for main(): prints each file written (and the
    // messages the run met) on stdout, or the failure on stderr; the
    // process status.
    int RunScreenshots(Desktop& desktop, const QString& dir);
    // After TakeScreenshots: a selection on a chart (with points held at
    // the range's top) and on a grid, and the "Правка" menu. They edit the
    // maps, so they come last.
    QStringList TakeEditingScreenshots(Desktop& desktop, const QString& dir, QString& error);

private:
    void EndOnSignals();

    std::unique_ptr<sim::Demo> demo_;
    std::string old_cwd_;
    std::optional<std::string> old_data_home_;  // XDG_DATA_HOME before the demonstration
    std::unique_ptr<QSocketNotifier> signal_notifier_;
    bool end_requested_ = false;
};

// A DemoMode with its banner printed on stdout; nothing (and the reason on
// stderr) when the simulators cannot be started.
std::unique_ptr<DemoMode> StartDemo(bool paced = true);

}  // namespace tovrel::ui
