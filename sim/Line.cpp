#include "Line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace tovrel::sim {

namespace {
void SetRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
}
[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }
}  // namespace

std::optional<LineFault> ParseLineFault(std::string_view name) {
    if (name == "vanish") return LineFault::Vanish;
    if (name == "silent") return LineFault::Silent;
    if (name == "garbage") return LineFault::Garbage;
    if (name == "late") return LineFault::Late;
    if (name == "stall") return LineFault::Stall;
    if (name == "latency") return LineFault::Latency;
    return std::nullopt;
}

void Line::CloseNow() {
    if (own_terminal_ >= 0) ::close(own_terminal_);
    if (master_ >= 0) ::close(master_);
    own_terminal_ = master_ = -1;
}

bool Line::Spoil(std::vector<std::uint8_t>& bytes) {
    if (!FaultStruck()) return true;
    switch (fault_.kind) {
        case LineFault::Vanish:
            CloseNow();
            return false;
        case LineFault::Silent:
            return false;
        case LineFault::Garbage:
            for (auto& b : bytes) {
                garbage_seed_ = garbage_seed_ * 1664525u + 1013904223u;
                b = static_cast<std::uint8_t>(garbage_seed_ >> 24);
            }
            return true;
        case LineFault::Stall:
            if (stalled_) return true;
            stalled_ = true;
            [[fallthrough]];
        case LineFault::Late:
            for (auto until = Clock::now() + std::chrono::milliseconds(fault_.late_ms);
                 Clock::now() < until && !interrupted_;)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return !interrupted_;
        case LineFault::Latency:  // Send and TrySend hand the bytes to Delay instead
        case LineFault::None:
            break;
    }
    return true;
}

Line::Line(std::string link_path) : link_path_(std::move(link_path)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) Fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) Fail("unlockpt");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) Fail("ptsname");
    terminal_path_ = name;
    own_terminal_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (own_terminal_ < 0) Fail("open " + terminal_path_);
    SetRaw(own_terminal_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path link(link_path_);
    if (link.has_parent_path()) fs::create_directories(link.parent_path(), ec);
    fs::remove(link, ec);
    fs::create_symlink(terminal_path_, link, ec);
    if (ec) throw std::runtime_error("cannot link " + link_path_ + ": " + ec.message());
}

Line::~Line() {
    {
        std::lock_guard lock(delay_mutex_);
        delay_stop_ = true;
    }
    delay_cv_.notify_all();
    if (delay_thread_.joinable()) delay_thread_.join();
    std::error_code ec;
    namespace fs = std::filesystem;
    if (fs::is_symlink(link_path_, ec) && fs::read_symlink(link_path_, ec) == terminal_path_) fs::remove(link_path_, ec);
    if (own_terminal_ >= 0) ::close(own_terminal_);
    if (master_ >= 0) ::close(master_);
}

void Line::Delay(std::span<const std::uint8_t> bytes) {
    {
        std::lock_guard lock(delay_mutex_);
        auto due = Clock::now() + std::chrono::milliseconds(fault_.late_ms);
        for (auto b : bytes) {
            // Paced, the bytes keep their byte time behind each other.
            if (paced_ && due < last_due_ + kByteTime9600) due = last_due_ + kByteTime9600;
            delayed_.push_back({b, due});
            last_due_ = due;
        }
        moved_ += bytes.size();
        if (!delay_thread_.joinable()) delay_thread_ = std::thread([this] { DelayLoop(); });
    }
    delay_cv_.notify_all();
}

void Line::DelayLoop() {
    std::unique_lock lock(delay_mutex_);
    for (;;) {
        delay_cv_.wait(lock, [&] { return delay_stop_ || !delayed_.empty(); });
        if (delay_stop_) return;
        const auto due = delayed_.front().due;
        if (delay_cv_.wait_until(lock, due, [&] { return delay_stop_; })) return;
        while (!delayed_.empty() && delayed_.front().due <= Clock::now()) {
            const std::uint8_t b = delayed_.front().value;
            delayed_.pop_front();
            if (master_ < 0 || interrupted_) continue;
            for (int tries = 0; tries < 100; ++tries) {
                const ssize_t w = ::write(master_, &b, 1);
                if (w == 1) {
                    LogTraffic('>', &b, 1);
                    break;
                }
                if (w < 0 && errno != EAGAIN && errno != EINTR) break;
                lock.unlock();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                lock.lock();
            }
        }
    }
}

void Line::LogTraffic(char direction, const std::uint8_t* bytes, std::size_t count) {
    if (!traffic_ || count == 0) return;
    std::lock_guard lock(traffic_mutex_);
    if (direction != traffic_direction_) {
        std::fprintf(traffic_, "%s%c", traffic_direction_ ? "\n" : "", direction);
        traffic_direction_ = direction;
    }
    for (std::size_t i = 0; i < count; ++i) std::fprintf(traffic_, " %02X", bytes[i]);
    std::fflush(traffic_);
}

void Line::Send(std::span<const std::uint8_t> sent) {
    if (master_ < 0 || sent.empty()) return;
    if (FaultStruck() && fault_.kind == LineFault::Latency) return Delay(sent);
    std::vector<std::uint8_t> spoiled;
    if (FaultStruck()) {
        spoiled.assign(sent.begin(), sent.end());
        if (!Spoil(spoiled) || master_ < 0) return;
    }
    moved_ += sent.size();
    const std::span<const std::uint8_t> bytes = spoiled.empty() ? sent : std::span<const std::uint8_t>(spoiled);
    // Only a line that was idle for longer than a byte starts a new
    // schedule. Within one send the bytes follow each other back to back, as
    // from a UART's buffer: a late wake-up is caught up, never carried on.
    if (paced_ && next_send_ + kByteTime9600 < Clock::now()) next_send_ = Clock::now();
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t chunk = bytes.size() - i;
        if (paced_) {
            // A byte reaches the other end when its last bit is on the line.
            next_send_ += kByteTime9600;
            std::this_thread::sleep_until(next_send_);
            chunk = 1;
        }
        ssize_t w = ::write(master_, bytes.data() + i, chunk);
        if (w > 0) {
            LogTraffic('>', bytes.data() + i, static_cast<std::size_t>(w));
            i += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 10);
            continue;
        }
        return;  // the line is gone; drop the rest
    }
}

std::size_t Line::TrySend(std::span<const std::uint8_t> sent) {
    if (master_ < 0) return sent.size();  // gone: the bytes are lost
    if (FaultStruck() && fault_.kind == LineFault::Latency) {
        Delay(sent);
        return sent.size();
    }
    std::vector<std::uint8_t> spoiled;
    if (FaultStruck() && !sent.empty()) {
        spoiled.assign(sent.begin(), sent.end());
        if (!Spoil(spoiled) || master_ < 0) return sent.size();
    }
    const std::span<const std::uint8_t> bytes = spoiled.empty() ? sent : std::span<const std::uint8_t>(spoiled);
    std::size_t allowed = bytes.size();
    if (paced_) {
        auto now = Clock::now();
        // A line idle for a while starts a new schedule; short lags are made up.
        if (next_send_ + 8 * kByteTime9600 < now) next_send_ = now - kByteTime9600;
        const auto due = static_cast<std::size_t>((now - next_send_) / kByteTime9600);
        allowed = std::min(allowed, due);
    }
    if (allowed == 0) return 0;
    ssize_t w = ::write(master_, bytes.data(), allowed);
    if (w <= 0) return 0;
    LogTraffic('>', bytes.data(), static_cast<std::size_t>(w));
    if (paced_) next_send_ += static_cast<long>(w) * kByteTime9600;
    moved_ += static_cast<std::size_t>(w);
    return static_cast<std::size_t>(w);
}

std::vector<TimedByte> Line::Receive(std::chrono::microseconds timeout) {
    std::vector<TimedByte> out;
    if (master_ < 0) {
        std::this_thread::sleep_for(timeout);
        return out;
    }
    if (FaultStruck() && fault_.kind == LineFault::Vanish) {
        CloseNow();
        return out;
    }
    pollfd p{master_, POLLIN, 0};
    int ms = static_cast<int>((timeout.count() + 999) / 1000);
    int r = ::poll(&p, 1, ms);
    if (r <= 0 || !(p.revents & POLLIN)) {
        backlog_ = false;
        if (r > 0 && (p.revents & (POLLHUP | POLLERR))) std::this_thread::sleep_for(timeout);
        return out;
    }
    std::uint8_t buf[512];
    ssize_t n = ::read(master_, buf, sizeof buf);
    if (n > 0) LogTraffic('<', buf, static_cast<std::size_t>(n));
    auto now = Clock::now();
    for (ssize_t i = 0; i < n; ++i) {
        Clock::time_point at = now;
        if (paced_) {
            // A whole write arrives at once here; on a real line its bytes
            // follow each other at the byte time. Bytes left waiting behind a
            // full read were on the line right after the ones read before.
            auto base = i > 0 ? out.back().at : (backlog_ ? last_arrival_ : std::max(now, last_arrival_));
            at = base + kByteTime9600;
        }
        last_arrival_ = at;
        out.push_back({buf[i], at});
    }
    int waiting = 0;
    backlog_ = n > 0 && ::ioctl(master_, FIONREAD, &waiting) == 0 && waiting > 0;
    if (n > 0) moved_ += static_cast<std::size_t>(n);
    // A silent device takes in nothing more.
    if (FaultStruck() && fault_.kind == LineFault::Silent) out.clear();
    return out;
}

void Line::DropInput() {
    if (master_ < 0) return;
    std::uint8_t buf[512];
    for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;) LogTraffic('<', buf, static_cast<std::size_t>(n));
}

}  // namespace tovrel::sim
