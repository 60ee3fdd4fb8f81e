// The oscilloscope firmware: answers the mode probe with 3 and, on a stream
// request, goes through its initialisation steps, waits for the start frame
// and then streams one record per half period of a 60-2 toothed wheel (the
// tooth high, the space after it low, the space of the two missing teeth
// long), in the 16-bit or the 32-bit layout, until its end record or a stop
// frame.
#include <algorithm>
#include <map>

#include "Variator.h"

namespace tovrel::sim {

std::optional<ScopeFault> ParseScopeFault(std::string_view name) {
    static const std::map<std::string_view, ScopeFault> names = {
        {"wrong-marker", ScopeFault::WrongMarker},
        {"stream-stops", ScopeFault::StreamStops},
        {"no-start-answer", ScopeFault::NoStartAnswer},
        {"bad-start-answer", ScopeFault::BadStartAnswer},
    };
    auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

namespace {

// The capture timer counts at 16 MHz.
constexpr double kTimerHz = 16e6;
constexpr int kTeeth = 58;  // 60 places, two teeth missing

constexpr std::array<std::uint8_t, 7> kStart = {0xAA, 0x8B, 0x01, 0x33, 0x33, 0xCC, 0xCC};
constexpr std::array<std::uint8_t, 7> kStop = {0xAA, 0x8B, 0x02, 0x00, 0x00, 0xFF, 0xFF};

// Half periods of the wheel at a steady speed, with a small repeatable
// jitter so that no two neighbouring records are alike.
class Wheel {
public:
    void Reset(double rpm) {
        // One tooth pitch is 1/60 of a revolution.
        pitch_ = kTimerHz * 60.0 / (std::max(rpm, 1.0) * 60.0);
        tooth_ = 40;
        high_ = true;
        seed_ = 0x2545F491u;
    }
    struct Half {
        int tooth;
        int level;
        std::uint64_t length;
    };
    Half Next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        const double jitter = 1.0 + (static_cast<double>(seed_ >> 8) / 16777216.0 - 0.5) * 0.008;
        Half h{tooth_, high_ ? 1 : 0, 0};
        double ticks = pitch_ / 2;
        if (!high_ && tooth_ == kTeeth) ticks += 2 * pitch_;  // the gap of the missing teeth
        h.length = static_cast<std::uint64_t>(ticks * jitter);
        if (!high_) tooth_ = tooth_ == kTeeth ? 1 : tooth_ + 1;
        high_ = !high_;
        return h;
    }

private:
    double pitch_ = 0;
    int tooth_ = 1;
    bool high_ = true;
    std::uint32_t seed_ = 0;
};

class OscilloscopeFirmware : public Firmware {
public:
    explicit OscilloscopeFirmware(Variator& device) : Firmware(device) {}
    int Mode() const override { return 3; }
    void OnEnter() override {
        frames_.Reset();
        state_ = State::Idle;
        DropPending();
    }
    void OnByte(const TimedByte& byte) override {
        auto frame = frames_.Feed(byte);
        if (!frame) return;
        device_.CountFrame();
        const auto& f = *frame;
        const auto& o = device_.options();
        if (f[0] == 0x55 && f[1] == 0 && f[2] == 0 && ChecksOk(f)) {
            // The mode probe; a streaming firmware has no time for it.
            if (state_ != State::Streaming) device_.SendReply(ReadReply(f, 3));
            return;
        }
        if (f == kStop) {
            if (o.scope_log) o.scope_log->StopFrame();
            state_ = State::Idle;
            DropPending();
            return;
        }
        if (f == kStart) {
            if (o.scope_log) o.scope_log->StartFrame();
            if (state_ != State::WaitingForStart || o.scope_fault == ScopeFault::NoStartAnswer) return;
            std::array<std::uint8_t, 7> answer{};
            for (std::size_t i = 0; i < 7; ++i) answer[i] = static_cast<std::uint8_t>(~f[i]);
            if (o.scope_fault == ScopeFault::BadStartAnswer) answer[3] = 0xC0;
            Queue(answer);
            state_ = State::Streaming;
            sent_ = 0;
            finished_ = false;
            wheel_.Reset(o.scope_rpm);
            return;
        }
        if (f[0] == 0xAA && f[1] == 0x88 && ChecksOk(f) && f[2] <= 5) {
            // Stream request: index 5 asks for 32-bit lengths, 0 to 4 for
            // 16-bit lengths with one of the prescalers.
            mode32_ = f[2] == 5;
            if (o.scope_log) o.scope_log->StreamRequest(mode32_);
            DropPending();
            state_ = State::Initialising;
            step_ = 1;
            next_step_ = Clock::now() + std::chrono::milliseconds(o.scope_step_ms);
        }
    }
    void OnIdle(Clock::time_point now) override {
        const auto& o = device_.options();
        if (state_ == State::Initialising && o.scope_init_steps > 0) {
            while (state_ == State::Initialising && now >= next_step_) {
                const bool last = step_ >= o.scope_init_steps;
                const auto v = static_cast<std::uint16_t>(step_);
                const auto hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v & 0xFF);
                Queue(std::array<std::uint8_t, 7>{0xAA, 0x88, static_cast<std::uint8_t>(last ? 3 : 2), hi, lo,
                                                  static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)});
                ++step_;
                next_step_ += std::chrono::milliseconds(o.scope_step_ms);
                if (last) state_ = State::WaitingForStart;
            }
        }
        Flush();
        while (state_ == State::Streaming && Empty()) {
            if (finished_) {
                state_ = State::Idle;
                break;
            }
            QueueRecords(64);
            Flush();
        }
    }

private:
    enum class State { Idle, Initialising, WaitingForStart, Streaming };

    bool Empty() const { return pending_at_ == pending_.size(); }
    void DropPending() {
        pending_.clear();
        pending_at_ = 0;
    }
    template <std::size_t N>
    void Queue(const std::array<std::uint8_t, N>& bytes) {
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    }
    void Flush() {
        if (Empty()) return;
        pending_at_ += device_.line().TrySend(std::span(pending_).subspan(pending_at_));
        if (Empty()) DropPending();
    }

    void QueueRecords(int count) {
        const auto& o = device_.options();
        const int size = mode32_ ? 6 : 4;
        for (int n = 0; n < count && !finished_; ++n) {
            if (o.scope_records >= 0 && sent_ >= o.scope_records) {
                std::array<std::uint8_t, 6> end{0xAA, 0xFF, 0, 0, 0, 0};
                pending_.insert(pending_.end(), end.begin(), end.begin() + size);
                if (o.scope_log) o.scope_log->EndRecord();
                finished_ = true;
                break;
            }
            if (o.scope_fault == ScopeFault::StreamStops && sent_ >= o.scope_fault_record) {
                // Silent from here on, without an end record.
                finished_ = true;
                break;
            }
            const auto h = wheel_.Next();
            std::array<std::uint8_t, 6> r{};
            r[0] = (o.scope_fault == ScopeFault::WrongMarker && sent_ == o.scope_fault_record) ? 0x55 : 0xAA;
            r[1] = static_cast<std::uint8_t>((h.level << 7) | h.tooth);
            if (mode32_) {
                const auto len = static_cast<std::uint32_t>(std::min<std::uint64_t>(h.length, 0xFFFFFFFFu));
                r[2] = static_cast<std::uint8_t>(len >> 24);
                r[3] = static_cast<std::uint8_t>(len >> 16);
                r[4] = static_cast<std::uint8_t>(len >> 8);
                r[5] = static_cast<std::uint8_t>(len);
            } else {
                // A half period longer than the 16-bit timer reads as its maximum.
                const auto len = static_cast<std::uint16_t>(std::min<std::uint64_t>(h.length, 0xFFFF));
                r[2] = static_cast<std::uint8_t>(len >> 8);
                r[3] = static_cast<std::uint8_t>(len);
            }
            pending_.insert(pending_.end(), r.begin(), r.begin() + size);
            if (o.scope_log) o.scope_log->Record(std::span(r.data(), static_cast<std::size_t>(size)));
            ++sent_;
        }
    }

    FrameReceiver frames_;
    State state_ = State::Idle;
    bool mode32_ = false;
    int step_ = 1;
    Clock::time_point next_step_{};
    int sent_ = 0;
    bool finished_ = false;
    Wheel wheel_;
    std::vector<std::uint8_t> pending_;
    std::size_t pending_at_ = 0;
};

}  // namespace

std::unique_ptr<Firmware> MakeOscilloscopeFirmware(Variator& device) {
    return std::make_unique<OscilloscopeFirmware>(device);
}

}  // namespace tovrel::sim
