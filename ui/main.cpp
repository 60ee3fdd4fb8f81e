// The desktop program: the start dialog, then the main window on the device
// thread's Program.
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <chrono>
#include <cstdio>
#include <exception>

#include "Desktop.h"
#include "Language.h"
#include "ScreenshotWalk.h"
#include "StartArguments.h"
#include "WorkingFolder.h"
#ifdef TOVREL_HAVE_DEMO
#include "DemoMode.h"
#endif

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    auto request = tovrel::ui::TakeDemoArguments(argc, argv, error);
    if (!request) {
        std::fprintf(stderr, "tovrel-terminal: %s\n", error.c_str());
        return 2;
    }
#ifndef TOVREL_HAVE_DEMO
    if (request->Wanted()) {
        std::fprintf(stderr, "tovrel-terminal: --demo and --screenshots need the built-in simulated variator, "
                             "which this build does not have\n");
        return 2;
    }
#endif
    QApplication app(argc, argv);
    app.setApplicationName("tovrel-terminal");
    tovrel::ui::UseTahoma(app);
    // The language kept from the last choice in the menu, else the user's
    // locale; Russian, the catalogues' own, when its translation is missing.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "tovrel", "tovrel-terminal");
    if (!tovrel::ui::ApplyLanguage(app, tovrel::ui::StartLanguage(settings)))
        tovrel::ui::ApplyLanguage(app, tovrel::texts::Language::Russian);
    tovrel::ui::UseWritableWorkingFolder();
    int status = 0;
    // An error that reaches this far is shown, and the program ends.
    try {
#ifdef TOVREL_HAVE_DEMO
        std::unique_ptr<tovrel::ui::DemoMode> demo;
        if (request->Wanted()) demo = tovrel::ui::StartDemo();
        if (request->Wanted() && !demo) return 1;
        const auto end_requested = [&] { return demo && demo->EndRequested(); };
#else
        const auto end_requested = [] { return false; };
#endif
        tovrel::ui::Desktop desktop;
        desktop.settings = &settings;
        if (!request->walk.isEmpty()) {
            status = tovrel::ui::RunScreenshots(desktop, request->walk, true, started);
#ifdef TOVREL_HAVE_DEMO
        } else if (!request->screenshots.isEmpty()) {
            status = demo->RunScreenshots(desktop, request->screenshots);
#endif
        } else {
            desktop.RunStartDialog();
            if (!end_requested()) {
                desktop.ShowMainWindow();
                app.exec();
            }
        }
        if (end_requested()) status = 130;
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
