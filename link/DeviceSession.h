#pragma once
// The device session: which procedure has the line, if any, and its stop.
//
// One device procedure runs at a time (the link's LineHold marks it, nested
// holds belong to the outermost one). The session publishes busy and idle,
// the running procedure's name and how it may be interrupted, and carries a
// std::stop_source per procedure, so that another thread (the window being
// closed) can ask it to stop; the link's exchanges and the procedures' loops
// see the request at their next check, within a fraction of a second.
//
// Begin and End are called on the thread that runs the procedures; the rest
// may be called from any thread.
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// How a running procedure may be interrupted. Ordered: the strongest of the
// nested holds counts.
enum class ProcedureKind {
    // Reads, the monitor, the throttle tracking, a capture, a scan: a stop
    // may end it at any point without harm.
    Ordinary,
    // Puts values into the variator (a map, the whole configuration, a
    // calibration point) and commits them: ended half-way, it would leave a
    // half-new map in the variator's working memory. Let it finish.
    Write,
    // The firmware update: ended half-way, the variator stays in its loader.
    FirmwareUpdate,
};

struct Procedure {
    ProcedureKind kind = ProcedureKind::Ordinary;
    // For the window's decisions and for logs; not shown to the user.
    std::string_view name = "procedure";
};

class DeviceSession {
public:
    struct State {
        bool busy = false;
        ProcedureKind kind = ProcedureKind::Ordinary;
        std::string name;  // empty when idle
    };

    // ---- the procedures' thread ----
    // A procedure (or one nested in it) starts; the outermost one gets a
    // fresh stop source.
    void Begin(const Procedure& procedure);
    // The hold begun last ends; at the outermost one the session is idle.
    void End();

    // ---- any thread ----
    State Current() const;
    bool Busy() const { return Current().busy; }
    // Asks the running procedure to stop; nothing when idle. A procedure
    // begun after the request does not see it.
    void RequestStop();
    bool StopRequested() const;
    std::stop_token Token() const;
    // The program is ending: a running ordinary procedure is asked to stop
    // (a write and an update are let finish), and every procedure begun
    // later finds its stop asked for before it sends anything.
    void Close();
    bool Closed() const;

    // Called on the procedures' thread after the session went busy or idle
    // (not for nested holds). Set before the first procedure runs.
    std::function<void(const State&)> on_change;

private:
    mutable std::mutex mutex_;
    State state_;
    // Kinds of the holds in force, outermost first, so that the strongest
    // can be given back when an inner one ends.
    std::vector<Procedure> holds_;
    std::stop_source stop_;
    bool closed_ = false;
};

}  // namespace tovrel
