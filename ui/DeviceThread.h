#pragma once
// The device thread: one QThread with its own event loop that owns the
// Program and runs every handler of the logic, one at a time, in the order
// the GUI thread queued them. A handler that pumps (QtScreen::Pump) runs the
// calls queued meanwhile from inside itself, as the logic expects of a
// second button press in the middle of a running procedure.
#include <QObject>
#include <QThread>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tovrel {
class Program;
}

namespace tovrel::ui {

class QtScreen;

class DeviceThread {
public:
    using Call = std::function<void(Program&)>;
    using Factory = std::function<std::unique_ptr<Program>()>;

    // `screen` gets its device pump from here and shows the errors that
    // escape a handler.
    explicit DeviceThread(QtScreen& screen);
    // Stops the thread if Stop was not called, waiting for it to end.
    ~DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    // GUI thread: starts the thread and makes the Program on it.
    void Start(Factory make);
    // Any thread: queues `call` to run on the device thread with the Program.
    void Post(Call call);
    // True on the device thread.
    bool OnDeviceThread() const;
    // Device thread: runs the calls queued so far (and those they queue).
    void RunPending();

    // Device thread: runs after each call that was not run from inside
    // another one (a pump), with the Program. Set before Start.
    Call after_call;

    // No call queued and none running.
    bool Idle() const;
    // GUI thread: processes GUI events until the device thread is idle or
    // `timeout_ms` passed; true when idle.
    bool WaitIdle(int timeout_ms);

    // GUI thread: destroys the Program on its thread after the calls queued
    // so far, ends the thread and waits for it (up to `timeout_ms`, -1 for
    // no limit) while serving its dialogs. False when it did not end in time.
    bool Stop(int timeout_ms);

private:
    void Drain();

    QtScreen& screen_;
    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_
    std::unique_ptr<Program> program_;
    mutable std::mutex mutex_;
    std::deque<Call> queue_;
    std::atomic<int> running_{0};
    int depth_ = 0;  // device thread: calls running, nested ones included
    bool started_ = false;
    bool stopped_ = false;
};

}  // namespace tovrel::ui
