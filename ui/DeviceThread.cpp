#include "DeviceThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <exception>

#include "Program.h"
#include "QtScreen.h"

namespace tovrel::ui {

DeviceThread::DeviceThread(QtScreen& screen) : screen_(screen) {
    thread_.setObjectName("device");
    screen_.SetDevicePump([this] { RunPending(); }, [this] { return OnDeviceThread(); });
}

DeviceThread::~DeviceThread() {
    // Every wait of a procedure is bounded, so the thread ends; it is never
    // cut off in the middle of a transfer.
    if (started_) Stop(-1);
}

void DeviceThread::Start(Factory make) {
    auto* worker = new QObject;
    worker->moveToThread(&thread_);
    {
        std::lock_guard lock(mutex_);
        worker_ = worker;
    }
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
    started_ = true;
    // The Program is made before any queued call runs.
    QMetaObject::invokeMethod(worker_, [this, make = std::move(make)] {
        program_ = make();
        Drain();  // what was queued before the start
    }, Qt::QueuedConnection);
}

void DeviceThread::Post(Call call) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        queue_.push_back(std::move(call));
        if (!worker_) return;  // runs once the thread has started
    }
    QMetaObject::invokeMethod(worker_, [this] { Drain(); }, Qt::QueuedConnection);
}

bool DeviceThread::OnDeviceThread() const { return QThread::currentThread() == &thread_; }

void DeviceThread::RunPending() { Drain(); }

void DeviceThread::Drain() {
    for (;;) {
        Call call;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return;
            call = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        try {
            ++depth_;
            struct Leave {
                int& depth;
                ~Leave() { --depth; }
            } leave{depth_};
            if (program_) {
                call(*program_);
                if (depth_ == 1 && after_call) after_call(*program_);
            }
        } catch (const std::exception& e) {
            screen_.ShowError(e.what());
        } catch (...) {
            screen_.ShowError("");
        }
        --running_;
    }
}

bool DeviceThread::Idle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && running_ == 0;
}

bool DeviceThread::WaitIdle(int timeout_ms) {
    QDeadlineTimer deadline(timeout_ms);
    while (!Idle()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    // What the last call set reaches the widgets.
    QCoreApplication::processEvents();
    screen_.Flush();
    return true;
}

bool DeviceThread::Stop(int timeout_ms) {
    if (!started_ || thread_.isFinished()) return true;
    if (stopped_) return thread_.wait(QDeadlineTimer(timeout_ms));
    QMetaObject::invokeMethod(worker_, [this] {
        Drain();
        program_.reset();
        QThread::currentThread()->quit();
    }, Qt::QueuedConnection);
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    QDeadlineTimer deadline(timeout_ms);
    while (!thread_.wait(QDeadlineTimer(5))) {
        if (deadline.hasExpired()) return false;
        // The device thread may wait on a dialog of this thread.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();
    return true;
}

}  // namespace tovrel::ui
