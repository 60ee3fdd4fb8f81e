#include "Engine.h"

#include <algorithm>
#include <cmath>

namespace tovrel::sim {

namespace {

constexpr std::uint8_t kRpm = 128, kTps = 129, kStatus = 130, kCorrection = 131, kAdvance = 132,
                       kAdaptationCoefficient = 133, kGasTimeSync = 134, kCmpEdges = 135, kTemperature = 140,
                       kAdaptationsCounter = 142, kLogT = 143, kLogFlags = 144;
constexpr std::uint16_t kStartLogValue = 1000;
// Bits 11 and 12 of the status word: 11 alone, no log; 12 alone, recording;
// both clear, a finished log waits to be read.
constexpr std::uint16_t kLogIdleBits = 1u << 11;
constexpr std::uint16_t kLogRecordingBits = 1u << 12;

bool Served(std::uint8_t a) {
    return (a >= kRpm && a <= kCmpEdges) || a == kTemperature || a == kAdaptationsCounter || a == kLogT ||
           a == kLogFlags;
}

}  // namespace

Engine::Engine(EngineOptions options) : o_(options), rng_(options.seed) {
    next_auto_log_ = o_.log_every_s;
}

// ------------------------------------------------------------------ model

double Engine::Pedal() const {
    if (o_.pedal_period_s <= 0) return 0;
    const double phase = std::fmod(t_, o_.pedal_period_s) / o_.pedal_period_s;
    // Released, pressed down, held, let up, released.
    if (phase < 0.20) return 0;
    if (phase < 0.45) return (phase - 0.20) / 0.25;
    if (phase < 0.60) return 1;
    if (phase < 0.85) return 1 - (phase - 0.60) / 0.25;
    return 0;
}

int Engine::Noise(int amplitude) {
    if (amplitude <= 0) return 0;
    return static_cast<int>(rng_() % static_cast<std::uint32_t>(2 * amplitude + 1)) - amplitude;
}

int Engine::TpsAdcLocked() {
    const double v = o_.tps_released + Pedal() * (static_cast<double>(o_.tps_pressed) - o_.tps_released);
    return std::clamp(static_cast<int>(std::lround(v)) + Noise(o_.tps_noise), 0, 4095);
}

int Engine::Rpm() const {
    if (o_.idle_rpm <= 0) return 0;
    return static_cast<int>(std::lround(o_.idle_rpm + Pedal() * std::max(0, o_.max_rpm - o_.idle_rpm)));
}

bool Engine::Gas() const { return o_.gas_after_s >= 0 && t_ >= o_.gas_after_s; }

int Engine::TimeToGasTenths() const {
    if (!Gas()) return 0;
    const double left = o_.gas_after_s + o_.gas_delay_s - t_;
    return left > 0 ? std::min(255, static_cast<int>(std::ceil(left * 10))) : 0;
}

int Engine::Synchronisation() const {
    if (Rpm() == 0) return -1;  // fewer pulses than a turn needs
    if (t_ < 0.5) return 0;     // still looking for the gap
    return 1;
}

int Engine::ThrottleIndex() const { return static_cast<int>(std::lround(Pedal() * 79)); }

int Engine::GasCorrection() const { return 100 - ThrottleIndex() / 2; }

std::uint16_t Engine::StatusWord() const {
    std::uint16_t high = 0;
    if (Gas()) high |= 1u;
    if (!Gas()) high |= 2u;                   // DirectSend: the petrol signal passes through
    if (Synchronisation() != 1) high |= 4u;   // need_good_tahoe
    std::uint16_t word = static_cast<std::uint16_t>((high << 8) | ThrottleIndex());
    if (log_state_ == LogState::Idle) word |= kLogIdleBits;
    if (log_state_ == LogState::Recording) word |= kLogRecordingBits;
    return word;
}

std::optional<std::uint16_t> Engine::ModelValue(std::uint8_t address, std::uint8_t index) {
    switch (address) {
        case kRpm: {
            const int rpm = Rpm();
            return static_cast<std::uint16_t>(rpm == 0 ? 0 : std::max(0, rpm + Noise(5)));
        }
        case kTps: return static_cast<std::uint16_t>(TpsAdcLocked());
        case kStatus: return StatusWord();
        case kCorrection: return static_cast<std::uint16_t>((100u << 8) | static_cast<std::uint8_t>(GasCorrection()));
        case kAdvance: {
            int hundredths = 0;
            if (Gas() && TimeToGasTenths() == 0) hundredths = std::min(Rpm(), 4000) / 10 * GasCorrection() / 100;
            return static_cast<std::uint16_t>(hundredths);
        }
        case kAdaptationCoefficient: return static_cast<std::uint16_t>(1000 + Noise(20));
        case kGasTimeSync:
            return static_cast<std::uint16_t>((TimeToGasTenths() << 8) |
                                              static_cast<std::uint8_t>(static_cast<std::int8_t>(Synchronisation())));
        case kCmpEdges: {
            const auto cmp1 = static_cast<std::uint8_t>(static_cast<long>(revolutions_ / 2) & 0xFF);
            const auto cmp2 = static_cast<std::uint8_t>(static_cast<long>((revolutions_ + 1) / 2) & 0xFF);
            return static_cast<std::uint16_t>((cmp1 << 8) | cmp2);
        }
        case kTemperature: {
            // The processor warms up: the raw value falls with time.
            const int raw = o_.temperature_raw - static_cast<int>(std::min(300.0, t_ * 2)) + Noise(1);
            return static_cast<std::uint16_t>(static_cast<std::int16_t>(raw));
        }
        case kAdaptationsCounter: return static_cast<std::uint16_t>(adaptations_);
        case kLogT: return log_[index].t;
        case kLogFlags: {
            const std::uint16_t v = log_[index].flags;
            // Reading the last entry hands the buffer back to the firmware.
            if (index == 255 && log_state_ == LogState::Ready) {
                log_state_ = LogState::Idle;
                next_auto_log_ = t_ + o_.log_every_s;
            }
            return v;
        }
        default: return std::nullopt;
    }
}

// ------------------------------------------------------- address handler

std::optional<std::uint16_t> Engine::Read(std::uint8_t address, std::uint8_t index) {
    if (!Served(address)) return std::nullopt;
    std::lock_guard lock(mutex_);
    ++reads_[address];
    std::optional<std::uint16_t> v;
    if (auto it = scripts_.find(address); it != scripts_.end() && !it->second.empty()) {
        v = it->second.front();
        it->second.pop_front();
    } else if (auto h = holds_.find(address); h != holds_.end()) {
        v = h->second;
    } else {
        v = ModelValue(address, index);
    }
    if (address == kTps && v) {
        const int r = static_cast<std::int16_t>(*v);
        if (!served_tps_) served_tps_ = {r, r};
        served_tps_->first = std::min(served_tps_->first, r);
        served_tps_->second = std::max(served_tps_->second, r);
    }
    return v;
}

bool Engine::Write(std::uint8_t address, std::uint8_t index, std::uint16_t value) {
    (void)index;
    if (address != kLogT) return false;
    std::lock_guard lock(mutex_);
    if (value == kStartLogValue) StartLogLocked();
    return true;
}

void Engine::Tick(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (o_.frozen) return;
    if (!last_tick_) {
        last_tick_ = now;
        return;
    }
    const double dt = std::chrono::duration<double>(now - *last_tick_).count();
    last_tick_ = now;
    if (dt > 0) AdvanceLocked(dt);
}

// ------------------------------------------------------------------- time

void Engine::Advance(std::chrono::microseconds dt) {
    std::lock_guard lock(mutex_);
    AdvanceLocked(std::chrono::duration<double>(dt).count());
}

double Engine::Seconds() const {
    std::lock_guard lock(mutex_);
    return t_;
}

void Engine::AdvanceLocked(double seconds) {
    const double end = t_ + seconds;
    const double entry_s = o_.log_entry_ms / 1000.0;
    for (;;) {
        // Move to the next event (a log entry, a log start) or to the end.
        double next = end;
        const bool recording = log_state_ == LogState::Recording && entry_s > 0;
        const bool auto_log = o_.log_every_s > 0 && log_state_ == LogState::Idle;
        if (recording) next = std::min(next, log_next_entry_);
        if (auto_log) next = std::min(next, next_auto_log_);
        const double dt = std::max(0.0, next - t_);
        revolutions_ += Rpm() / 60.0 * dt;
        if (Synchronisation() == 1) adaptations_ += dt;
        t_ = std::max(t_, next);
        if (recording && t_ >= log_next_entry_) {
            RecordEntryLocked();
            log_next_entry_ += entry_s;
            continue;
        }
        if (auto_log && t_ >= next_auto_log_) {
            StartLogLocked();
            continue;
        }
        if (t_ >= end) break;
    }
}

// -------------------------------------------------------------- scripting

void Engine::Script(std::uint8_t address, std::vector<std::uint16_t> values) {
    std::lock_guard lock(mutex_);
    scripts_[address] = std::deque<std::uint16_t>(values.begin(), values.end());
}

void Engine::Hold(std::uint8_t address, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    holds_[address] = value;
}

void Engine::Release(std::uint8_t address) {
    std::lock_guard lock(mutex_);
    holds_.erase(address);
}

// ------------------------------------------------------------------- logs

void Engine::StartLogLocked() {
    log_state_ = LogState::Recording;
    log_ = {};
    log_recorded_ = 0;
    ++logs_started_;
    log_next_entry_ = t_ + o_.log_entry_ms / 1000.0;
    if (o_.log_entry_ms <= 0)
        while (log_state_ == LogState::Recording) RecordEntryLocked();
}

void Engine::RecordEntryLocked() {
    auto& e = log_[static_cast<std::size_t>(log_recorded_)];
    const int rpm = Rpm();
    // T: the tooth period in microseconds (60 teeth per turn).
    e.t = static_cast<std::uint16_t>(rpm > 0 ? std::clamp(1000000 / rpm + Noise(3), 0, 65535) : 65535);
    const auto rtc = static_cast<std::uint16_t>(static_cast<long>(t_ * 10) & 0xFF);
    const auto l = static_cast<std::uint16_t>(Gas() ? 1 : 0);
    const auto syn = static_cast<std::uint16_t>(std::clamp(Synchronisation() + 1, 0, 3));
    const auto ngt = static_cast<std::uint16_t>(rng_() % 8 == 0 ? rng_() % 32 : 0);
    e.flags = static_cast<std::uint16_t>((rtc << 8) | (l << 7) | (syn << 5) | ngt);
    if (++log_recorded_ == 256) FinishLogLocked();
}

void Engine::FinishLogLocked() {
    log_state_ = LogState::Ready;
    ++logs_finished_;
    if (on_log_finished_) on_log_finished_(logs_finished_, log_);
}

void Engine::StartLog() {
    std::lock_guard lock(mutex_);
    StartLogLocked();
}

void Engine::FinishLog() {
    std::lock_guard lock(mutex_);
    if (log_state_ != LogState::Recording) StartLogLocked();
    while (log_state_ == LogState::Recording) RecordEntryLocked();
}

Engine::LogState Engine::GetLogState() const {
    std::lock_guard lock(mutex_);
    return log_state_;
}

Engine::LogBufferWords Engine::LogBuffer() const {
    std::lock_guard lock(mutex_);
    return log_;
}

int Engine::LogsStarted() const {
    std::lock_guard lock(mutex_);
    return logs_started_;
}

int Engine::LogsFinished() const {
    std::lock_guard lock(mutex_);
    return logs_finished_;
}

void Engine::OnLogFinished(std::function<void(int, const LogBufferWords&)> callback) {
    std::lock_guard lock(mutex_);
    on_log_finished_ = std::move(callback);
}

std::optional<std::pair<int, int>> Engine::ServedTpsRange() const {
    std::lock_guard lock(mutex_);
    return served_tps_;
}

void Engine::ResetServedTpsRange() {
    std::lock_guard lock(mutex_);
    served_tps_.reset();
}

int Engine::ReadsOf(std::uint8_t address) const {
    std::lock_guard lock(mutex_);
    auto it = reads_.find(address);
    return it == reads_.end() ? 0 : it->second;
}

}  // namespace tovrel::sim
