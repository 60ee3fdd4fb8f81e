#pragma once
// The command line's screen: message boxes become "Message: <text>" lines on
// stderr, the progress line and bar show on the terminal, and every other
// control keeps its properties in memory for the logic to read back.
#include <cstdio>
#include <string>

#include "StoredScreen.h"

namespace tovrel::cli {

class TerminalScreen : public StoredScreen {
public:
    TerminalScreen();
    bool show_progress = true;
    // Answers for file dialogs, set by the command that runs.
    std::optional<std::string> next_file_choice;
    std::optional<std::string> ChooseFile(std::string_view dialog, FileDialogMode mode, std::string_view filter) override;
    void Beep(int frequencyHz, int durationMs) override;
    // The command line cannot ask: questions are answered with this (false
    // unless a command's option says otherwise) and printed with the answer.
    bool confirm_answer = false;
    bool Confirm(std::string_view question) override;
    void AppendLine(std::string_view control, std::string_view line) override;

protected:
    void OnMessage(std::string_view text) override;
    void OnSet(std::string_view control, Property property, const PropertyValue& value) override;

private:
    void DrawBar();
    void DrawGauge(int percent);
    void EndBar();
    bool tty_;
    bool bar_drawn_ = false;
    std::string last_progress_text_;
};

}  // namespace tovrel::cli
