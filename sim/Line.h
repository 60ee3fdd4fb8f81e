#pragma once
// The simulated variator's end of the serial line: a pseudo-terminal whose
// other end is linked where the program looks for COM<n>. Bytes can be paced
// like a real 9600-baud line, in both directions.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>
#include <string>
#include <vector>

namespace tovrel::sim {

using Clock = std::chrono::steady_clock;

// 10 bits per byte at 9600 baud.
inline constexpr std::chrono::nanoseconds kByteTime9600{1041667};

struct TimedByte {
    std::uint8_t value;
    Clock::time_point at;  // arrival time, paced when pacing is on
};

// A fault of the line itself, in any firmware: it strikes once this many
// bytes have crossed the line (both ways counted), so that it comes midway
// through a procedure.
enum class LineFault {
    None,
    Vanish,   // the pseudo-terminal closes: the device is gone
    Silent,   // nothing more is sent and what comes is ignored
    Garbage,  // every byte sent is replaced by a random one
    Late,     // everything sent goes out late_ms late (the device is slow to answer each time)
    Stall,    // the device is busy once: the next thing it sends goes out late_ms late, then all is well
    Latency,  // a line with a constant latency: every byte sent arrives late_ms later, while the
              // device goes on taking requests
};
struct LineFaultPlan {
    LineFault kind = LineFault::None;
    std::uint64_t after_bytes = 0;
    int late_ms = 2500;
};
std::optional<LineFault> ParseLineFault(std::string_view name);

class Line {
public:
    // Opens a pseudo-terminal in raw mode and links its terminal end as
    // `link_path`, replacing an earlier link there. Throws std::runtime_error
    // when that is not possible.
    explicit Line(std::string link_path);
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    const std::string& link_path() const { return link_path_; }
    const std::string& terminal_path() const { return terminal_path_; }

    void set_paced(bool paced) { paced_ = paced; }
    bool paced() const { return paced_; }

    // Sends bytes; with pacing, one byte per byte time.
    void Send(std::span<const std::uint8_t> bytes);
    void Send(std::initializer_list<std::uint8_t> bytes) { Send(std::span(bytes.begin(), bytes.size())); }
    // Sends what the terminal takes now, without waiting; with pacing only
    // the bytes whose time has come. Returns how many bytes went out.
    std::size_t TrySend(std::span<const std::uint8_t> bytes);
    // Waits up to `timeout` for input and returns what arrived (possibly
    // nothing). With pacing, arrival times are spaced by the byte time.
    std::vector<TimedByte> Receive(std::chrono::microseconds timeout);
    // Throws away input that has not been received yet.
    void DropInput();
    // Writes every byte that crosses the line into `log` (not owned), one
    // line per run of one direction: "< 55 00 00 ..." received, "> ..." sent.
    // The lines do not depend on how the bytes were split into reads.
    void set_traffic_log(std::FILE* log) { traffic_ = log; }

    void set_fault(const LineFaultPlan& plan) { fault_ = plan; }
    // The line fault has struck.
    bool FaultStruck() const { return fault_.kind != LineFault::None && moved_ >= fault_.after_bytes; }
    bool Closed() const { return master_ < 0; }
    // Cuts a late send's wait short (the simulator is stopping).
    void Interrupt() { interrupted_ = true; }

private:
    std::string link_path_;
    std::string terminal_path_;
    int master_ = -1;
    int own_terminal_ = -1;  // kept open so the program can close and reopen its end
    bool paced_ = false;
    Clock::time_point next_send_{};
    Clock::time_point last_arrival_{};
    bool backlog_ = false;  // more input was waiting after the last read
    std::FILE* traffic_ = nullptr;
    char traffic_direction_ = 0;
    void LogTraffic(char direction, const std::uint8_t* bytes, std::size_t count);
    std::mutex traffic_mutex_;  // the latency fault's sender logs from its own thread
    // The latency fault: bytes wait here until their time, and a thread of
    // their own writes them.
    struct DelayedByte {
        std::uint8_t value;
        Clock::time_point due;
    };
    std::deque<DelayedByte> delayed_;
    Clock::time_point last_due_{};
    std::mutex delay_mutex_;
    std::condition_variable delay_cv_;
    bool delay_stop_ = false;
    std::thread delay_thread_;
    void Delay(std::span<const std::uint8_t> bytes);
    void DelayLoop();
    bool stalled_ = false;  // the stall fault has had its one late send
    LineFaultPlan fault_;
    std::atomic<bool> interrupted_{false};
    std::uint64_t moved_ = 0;  // bytes sent and received so far
    std::uint32_t garbage_seed_ = 0x9E3779B9u;
    // Applies a struck fault to bytes about to be sent; false when nothing
    // is to be sent.
    bool Spoil(std::vector<std::uint8_t>& bytes);
    void CloseNow();
};

}  // namespace tovrel::sim
