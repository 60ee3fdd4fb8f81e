#pragma once
// The main window TForm2: the top row (EEPROM buttons, port box, progress
// line, status label, template button, log and service controls), the main
// menu and the page control with its fifteen pages.
#include <QMainWindow>

#include "UiContext.h"

class QTabWidget;

namespace tovrel::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(UiContext& ctx);

    QTabWidget* pages() const { return pages_; }
    // The area under the menu that holds the controls (1100 x 642).
    QWidget* content() const { return content_; }

signals:
    // The window was activated for the first time.
    void firstActivated();
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTopRow();
    void BuildMenus();
    void BuildPages();

    UiContext& ctx_;
    QWidget* content_ = nullptr;
    QTabWidget* pages_ = nullptr;
    bool activated_ = false;
};

}  // namespace tovrel::ui
