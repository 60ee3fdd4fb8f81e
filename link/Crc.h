#pragma once
// The serial port. `SerialPort` is the six operations every user of the line
// needs; `ComPort` is the real port, with one backend file per platform
// (comport_posix.cpp, comport_win32.cpp). No operation shows a message: failures are false
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

    // Whether the last failed Open failed because something else holds the
    // port (another program, or a second open of this one), so that the
    // message can say so instead of a bare "could not connect".
    bool OpenFailedBusy() const { return open_failed_busy_; }
    // Whether a read or write on the open port failed as a call (the device
    // was unplugged, the driver gave up), as opposed to running out of time.
    // Cleared by the next open.
    bool Gone() const { return gone_; }

protected:
    bool open_failed_busy_ = false;
    bool gone_ = false;
};

// What the firmware loader's own line needs beyond the six operations: the
// open split into its steps (so that each failure gets its own message), the
// driver queue sizes, a full timeout set, reads and writes that tell a failed
// call from a short one, and waiting until written bytes have left. Every
// backend says what each of them does; none has a default.
class LoaderSerialPort : public SerialPort {
public:
    // Opens the device for exclusive use without touching its settings.
    // False on a port that is already open.
    virtual bool OpenDevice(const std::string& path) = 0;
    // 8 data bits, no parity, one stop bit, binary, DTR and RTS off, no flow
    // control, at `baud`.
    virtual bool SetLineSettings(std::uint32_t baud) = 0;
    // Sizes of the driver's input and output queues in bytes.
    virtual bool SetQueueSizes(std::uint32_t input, std::uint32_t output) = 0;
    virtual bool SetTimeouts(const SerialTimeouts& timeouts) = 0;
    virtual TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t count) = 0;
    virtual TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t count) = 0;
    // Waits until every written byte has left the driver.
    virtual bool Drain() = 0;
};

// Driver queue sizes of both directions.
inline constexpr std::uint32_t kQueueBytes = 1024;

// The real port: open = OpenDevice, SetQueueSizes(1024, 1024),
// SetLineSettings(baud), SetTimeout; any failed step closes it again.
class ComPort final : public LoaderSerialPort {
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
    bool OpenDevice(const std::string& path) override;
    bool SetLineSettings(std::uint32_t baud) override;
    bool SetQueueSizes(std::uint32_t input, std::uint32_t output) override;
    bool SetTimeouts(const SerialTimeouts& timeouts) override;
    TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t count) override;
    TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t count) override;
    bool Drain() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tovrel
