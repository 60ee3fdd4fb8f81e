#include "TerminalScreen.h"

#include "Shell.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace tovrel::cli {

TerminalScreen::TerminalScreen() : tty_(::isatty(STDERR_FILENO) != 0) {}

void TerminalScreen::OnMessage(std::string_view text) {
    EndBar();
    std::cerr << "Message: " << text << std::endl;
}

std::optional<std::string> TerminalScreen::ChooseFile(std::string_view, FileDialogMode, std::string_view) {
    auto choice = next_file_choice;
    next_file_choice.reset();
    return choice;
}

bool TerminalScreen::Confirm(std::string_view question) {
    EndBar();
    std::cerr << "Question: " << question << (confirm_answer ? " -> yes" : " -> no") << std::endl;
    return confirm_answer;
}

void TerminalScreen::Beep(int, int) {
    // A terminal has only its bell: no pitch, no length.
    if (tty_) std::cerr << '\a' << std::flush;
}

void TerminalScreen::AppendLine(std::string_view control, std::string_view line) {
    StoredScreen::AppendLine(control, line);
    EndBar();
    std::cerr << line << std::endl;
}

void TerminalScreen::OnSet(std::string_view control, Property property, const PropertyValue& value) {
    if (!show_progress) return;
    if (control == shell::ProgressLabel) {
        if (!IsVisible(shell::ProgressLabel)) return;
        std::string text = Text(shell::ProgressLabel);
        if ((property == Property::Text || property == Property::Visible) && text != last_progress_text_) {
            EndBar();
            std::cerr << text << std::endl;
            last_progress_text_ = text;
        }
        if (property == Property::Visible && std::get_if<bool>(&value) && !std::get<bool>(value)) last_progress_text_.clear();
    } else if (control == shell::ProgressBar) {
        if (property == Property::Position && IsVisible(shell::ProgressBar)) DrawBar();
        if (property == Property::Visible && !IsVisible(shell::ProgressBar)) EndBar();
    } else if (control == "FirmwareUpdateProcessGauge" && property == Property::Position) {
        if (auto* p = std::get_if<int>(&value); p && *p > 0) DrawGauge(*p);
    }
}

void TerminalScreen::DrawGauge(int percent) {
    if (!tty_) return;
    const int width = 40;
    const int filled = std::min(percent, 100) * width / 100;
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << percent << '%' << std::flush;
    bar_drawn_ = true;
}

void TerminalScreen::DrawBar() {
    if (!tty_) return;
    int lo = Number(shell::ProgressBar, Property::Minimum);
    int hi = Number(shell::ProgressBar, Property::Maximum);
    int pos = Number(shell::ProgressBar, Property::Position);
    if (hi <= lo) return;
    int width = 40;
    int filled = static_cast<int>(static_cast<long>(pos - lo) * width / (hi - lo));
    if (filled < 0) filled = 0;
    if (filled > width) filled = width;
    std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), ' ') + "] " + std::to_string(pos);
    std::cerr << bar << std::flush;
    bar_drawn_ = true;
}

void TerminalScreen::EndBar() {
    if (bar_drawn_) std::cerr << '\n';
    bar_drawn_ = false;
}

}  // namespace tovrel::cli
