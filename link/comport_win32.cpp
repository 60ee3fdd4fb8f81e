// Win32 backend of ComPort: one synchronous handle of the serial device,
// with the driver's own timeout rules (COMMTIMEOUTS) doing the waiting.
#include <windows.h>

#include "Win32Text.h"

#include <string>

#include "Crc.h"

namespace tovrel {

struct ComPort::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

using win32::Widen;

}  // namespace

ComPort::ComPort() : impl_(std::make_unique<Impl>()) {}
ComPort::~ComPort() { Close(); }

bool ComPort::IsOpen() const { return impl_->handle != INVALID_HANDLE_VALUE; }

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
    // No sharing, synchronous input and output.
    HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A port that another program holds is refused with "access denied".
        open_failed_busy_ = ::GetLastError() == ERROR_ACCESS_DENIED;
        return false;
    }
    impl_->handle = h;
    return true;
}

bool ComPort::SetQueueSizes(std::uint32_t input, std::uint32_t output) {
    if (!IsOpen()) return false;
    return ::SetupComm(impl_->handle, input, output) != 0;
}

bool ComPort::SetLineSettings(std::uint32_t baud) {
    if (!IsOpen()) return false;
    // Every flag off except binary mode: no parity check, no CTS/DSR flow
    // control, no DSR sensitivity, no XON/XOFF, no error character, no null
    // stripping, no abort on error.
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = baud;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    return ::SetCommState(impl_->handle, &dcb) != 0;
}

bool ComPort::SetTimeout(std::int32_t timeoutMs) {
    if (timeoutMs < 0) return false;
    const auto t = static_cast<std::uint32_t>(timeoutMs);
    return SetTimeouts({t, 1, t, 1, 1});
}

bool ComPort::SetTimeouts(const SerialTimeouts& timeouts) {
    if (!IsOpen()) return false;
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = timeouts.read_interval;
    ct.ReadTotalTimeoutMultiplier = timeouts.read_multiplier;
    ct.ReadTotalTimeoutConstant = timeouts.read_constant;
    ct.WriteTotalTimeoutMultiplier = timeouts.write_multiplier;
    ct.WriteTotalTimeoutConstant = timeouts.write_constant;
    return ::SetCommTimeouts(impl_->handle, &ct) != 0;
}

bool ComPort::Purge() {
    if (!IsOpen()) return false;
    return ::PurgeComm(impl_->handle, PURGE_TXCLEAR | PURGE_RXCLEAR) != 0;
}

bool ComPort::Write(const std::uint8_t* bytes, std::uint32_t count) {
    if (!IsOpen()) return false;
    auto r = WriteSome(bytes, count);
    gone_ = gone_ || !r.ok;
    return r.ok && r.count == count;
}

TransferResult ComPort::WriteSome(const std::uint8_t* bytes, std::uint32_t count) {
    if (!IsOpen()) return {};
    DWORD written = 0;
    const BOOL ok = ::WriteFile(impl_->handle, bytes, count, &written, nullptr);
    return {ok != 0, static_cast<std::uint32_t>(written)};
}

bool ComPort::Read(std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) return false;
    auto r = ReadSome(buffer, count);
    gone_ = gone_ || !r.ok;
    return r.ok && r.count == count;
}

TransferResult ComPort::ReadSome(std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) return {};
    DWORD got = 0;
    const BOOL ok = ::ReadFile(impl_->handle, buffer, count, &got, nullptr);
    return {ok != 0, static_cast<std::uint32_t>(got)};
}

// Hands everything written to the device (FlushFileBuffers).
bool ComPort::Drain() {
    if (!IsOpen()) return false;
    return ::FlushFileBuffers(impl_->handle) != 0;
}

bool ComPort::Close() {
    if (IsOpen()) {
        ::CloseHandle(impl_->handle);
        impl_->handle = INVALID_HANDLE_VALUE;
    }
    return true;
}

}  // namespace tovrel
