#pragma once
// The main window's frame: the top row (read, write, the port, the status),
// the progress bar and its caption, the page control with its tabs, and the
// menu. The names themselves are in Shell.h, shared with the start dialog.
#include <string_view>

#include "Screen.h"
#include "Shell.h"

namespace tovrel {

// The status bar's field that keeps the outcome of the last firmware update
// with its time after the update's log has been emptied.
inline constexpr std::string_view kUpdateOutcomeStatus = "UpdateOutcomeStatus";

class MainWindowPage {
public:
    explicit MainWindowPage(Screen& screen) : c_(screen.controls()) {}

    Control Window() const { return {c_, shell::MainWindow}; }
    Control ReadButton() const { return {c_, shell::ReadDataButton}; }
    Control WriteButton() const { return {c_, shell::WriteDataButton}; }
    Control PortCaption() const { return {c_, shell::PortLabel}; }
    Control PortBox() const { return {c_, shell::PortBox}; }
    // Item `index` (from 0) of the port box.
    Control PortItem(int index) const { return {c_, shell::RadioItem(shell::PortBox, index)}; }
    Control Status() const { return {c_, shell::StatusLabel}; }
    Control TemplateButton() const { return {c_, shell::TemplateButton}; }

    Control UpdateOutcome() const { return {c_, kUpdateOutcomeStatus}; }

    Control Progress() const { return {c_, shell::ProgressBar}; }
    Control ProgressCaption() const { return {c_, shell::ProgressLabel}; }

    Control Pages() const { return {c_, shell::PageControl}; }
    // The tab of page `index` (page:: in Shell.h).
    Control Tab(int index) const { return {c_, shell::TabSheet(index)}; }

    Control ConnectionMenu() const { return {c_, shell::ConnectionMenu}; }
    Control ConnectItem() const { return {c_, shell::ConnectItem}; }
    Control AutoSelectItem() const { return {c_, shell::AutoSelectItem}; }
    Control DisconnectItem() const { return {c_, shell::DisconnectItem}; }
    Control FileMenu() const { return {c_, shell::FileMenu}; }
    Control UpdateMenu() const { return {c_, shell::UpdateMenu}; }
    Control HelpMenu() const { return {c_, shell::HelpMenu}; }

private:
    Controls& c_;
};

}  // namespace tovrel
