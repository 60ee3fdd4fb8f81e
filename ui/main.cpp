// The desktop program: the start dialog, then the main window on the device
// thread's Program.
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <cstdio>
#include <exception>

#include "DemoMode.h"
#include "Desktop.h"
#include "Language.h"

int main(int argc, char** argv) {
    std::string error;
    auto request = tovrel::ui::TakeDemoArguments(argc, argv, error);
    if (!request) {
        std::fprintf(stderr, "tovrel-terminal: %s\n", error.c_str());
        return 2;
    }
    QApplication app(argc, argv);
    app.setApplicationName("tovrel-terminal");
    tovrel::ui::UseTahoma(app);
    // The language kept from the last choice in the menu, else the user's
    // locale; Russian, the catalogues' own, when its translation is missing.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "tovrel", "tovrel-terminal");
    if (!tovrel::ui::ApplyLanguage(app, tovrel::ui::StartLanguage(settings)))
        tovrel::ui::ApplyLanguage(app, tovrel::texts::Language::Russian);
    int status = 0;
    // An error that reaches this far is shown, and the program ends.
    try {
        std::unique_ptr<tovrel::ui::DemoMode> demo;
        if (request->Wanted()) demo = tovrel::ui::StartDemo();
        if (request->Wanted() && !demo) return 1;
        tovrel::ui::Desktop desktop;
        desktop.settings = &settings;
        if (!request->screenshots.isEmpty()) {
            status = demo->RunScreenshots(desktop, request->screenshots);
        } else {
            desktop.RunStartDialog();
            if (!demo || !demo->EndRequested()) {
                desktop.ShowMainWindow();
                app.exec();
            }
        }
        if (demo && demo->EndRequested()) status = 130;
        // The window closed only once no procedure ran (see its close);
        // what is still queued ends before the port is released.
        desktop.Stop(-1);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, app.applicationName(), QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, app.applicationName(), QString());
    }
    return status;
}
