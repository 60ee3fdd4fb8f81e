// The variator's own firmware: the address map of the 7-byte exchange, a
// working copy of the configuration and an EEPROM that only the commit
// (a write of 0 to address 0) updates.
#include "Variator.h"

namespace tovrel::sim {

class NormalFirmware final : public Firmware {
public:
    using Firmware::Firmware;
    int Mode() const override { return 1; }
    void OnEnter() override { frames_.Reset(); }

    void OnByte(const TimedByte& byte) override {
        auto frame = frames_.Feed(byte);
        if (!frame) return;
        device_.CountFrame();
        Handle(*frame);
    }

private:
    void Handle(const std::array<std::uint8_t, 7>& request) {
        const bool write = request[0] == 0xAA;
        if (!ChecksOk(request)) {
            // A request with wrong check bytes goes back unchanged.
            device_.line().Send(request);
            return;
        }
        const std::uint8_t address = request[1], index = request[2];
        const std::uint16_t value = FrameValue(request);
        if (!write) {
            device_.SendReply(ReadReply(request, ReadValue(address, index)));
            return;
        }
        if (device_.TakeFault(Fault::EchoWrite)) {
            // As if the check bytes had arrived damaged: sent back, not stored.
            device_.line().Send(request);
            return;
        }
        bool to_loader = WriteValue(address, index, value);
        device_.SendReply(WriteConfirmation(request));
        if (to_loader) device_.SwitchTo(2);
    }

    std::uint16_t ReadValue(std::uint8_t address, std::uint8_t index) {
        std::lock_guard lock(device_.mutex());
        auto& w = device_.working_;
        if (address == 0) return 1;  // mode probe: normal firmware
        if (address >= 1 && address <= 4 && index < 80)
            return static_cast<std::uint16_t>(w.maps[address - 1u][index]);
        if (address == 5) return w.tps_min;
        if (address == 6) return w.tps_max;
        if (address == 7) return static_cast<std::uint16_t>(w.start_timeout);
        for (auto& h : device_.handlers_)
            if (auto v = h->Read(address, index)) return *v;
        if (auto it = device_.option_words_.find(address); it != device_.option_words_.end()) return it->second;
        return 0;
    }

    // Returns true when the write hands over to the loader.
    bool WriteValue(std::uint8_t address, std::uint8_t index, std::uint16_t value) {
        std::lock_guard lock(device_.mutex());
        auto& w = device_.working_;
        if (address == 0 && value == 0) {
            device_.eeprom_ = w;
            ++device_.commits_;
            device_.SaveEeprom();
        } else if (address >= 1 && address <= 4 && index < 80) {
            w.maps[address - 1u][index] = static_cast<std::int16_t>(value);
        } else if (address == 5) {
            w.tps_min = value;
        } else if (address == 6) {
            w.tps_max = value;
        } else if (address == 7) {
            w.start_timeout = static_cast<std::int16_t>(value);
        } else if (address == 8 && value == 0) {
            return true;
        } else {
            for (auto& h : device_.handlers_)
                if (h->Write(address, index, value)) break;
        }
        return false;
    }

    FrameReceiver frames_;
};

std::unique_ptr<Firmware> MakeNormalFirmware(Variator& device) { return std::make_unique<NormalFirmware>(device); }

}  // namespace tovrel::sim
