#include "ScreenshotWalk.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "ConfigurationReadWrite.h"
#include "Desktop.h"
#include "Gui2.h"
#include "MainWindow.h"
#include "Monitor.h"
#include "ProcessAge.h"
#include "Program.h"
#include "QtTexts.h"
#include "Shell.h"
#include "StartDialog.h"

namespace tovrel::ui {

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count();
}

// Lets the GUI thread draw what is queued.
void Settle(int ms = 50) {
    QApplication::processEvents();
    QTimer timer;
    timer.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

bool Save(QWidget* widget, const QString& file, QStringList& written, QString& error) {
    const QPixmap picture = widget->grab();
    if (picture.isNull() || !picture.save(file, "PNG")) {
        error = "cannot write " + file;
        return false;
    }
    written << file;
    return true;
}

}  // namespace

QStringList TakeScreenshots(Desktop& desktop, const QString& dir, QString& error, QStringList* messages,
                            int read_timeout_ms, WalkFigures* figures, Clock::time_point started) {
    WalkFigures unused;
    WalkFigures& f = figures ? *figures : unused;
    QStringList written;
    if (!QDir().mkpath(dir)) {
        error = "cannot make the directory " + dir;
        return {};
    }
    const QDir out(QDir(dir).absolutePath());
    // No one answers boxes in this run: they are recorded instead.
    desktop.screen.dialogs_suppressed = true;

    StartDialog& start = desktop.MakeStartDialog();
    start.show();
    Settle();
    f.dialog_shown_ms = ProcessAgeMs();
    if (f.dialog_shown_ms < 0) f.dialog_shown_ms = MsSince(started);
    bool ok = Save(&start, out.filePath("00-start-dialog.png"), written, error);
    const auto answered = Clock::now();
    start.continueButton()->click();  // the first option: connect and read
    Settle();
    if (!ok) return {};

    MainWindow& window = desktop.ShowMainWindow();
    window.raise();
    window.activateWindow();
    Settle(200);
    // Platforms without a window manager may never activate the window: the
    // start sequence is asked for here as well (it runs once per program).
    desktop.device.Post([](Program& p) { gui2::FormActivate(p); });
    Settle();
    if (!desktop.device.WaitIdle(read_timeout_ms)) {
        error = "the start sequence did not end in time";
        return {};
    }
    f.start_sequence_ms = MsSince(answered);
    Settle(200);
    const auto read_started = Clock::now();
    desktop.device.Post([](Program& p) { ReadDataClick(p.link, p.maps); });
    if (!desktop.device.WaitIdle(read_timeout_ms)) {
        error = "the read of the whole configuration did not end in time";
        return {};
    }
    f.read_all_ms = MsSince(read_started);
    Settle(200);
    if (auto* status = window.findChild<QLabel*>(QString::fromUtf8(std::string(shell::StatusLabel).c_str()))) {
        f.status_text = status->text();
        if (status->autoFillBackground()) f.status_colour = status->palette().color(QPalette::Window).name();
    }

    QTabWidget* pages = window.pages();
    for (int i = 0; i < pages->count(); ++i) pages->setTabVisible(i, true);  // the hidden tables as well
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        Settle(100);
        // The settings page with the real-time monitor running on the live
        // engine, stopped again by the button's second press.
        auto* monitor_button = i == 0 ? window.findChild<QPushButton*>(monitor::kButton) : nullptr;
        if (monitor_button) {
            monitor_button->click();
            Settle(2500);
        }
        const QString name = pages->widget(i)->objectName();
        const QString file = out.filePath(QString("%1-%2.png").arg(i + 1, 2, 10, QChar('0')).arg(name));
        if (!Save(&window, file, written, error)) return {};
        if (monitor_button && pages->count() > 1) {
            // The dashboard under a map page while the same run goes on.
            pages->setCurrentIndex(1);
            Settle(1500);
            if (!Save(&window, out.filePath("19-dashboard.png"), written, error)) return {};
            pages->setCurrentIndex(0);
            Settle(100);
        }
        if (monitor_button) {
            if (monitor_button->text() != QString::fromUtf8(Tr(monitor::kIdleCaption))) monitor_button->click();
            if (!desktop.device.WaitIdle(read_timeout_ms)) {
                error = "the real-time monitor did not stop";
                return {};
            }
        }
    }
    pages->setCurrentIndex(0);
    if (messages)
        for (const auto& m : desktop.screen.Messages()) *messages << QString::fromStdString(m);
    return written;
}

int RunScreenshots(Desktop& desktop, const QString& dir, bool with_figures, Clock::time_point started) {
    QString error;
    QStringList messages;
    WalkFigures figures;
    QStringList files = TakeScreenshots(desktop, dir, error, &messages, 60000, &figures, started);
    QStringList lines;
    for (const auto& m : messages) lines << "Message: " + m;
    lines << files;
    if (with_figures && figures.dialog_shown_ms >= 0)
        lines << QString("start dialog shown: %1 ms after the start").arg(figures.dialog_shown_ms);
    if (with_figures && figures.start_sequence_ms >= 0) {
        lines << QString("start sequence: %1 ms").arg(figures.start_sequence_ms);
        if (figures.read_all_ms >= 0) lines << QString("read-all: %1 ms").arg(figures.read_all_ms);
        lines << QString("status: %1 %2").arg(figures.status_text, figures.status_colour.isEmpty() ? "transparent" : figures.status_colour);
    }
    if (!files.isEmpty())
        lines << QString("%1 screenshots in %2").arg(files.size()).arg(QDir(dir).absolutePath());
    // The walk ends as a user ends the program: by closing its window.
    if (with_figures && !files.isEmpty() && desktop.window()) {
        desktop.window()->close();
        Settle();
        if (desktop.window()->isVisible()) {
            files.clear();
            error = "the window did not close";
        } else {
            lines << "window closed";
        }
    }
    for (const auto& l : lines) std::printf("%s\n", l.toUtf8().constData());
    std::fflush(stdout);
    if (files.isEmpty()) {
        lines << "failed: " + error;
        std::fprintf(stderr, "tovrel-terminal: screenshots: %s\n", error.toUtf8().constData());
    }
    if (with_figures) {
        QFile log(QDir(dir).filePath("walk.txt"));
        if (QDir().mkpath(dir) && log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            log.write((lines.join('\n') + '\n').toUtf8());
    }
    return files.isEmpty() ? 1 : 0;
}

}  // namespace tovrel::ui
