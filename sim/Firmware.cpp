#include "Firmware.h"

namespace tovrel::sim {

std::optional<std::array<std::uint8_t, 7>> FrameReceiver::Feed(const TimedByte& byte) {
    if (count_ > 0 && byte.at - last_ > kFrameGap) count_ = 0;
    last_ = byte.at;
    if (count_ == 0 && byte.value != 0x55 && byte.value != 0xAA) return std::nullopt;
    frame_[static_cast<std::size_t>(count_++)] = byte.value;
    if (count_ < 7) return std::nullopt;
    count_ = 0;
    return frame_;
}

std::array<std::uint8_t, 7> ReadReply(const std::array<std::uint8_t, 7>& request, std::uint16_t value) {
    std::array<std::uint8_t, 7> r{};
    r[0] = request[0];
    r[1] = request[1];
    r[2] = request[2];
    r[3] = static_cast<std::uint8_t>(value >> 8);
    r[4] = static_cast<std::uint8_t>(value & 0xFF);
    r[5] = static_cast<std::uint8_t>(~r[3]);
    r[6] = static_cast<std::uint8_t>(~r[4]);
    return r;
}

std::array<std::uint8_t, 7> WriteConfirmation(const std::array<std::uint8_t, 7>& request) {
    std::array<std::uint8_t, 7> r{};
    for (std::size_t i = 0; i < 7; ++i) r[i] = static_cast<std::uint8_t>(~request[i]);
    return r;
}

bool ChecksOk(const std::array<std::uint8_t, 7>& f) {
    return f[3] == static_cast<std::uint8_t>(~f[5]) && f[4] == static_cast<std::uint8_t>(~f[6]);
}

}  // namespace tovrel::sim
