#pragma once
// What runs inside the simulated variator: one of its three firmwares.
#include <cstdint>
#include <optional>

#include "Line.h"

namespace tovrel::sim {

class Variator;

class Firmware {
public:
    explicit Firmware(Variator& device) : device_(device) {}
    virtual ~Firmware() = default;
    // The mode code this firmware answers to the mode probe.
    virtual int Mode() const = 0;
    // Called when the device switches to this firmware.
    virtual void OnEnter() {}
    // One received byte, at its (paced) arrival time.
    virtual void OnByte(const TimedByte& byte) = 0;
    // Called whenever the device loop wakes, at least every few milliseconds.
    virtual void OnIdle(Clock::time_point now) { (void)now; }

protected:
    Variator& device_;
};

// Assembles 7-byte request frames. A pause of more than kFrameGap between two
// bytes starts a new frame, and a frame begins only with 0x55 or 0xAA, so
// garbage on the line does not shift the frames that follow.
class FrameReceiver {
public:
    static constexpr auto kFrameGap = std::chrono::milliseconds(20);
    // Returns a whole frame when `byte` completed one.
    std::optional<std::array<std::uint8_t, 7>> Feed(const TimedByte& byte);
    void Reset() { count_ = 0; }

private:
    std::array<std::uint8_t, 7> frame_{};
    int count_ = 0;
    Clock::time_point last_{};
};

// A 7-byte read reply carrying `value`.
std::array<std::uint8_t, 7> ReadReply(const std::array<std::uint8_t, 7>& request, std::uint16_t value);
// The confirmation of a write: the complement of the whole request.
std::array<std::uint8_t, 7> WriteConfirmation(const std::array<std::uint8_t, 7>& request);
// Whether bytes 5 and 6 are the complements of bytes 3 and 4.
bool ChecksOk(const std::array<std::uint8_t, 7>& frame);
inline std::uint16_t FrameValue(const std::array<std::uint8_t, 7>& f) {
    return static_cast<std::uint16_t>((f[3] << 8) | f[4]);
}

}  // namespace tovrel::sim
