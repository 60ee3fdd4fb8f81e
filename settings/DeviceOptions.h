#pragma once
// Read-only device options, filled by ReadDeviceOptions after a connection.
#include <array>
#include <cstdint>

namespace tovrel {

struct DeviceCapabilities {
    std::uint16_t word = 0;
    // The sixteen bits as separate flags; they change only when the word is
    // read from the device, so they keep the values of the last read.
    std::array<bool, 16> bits{};

    void ReadFromDevice(std::uint16_t value) {
        word = value;
        for (int i = 0; i < 16; ++i) bits[static_cast<std::size_t>(i)] = (value >> i) & 1u;
    }
    bool Bit(int i) const { return bits[static_cast<std::size_t>(i)]; }
    bool KeepsLogs() const { return Bit(9) && Bit(10); }
};

struct DeviceOptions {
    ::tovrel::DeviceCapabilities DeviceCapabilities;
    std::uint16_t TimerDivision = 0;   // address 145
    std::uint16_t LowestMotorRpm = 0;  // high byte of address 147 times 10
};

}  // namespace tovrel
