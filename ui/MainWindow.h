#pragma once
// The main window TForm2: the top row (EEPROM buttons, port box, progress
// line, status label, template button, log and service controls), the main
// menu and the page control with its fifteen pages.
#include <QMainWindow>
#include <string_view>

#include "DeviceSession.h"
#include "UiContext.h"
#include "BuiltInTexts.h"
#include "QtTexts.h"

class QActionGroup;
class QTabWidget;

class QMenu;

namespace tovrel::ui {
class MapEditing;
}

namespace tovrel::ui {

// Said when the window is closed while a procedure must not be cut short.
inline constexpr UiText kCloseRefusedDuringUpdateMessage = UiText::CloseRefusedDuringUpdate;
inline constexpr UiText kCloseWaitsForWriteMessage = UiText::CloseWaitsForWrite;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(UiContext& ctx);

    QTabWidget* pages() const { return pages_; }
    // The map editing tools: selections, the "Правка" menu, undo.
    MapEditing* editing() const { return editing_; }
    // The area under the menu that holds the controls (1100 x 642).
    QWidget* content() const { return content_; }

    // The device session went busy or idle: a close asked for while a
    // procedure ran goes ahead once it has ended.
    void SessionChanged(const DeviceSession::State& state);
    // A close waits for the running procedure to end.
    bool ClosePending() const { return close_pending_; }
    // Ticks the language's item in the language menu.
    void ShowLanguage(texts::Language language);

signals:
    // The window was activated for the first time.
    void firstActivated();
    void closing();
    // The user picked a language (texts::Language) in the language menu.
    void languageChosen(int language);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTopRow();
    void BuildMenus();
    void BuildRestoreMenuItems(QMenu* file);
    void BuildPages();

    UiContext& ctx_;
    QWidget* content_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QActionGroup* languages_ = nullptr;
    MapEditing* editing_ = nullptr;
    bool activated_ = false;
    bool close_pending_ = false;
};

}  // namespace tovrel::ui
