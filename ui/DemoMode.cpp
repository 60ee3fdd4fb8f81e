#include "DemoMode.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QTabWidget>
#include <QPixmap>
#include <QMenu>
#include <QDir>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "Demo.h"
#include "Desktop.h"
#include "LiveScreenshot.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapEditing.h"
#include "Program.h"
#include "QtTexts.h"
#include "RestoreFlow.h"
#include "RestorePointsDialog.h"
#include "ScreenshotWalk.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(g_signal_pipe[1], &byte, 1);
}

}  // namespace

void DemoMode::EndOnSignals() {
    if (g_signal_pipe[0] < 0 && ::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    if (!QCoreApplication::instance()) return;
    signal_notifier_ = std::make_unique<QSocketNotifier>(g_signal_pipe[0], QSocketNotifier::Read);
    // The window may be in the middle of anything (a modal box, a device
    // procedure): every event loop ends, and main() stops the device thread
    // as after a close (a write or an update finishes first) before the
    // temporary directory goes with this object.
    QObject::connect(signal_notifier_.get(), &QSocketNotifier::activated, [this] {
        end_requested_ = true;
        QCoreApplication::exit(130);
    });
    struct sigaction action {};
    action.sa_handler = &OnEndSignal;
    action.sa_flags = SA_RESETHAND;  // a second signal ends the process
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

DemoMode::DemoMode(bool paced) {
    sim::DemoOptions options;
    options.paced = paced;
    demo_ = std::make_unique<sim::Demo>(options);
    std::error_code ec;
    old_cwd_ = std::filesystem::current_path(ec).string();
    std::filesystem::current_path(demo_->dir(), ec);
    if (ec) throw std::runtime_error("cannot enter " + demo_->dir() + ": " + ec.message());
    EndOnSignals();
}

DemoMode::~DemoMode() {
    if (signal_notifier_) {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        signal_notifier_.reset();
    }
    std::error_code ec;
    if (!old_cwd_.empty()) std::filesystem::current_path(old_cwd_, ec);
    demo_.reset();
}

QString DemoMode::Banner() const {
    return QString::fromUtf8(Tr(UiText::DemoBanner).c_str())
        .arg(demo_->port_number())
        .arg(demo_->scope_port_number())
        .arg(QString::fromStdString(demo_->port_dir()), QString::fromStdString(demo_->firmware_image()));
}

namespace {

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

QStringList DemoMode::TakeScreenshots(Desktop& desktop, const QString& dir, QString& error, QStringList* messages,
                                      int read_timeout_ms) {
    QStringList written = ui::TakeScreenshots(desktop, dir, error, messages, read_timeout_ms);
    MainWindow* main_window = desktop.window();
    if (written.isEmpty() || !main_window) return {};
    MainWindow& window = *main_window;
    QTabWidget* pages = window.pages();
    const QDir out(QDir(dir).absolutePath());
    // A compare with a copy of the configuration changed in two places, on
    // the LPG chart, and the restore-point list with the point it made.
    desktop.device.Post([](Program& p) {
        Configuration theirs = EditorConfiguration(p);
        for (std::size_t i = 20; i < 45; ++i) theirs.y[0][i] += 1.5 + 0.05 * static_cast<double>(i - 20);
        theirs.y[0][60] -= 2;
        theirs.timeout = "60";
        SaveRestorePoint(p, theirs, "демонстрация", RestoreText::RestoreStopped);
        DrawComparison(p, theirs);
    });
    if (!desktop.device.WaitIdle(read_timeout_ms)) {
        error = "the compare did not end in time";
        return {};
    }
    pages->setCurrentIndex(1);
    Settle(200);
    if (!Save(&window, out.filePath("16-compare.png"), written, error)) return {};
    {
        RestorePointsDialog points(desktop.ctx, DefaultRestorePointDirectory(), &window);
        points.show();
        Settle(200);
        if (!Save(&points, out.filePath("17-restore-points.png"), written, error)) return {};
    }
    desktop.device.Post([](Program& p) { EndComparison(p); });
    desktop.device.WaitIdle(read_timeout_ms);
    pages->setCurrentIndex(0);
    return written;
}

QStringList DemoMode::TakeEditingScreenshots(Desktop& desktop, const QString& dir, QString& error) {
    QStringList written;
    MainWindow* window = desktop.window();
    if (!window || !window->editing()) return written;
    const QDir out(QDir(dir).absolutePath());
    MapEditing& editing = *window->editing();
    QTabWidget* pages = window->pages();
    const auto* gas = FindMapControls(MapKind::LPG);

    // A range on the chart, raised by ten steps, then two points raised
    // into the limit: the rings mark the selection, the crosses the points
    // held at the top of the range.
    pages->setCurrentIndex(gas->chart_page);
    Settle(100);
    std::vector<int> range;
    for (int i = 20; i <= 36; ++i) range.push_back(i);
    editing.Select(MapKind::LPG, range);
    editing.RunOperation(MapKind::LPG, MapOperation::Step, 1.0, QTr(EditText::TenStepsUp) + ": " + MapShortName(MapKind::LPG));
    editing.Select(MapKind::LPG, {44, 45, 46});
    editing.RunOperation(MapKind::LPG, MapOperation::Set, 40, QTr(EditText::SetValue).remove("...") + ": " + MapShortName(MapKind::LPG));
    desktop.device.WaitIdle(5000);
    Settle(100);
    editing.Select(MapKind::LPG, range);
    // Zoomed out as the user would with the right button, so that the
    // points held at 32 degrees are in view.
    if (auto* chart = window->findChild<MapChart*>(QString::fromUtf8(gas->chart.data(), int(gas->chart.size())))) {
        chart->yAxis->setRange(-1, 34);
        chart->replot();
    }
    Settle(200);
    if (!Save(window, out.filePath("16-edit-chart-selection.png"), written, error)) return {};

    // A block on the grid: one selection, the same points as on the chart.
    pages->setTabVisible(gas->grid_page, true);
    pages->setCurrentIndex(gas->grid_page);
    editing.Select(MapKind::LPG, {21, 22, 23, 31, 32, 33, 41, 42, 43});
    Settle(200);
    if (!Save(window, out.filePath("17-edit-grid-selection.png"), written, error)) return {};

    // The "Правка" menu with its keys.
    QMenu* menu = editing.Menu();
    menu->popup(window->mapToGlobal(QPoint(120, 30)));
    Settle(200);
    const bool saved = Save(menu, out.filePath("18-edit-menu.png"), written, error);
    menu->hide();
    if (!saved) return {};
    pages->setCurrentIndex(0);
    return written;
}

int DemoMode::RunScreenshots(Desktop& desktop, const QString& dir) {
    QString error;
    QStringList messages;
    QStringList files = TakeScreenshots(desktop, dir, error, &messages);
    if (!files.isEmpty()) {
        // The operating point and its trail while the demo's engine runs
        // (before the editing pictures change the maps).
        const QStringList live = TakeLiveScreenshot(desktop, dir, "21-live-operating-point.png", error);
        if (live.isEmpty()) files.clear();
        files << live;
    }
    if (!files.isEmpty()) {
        const QStringList more = TakeEditingScreenshots(desktop, dir, error);
        if (more.isEmpty()) files.clear();
        files << more;
    }
    for (const auto& m : messages) std::printf("Message: %s\n", m.toUtf8().constData());
    if (files.isEmpty()) {
        std::fprintf(stderr, "tovrel-terminal: screenshots: %s\n", error.toUtf8().constData());
        return 1;
    }
    for (const auto& f : files) std::printf("%s\n", f.toUtf8().constData());
    std::printf("%lld screenshots in %s\n", static_cast<long long>(files.size()),
                QDir(dir).absolutePath().toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

std::unique_ptr<DemoMode> StartDemo(bool paced) {
    try {
        auto demo = std::make_unique<DemoMode>(paced);
        std::printf("%s\n", demo->Banner().toUtf8().constData());
        std::fflush(stdout);
        return demo;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tovrel-terminal: the demonstration cannot start: %s\n", e.what());
        return nullptr;
    }
}

}  // namespace tovrel::ui
