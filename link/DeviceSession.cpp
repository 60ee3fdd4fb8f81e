#include "DeviceSession.h"

#include <algorithm>

namespace tovrel {

void DeviceSession::Begin(const Procedure& procedure) {
    State now;
    {
        std::lock_guard lock(mutex_);
        holds_.push_back(procedure);
        if (holds_.size() > 1) {
            state_.kind = std::max(state_.kind, procedure.kind);
            return;
        }
        stop_ = std::stop_source();
        if (closed_) stop_.request_stop();
        state_ = State{true, procedure.kind, std::string(procedure.name)};
        now = state_;
    }
    if (on_change) on_change(now);
}

void DeviceSession::End() {
    State now;
    {
        std::lock_guard lock(mutex_);
        if (holds_.empty()) return;
        holds_.pop_back();
        if (!holds_.empty()) {
            ProcedureKind strongest = ProcedureKind::Ordinary;
            for (const auto& h : holds_) strongest = std::max(strongest, h.kind);
            state_.kind = strongest;
            return;
        }
        state_ = State{};
        now = state_;
    }
    if (on_change) on_change(now);
}

DeviceSession::State DeviceSession::Current() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void DeviceSession::RequestStop() {
    std::lock_guard lock(mutex_);
    if (!holds_.empty()) stop_.request_stop();
}

bool DeviceSession::StopRequested() const {
    std::lock_guard lock(mutex_);
    return !holds_.empty() && stop_.stop_requested();
}

void DeviceSession::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    if (!holds_.empty() && state_.kind == ProcedureKind::Ordinary) stop_.request_stop();
}

bool DeviceSession::Closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::stop_token DeviceSession::Token() const {
    std::lock_guard lock(mutex_);
    return stop_.get_token();
}

}  // namespace tovrel
