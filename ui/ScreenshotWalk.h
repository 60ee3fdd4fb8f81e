#pragma once
// The program brought up as a user would: the start dialog answered with its
// first option (connect and read), the start sequence awaited, then a picture
// of the start dialog and of every page. The demonstration runs it against
// its simulated variators (--screenshots); --walk runs it against whatever
// the start sequence finds on the system's ports, which is how an installed
// program is checked without anyone at the screen.
#include <QString>
#include <QStringList>
#include <chrono>

namespace tovrel::ui {

class Desktop;

struct WalkFigures {
    // From the process's creation (or, where the system does not say,
    // `started`) to the start dialog on the screen.
    long long dialog_shown_ms = -1;
    // From the start dialog's answer to the end of the start sequence
    // (connection and the whole configuration read).
    long long start_sequence_ms = -1;
    // A second read of the whole configuration once connected (the window's
    // read button): the line's pace alone, without the port scan.
    long long read_all_ms = -1;
    // The status label once the start sequence ended: its text and its
    // background colour as #rrggbb (empty while it is transparent).
    QString status_text, status_colour;
};

// Saves the pictures as 00-start-dialog.png and NN-<page name>.png in `dir`
// (made when missing). Returns the files written, in order; an empty list
// when something failed, `error` then says what. Message boxes are not shown
// in this run; their texts go to `messages`. `started` is the program's
// start, for the figures.
QStringList TakeScreenshots(Desktop& desktop, const QString& dir, QString& error, QStringList* messages = nullptr,
                            int read_timeout_ms = 60000, WalkFigures* figures = nullptr,
                            std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now());

// TakeScreenshots for main(): prints the messages the run met and each file
// written on stdout, or the failure on stderr; the process status. With
// `with_figures` the figures follow the files, and all of it (the failure
// too) also goes into walk.txt in `dir`, for a program without a console.
int RunScreenshots(Desktop& desktop, const QString& dir, bool with_figures = false,
                   std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now());

}  // namespace tovrel::ui
