#pragma once
// A firmware that answers nothing but the mode probe. The loader and the
// oscilloscope firmware build on it until they speak their own protocols.
#include "Variator.h"

namespace tovrel::sim {

class ProbeOnlyFirmware : public Firmware {
public:
    ProbeOnlyFirmware(Variator& device, int mode) : Firmware(device), mode_(mode) {}
    int Mode() const override { return mode_; }
    void OnEnter() override { frames_.Reset(); }
    void OnByte(const TimedByte& byte) override {
        auto frame = frames_.Feed(byte);
        if (!frame) return;
        device_.CountFrame();
        const auto& f = *frame;
        if (f[0] == 0x55 && f[1] == 0 && f[2] == 0 && ChecksOk(f))
            device_.SendReply(ReadReply(f, static_cast<std::uint16_t>(mode_)));
    }

private:
    int mode_;
    FrameReceiver frames_;
};

}  // namespace tovrel::sim
