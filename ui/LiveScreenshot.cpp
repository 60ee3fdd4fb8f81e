#include "LiveScreenshot.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "Desktop.h"
#include "MainWindow.h"
#include "MapControls.h"
#include "Monitor.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

void Settle(int ms) {
    QApplication::processEvents();
    QTimer timer;
    timer.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

}  // namespace

QStringList TakeLiveScreenshot(Desktop& desktop, const QString& dir, const QString& file_name, QString& error,
                               int timeout_ms) {
    MainWindow* window = desktop.window();
    auto* button = window ? window->findChild<QPushButton*>(monitor::kButton) : nullptr;
    if (!button) {
        error = "no monitor button";
        return {};
    }
    QTabWidget* pages = window->pages();
    pages->setCurrentIndex(0);
    Settle(100);
    button->click();
    // The first passes tell which fuel is in use; its speed map is shown.
    for (int waited = 0; !desktop.live_feed.Last() && waited < timeout_ms; waited += 100) Settle(100);
    const auto& last = desktop.live_feed.Last();
    const bool petrol = last && last->points[static_cast<std::size_t>(MapKindIndex(MapKind::Petrol))].in_use;
    pages->setCurrentIndex(FindMapControls(petrol ? MapKind::Petrol : MapKind::LPG)->chart_page);
    // A few seconds of driving: a trail behind the point.
    Settle(3000);
    QStringList written;
    const QString file = QDir(QDir(dir).absolutePath()).filePath(file_name);
    const QPixmap picture = window->grab();
    if (picture.isNull() || !picture.save(file, "PNG"))
        error = "cannot write " + file;
    else
        written << file;
    pages->setCurrentIndex(0);
    if (button->text() != QString::fromUtf8(Tr(monitor::kIdleCaption))) button->click();
    if (!desktop.device.WaitIdle(timeout_ms)) {
        error = "the real-time monitor did not stop";
        return {};
    }
    return written;
}

}  // namespace tovrel::ui
