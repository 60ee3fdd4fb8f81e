#pragma once
// The serial port. `SerialPort` is the six operations every user of the line
// needs; `ComPort` is the real port, with one backend file per platform
// (comport_posix.cpp now). No operation shows a message: failures are false
// results and the callers word the messages.
#include <cstdint>
#include <memory>
#include <string>

namespace tovrel {

inline constexpr std::uint32_t kBaudRate = 9600;

// A full timeout set, all in milliseconds. A read of n bytes gives up after
// read_multiplier * n + read_constant ms in all, or when more than
// read_interval ms pass between two bytes (0: no interval limit). A write of
// n bytes gives up after write_multiplier * n + write_constant ms (both 0: no
// limit). SetTimeout(t) is the set {t, 1, t, 1, 1}.
struct SerialTimeouts {
    std::uint32_t read_interval = 0;
    std::uint32_t read_multiplier = 0;
    std::uint32_t read_constant = 0;
    std::uint32_t write_multiplier = 0;
    std::uint32_t write_constant = 0;
};

// How one read or write call ended: `ok` is false when the call itself failed
// (closed port, device gone); `count` is how many bytes moved before it ended,
// a timeout included.
struct TransferResult {
    bool ok = false;
    std::uint32_t count = 0;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens the device at `path` with 9600 8N1, no flow control, and applies
    // the timeouts. False on a port that is already open.
    virtual bool Open(const std::string& path, std::uint32_t baud, std::int32_t timeoutMs) = 0;
    // Read gives up when more than t ms pass between two bytes, or after
    // n + t ms in all; a write of n bytes is allowed n + 1 ms.
    virtual bool SetTimeout(std::int32_t timeoutMs) = 0;
    // Discards whatever waits in both directions.
    virtual bool Purge() = 0;
    // True only when every byte was written.
    virtual bool Write(const std::uint8_t* bytes, std::uint32_t count) = 0;
    // True only when exactly `count` bytes arrived. On a timeout the bytes that
    // did arrive are at the start of the buffer; the rest is left untouched.
    virtual bool Read(std::uint8_t* buffer, std::uint32_t count) = 0;
    // Always true; the port is closed afterwards.
    virtual bool Close() = 0;
    virtual bool IsOpen() const = 0;

    // Procedures that need more than the six operations (the firmware loader
    // link): a full timeout set, reads and writes that tell a failed call from
    // a short one, and waiting until written bytes have left.
    virtual bool SetTimeouts(const SerialTimeouts& timeouts) {
        return SetTimeout(static_cast<std::int32_t>(timeouts.read_interval));
    }
    virtual TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t count) {
        if (!IsOpen()) return {};
        return {true, Read(buffer, count) ? count : 0};
    }
    virtual TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t count) {
        if (!IsOpen()) return {};
        return {true, Write(bytes, count) ? count : 0};
    }
    virtual bool Drain() { return IsOpen(); }

    // Whether the last failed Open failed because something else holds the
    // port (another program, or a second open of this one), so that the
    // message can say so instead of a bare "could not connect".
    bool OpenFailedBusy() const { return open_failed_busy_; }

protected:
    bool open_failed_busy_ = false;
};

class ComPort final : public SerialPort {
public:
    ComPort();
    ~ComPort() override;
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    bool Open(const std::string& path, std::uint32_t baud, std::int32_t timeoutMs) override;
    bool SetTimeout(std::int32_t timeoutMs) override;
    bool Purge() override;
    bool Write(const std::uint8_t* bytes, std::uint32_t count) override;
    bool Read(std::uint8_t* buffer, std::uint32_t count) override;
    bool Close() override;
    bool IsOpen() const override;
    bool SetTimeouts(const SerialTimeouts& timeouts) override;
    TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t count) override;
    TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t count) override;
    // Waits until every written byte has left the driver (bounded by the line
    // time of what waits, plus a second).
    bool Drain() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tovrel
