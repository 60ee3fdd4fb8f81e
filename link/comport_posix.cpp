// POSIX backend of ComPort: termios in raw mode and poll-based timeouts that
// reproduce the serial timeout rules the device procedures were written for.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include "Crc.h"

namespace tovrel {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

struct ComPort::Impl {
    int fd = -1;
    SerialTimeouts timeouts;
};

namespace {

std::optional<speed_t> SpeedFor(std::uint32_t baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return std::nullopt;
    }
}

// Waits for `events` until `deadline`; returns poll's revents, 0 on timeout,
// -1 on error.
int WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto now = Clock::now();
        if (now >= deadline) return 0;
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
        timespec ts{static_cast<time_t>(left.count() / 1000000000), static_cast<long>(left.count() % 1000000000)};
        pollfd p{fd, events, 0};
        int r = ppoll(&p, 1, &ts, nullptr);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) continue;  // the loop re-checks the deadline
        return p.revents;
    }
}

}  // namespace

ComPort::ComPort() : impl_(std::make_unique<Impl>()) {}
ComPort::~ComPort() { Close(); }

bool ComPort::IsOpen() const { return impl_->fd >= 0; }

bool ComPort::Open(const std::string& path, std::uint32_t baud, std::int32_t timeoutMs) {
    if (!OpenDevice(path)) return false;
    if (SetQueueSizes(kQueueBytes, kQueueBytes) && SetLineSettings(baud) && SetTimeout(timeoutMs)) return true;
    Close();
    return false;
}

bool ComPort::OpenDevice(const std::string& path) {
    open_failed_busy_ = false;
    if (IsOpen()) return false;
    gone_ = false;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A terminal in exclusive mode refuses further opens with EBUSY.
        open_failed_busy_ = errno == EBUSY;
        return false;
    }
    // Exclusive use: a lock that our own program honours, and the terminal's
    // exclusive mode that keeps other programs out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        open_failed_busy_ = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    impl_->fd = fd;
    impl_->timeouts = {};
    return true;
}

// The terminal driver's queues have a fixed size; nothing to set, but the
// port must be open.
bool ComPort::SetQueueSizes(std::uint32_t, std::uint32_t) { return IsOpen(); }

bool ComPort::SetLineSettings(std::uint32_t baud) {
    if (!IsOpen()) return false;
    auto speed = SpeedFor(baud);
    if (!speed) return false;
    const int fd = impl_->fd;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, *speed) != 0 || ::cfsetospeed(&tio, *speed) != 0) return false;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    // DTR and RTS off. A pseudo-terminal has no modem lines and refuses the
    // call, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);
    return true;
}

bool ComPort::SetTimeout(std::int32_t timeoutMs) {
    if (timeoutMs < 0) return false;
    const auto t = static_cast<std::uint32_t>(timeoutMs);
    return SetTimeouts({t, 1, t, 1, 1});
}

bool ComPort::SetTimeouts(const SerialTimeouts& timeouts) {
    if (!IsOpen()) return false;
    impl_->timeouts = timeouts;
    return true;
}

bool ComPort::Purge() {
    if (!IsOpen()) return false;
    return ::tcflush(impl_->fd, TCIOFLUSH) == 0;
}

bool ComPort::Write(const std::uint8_t* bytes, std::uint32_t count) {
    if (!IsOpen()) return false;
    auto r = WriteSome(bytes, count);
    gone_ = gone_ || !r.ok;
    return r.ok && r.count == count;
}

TransferResult ComPort::WriteSome(const std::uint8_t* bytes, std::uint32_t count) {
    if (!IsOpen()) return {};
    const auto& to = impl_->timeouts;
    std::optional<Clock::time_point> deadline;
    if (to.write_multiplier != 0 || to.write_constant != 0)
        deadline = Clock::now() + Ms(std::uint64_t{to.write_multiplier} * count + to.write_constant);
    std::uint32_t done = 0;
    while (done < count) {
        ssize_t w = ::write(impl_->fd, bytes + done, count - done);
        if (w > 0) {
            done += static_cast<std::uint32_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return {false, done};
        int ev = WaitFor(impl_->fd, POLLOUT, deadline.value_or(Clock::time_point::max()));
        if (ev == 0) return {true, done};  // the write timed out
        if (ev < 0 || (ev & (POLLERR | POLLHUP | POLLNVAL))) return {false, done};
    }
    return {true, done};
}

bool ComPort::Read(std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) return false;
    auto r = ReadSome(buffer, count);
    gone_ = gone_ || !r.ok;
    return r.ok && r.count == count;
}

TransferResult ComPort::ReadSome(std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) return {};
    const auto& to = impl_->timeouts;
    std::optional<Clock::time_point> total_deadline;
    if (to.read_multiplier != 0 || to.read_constant != 0)
        total_deadline = Clock::now() + Ms(std::uint64_t{to.read_multiplier} * count + to.read_constant);
    const auto interval = Ms(to.read_interval);
    std::optional<Clock::time_point> last_byte;
    std::uint32_t got = 0;
    while (got < count) {
        auto deadline = total_deadline.value_or(Clock::time_point::max());
        if (to.read_interval != 0 && last_byte && *last_byte + interval < deadline) deadline = *last_byte + interval;
        int ev = WaitFor(impl_->fd, POLLIN, deadline);
        if (ev == 0) return {true, got};  // timed out
        if (ev < 0) return {false, got};
        if (ev & POLLIN) {
            ssize_t r = ::read(impl_->fd, buffer + got, count - got);
            if (r > 0) {
                got += static_cast<std::uint32_t>(r);
                last_byte = Clock::now();
                continue;
            }
            if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            return {false, got};  // end of file or an error: the device went away
        }
        return {false, got};  // hang-up or error without data
    }
    return {true, got};
}

// Bounded by the line time of what waits, plus a second.
bool ComPort::Drain() {
    if (!IsOpen()) return false;
    int queued = 0;
    if (::ioctl(impl_->fd, TIOCOUTQ, &queued) != 0) return false;
    // Each byte takes about 1.04 ms at 9600 baud; allow twice that and a second.
    const auto deadline = Clock::now() + Ms(2 * static_cast<std::int64_t>(queued) + 1000);
    while (queued > 0) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(Ms(1));
        if (::ioctl(impl_->fd, TIOCOUTQ, &queued) != 0) return false;
    }
    return true;
}

bool ComPort::Close() {
    if (IsOpen()) {
        ::ioctl(impl_->fd, TIOCNXCL);
        ::close(impl_->fd);
        impl_->fd = -1;
    }
    return true;
}

}  // namespace tovrel
