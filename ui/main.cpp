// The desktop program: the start dialog, then the main window on the device
// thread's Program.
#include <QApplication>
#include <cstdlib>

#include "Desktop.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("tovrel-terminal");
    tovrel::ui::UseTahoma(app);
    int status = 0;
    {
        tovrel::ui::Desktop desktop;
        desktop.RunStartDialog();
        desktop.ShowMainWindow();
        status = app.exec();
        // A procedure that keeps the line (a monitor run) ends with the
        // process; the port closes with it.
        if (!desktop.Stop(5000)) std::_Exit(status);
    }
    return status;
}
