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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tovrel
