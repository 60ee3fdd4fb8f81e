#include "DemoMode.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "Demo.h"
#include "Desktop.h"
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

QStringList DemoMode::TakeScreenshots(Desktop& desktop, const QString& dir, QString& error, QStringList* messages,
                                      int read_timeout_ms) {
    return ui::TakeScreenshots(desktop, dir, error, messages, read_timeout_ms);
}

int DemoMode::RunScreenshots(Desktop& desktop, const QString& dir) { return ui::RunScreenshots(desktop, dir); }

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
