// The desktop program: the start dialog, then the main window on the device
// thread's Program.
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <exception>

#include "Desktop.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("tovrel-terminal");
    tovrel::ui::UseTahoma(app);
    try {
        tovrel::ui::Desktop desktop;
        desktop.RunStartDialog();
        desktop.ShowMainWindow();
        app.exec();
        // A procedure that keeps the line (a monitor run) ends with the
        // process; the port closes with it.
        if (!desktop.Stop(5000)) std::_Exit(0);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, app.applicationName(), QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, app.applicationName(), QString());
    }
    return 0;
}
