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

#include "Crc.h"

namespace tovrel {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

struct ComPort::Impl {
    int fd = -1;
    std::int32_t timeout_ms = 0;
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
    if (IsOpen()) return false;
    auto speed = SpeedFor(baud);
    if (!speed) return false;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    auto fail = [&] {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    };
    // Exclusive use: a lock that our own program honours, and the terminal's
    // exclusive mode that keeps other programs out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return fail();
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, *speed) != 0 || ::cfsetospeed(&tio, *speed) != 0) return fail();
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return fail();
    // DTR and RTS off. A pseudo-terminal has no modem lines and refuses the
    // call, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);

    impl_->fd = fd;
    if (!SetTimeout(timeoutMs)) {
        impl_->fd = -1;
        return fail();
    }
    return true;
}

bool ComPort::SetTimeout(std::int32_t timeoutMs) {
    if (!IsOpen() || timeoutMs < 0) return false;
    impl_->timeout_ms = timeoutMs;
    return true;
}

bool ComPort::Purge() {
    if (!IsOpen()) return false;
    return ::tcflush(impl_->fd, TCIOFLUSH) == 0;
}

bool ComPort::Write(const std::uint8_t* bytes, std::uint32_t count) {
    if (!IsOpen()) return false;
    auto deadline = Clock::now() + Ms(count + 1);
    std::uint32_t done = 0;
    while (done < count) {
        ssize_t w = ::write(impl_->fd, bytes + done, count - done);
        if (w > 0) {
            done += static_cast<std::uint32_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return false;
        int ev = WaitFor(impl_->fd, POLLOUT, deadline);
        if (ev <= 0 || (ev & (POLLERR | POLLHUP | POLLNVAL))) return false;
    }
    return true;
}

bool ComPort::Read(std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) return false;
    const auto t = Ms(impl_->timeout_ms);
    const auto total_deadline = Clock::now() + Ms(count) + t;
    std::optional<Clock::time_point> last_byte;
    std::uint32_t got = 0;
    while (got < count) {
        auto deadline = total_deadline;
        if (last_byte && *last_byte + t < deadline) deadline = *last_byte + t;
        int ev = WaitFor(impl_->fd, POLLIN, deadline);
        if (ev <= 0) break;  // timed out, or the port failed
        if (ev & POLLIN) {
            ssize_t r = ::read(impl_->fd, buffer + got, count - got);
            if (r > 0) {
                got += static_cast<std::uint32_t>(r);
                last_byte = Clock::now();
                continue;
            }
            if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            break;  // end of file or an error: the device went away
        }
        break;  // hang-up or error without data
    }
    return got == count;
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
