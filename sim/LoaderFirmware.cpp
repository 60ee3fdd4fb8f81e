// The firmware loader. It answers the mode probe with 2 while it waits for a
// host, then speaks the loader protocol of 32-bit words (least significant
// byte first) and raw data packets:
//
//   host                         loader
//   FF FF FF FF  (handshake)     00 00 00 00
//   volume s                     ~s            (s itself: refused)
//   packet size                  ~size         (size itself: refused)
//                                FF FF FF FF   once the FLASH is erased (0: failed)
//   packets of `size` bytes      each packet's bytes complemented
//   FF FF FF FF  (confirmation)  00 00 00 00, then the new firmware starts
#include <algorithm>
#include <span>
#include <vector>

#include "Variator.h"

namespace tovrel::sim {

namespace {

constexpr std::uint32_t kOtherLoaderVersion = 5;
constexpr std::uint32_t kLargestPacket = 4096;
// Bytes of one word or one probe frame arrive together; a longer pause
// starts afresh.
constexpr auto kByteGap = std::chrono::milliseconds(20);

std::array<std::uint8_t, 4> Bytes(std::uint32_t w) {
    return {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16),
            static_cast<std::uint8_t>(w >> 24)};
}

class LoaderFirmware final : public Firmware {
public:
    using Firmware::Firmware;
    int Mode() const override { return 2; }

    void OnEnter() override {
        Restart();
        const auto& o = device_.options();
        ready_ = device_.EnteredBySwitch() && o.loader_ready_ms > 0;
        last_activity_ = Clock::now();
    }

    void OnByte(const TimedByte& b) override {
        last_activity_ = b.at;
        if (state_ == State::Dead || state_ == State::Erasing) return;
        if (state_ == State::Data) {
            OnData(b.value);
            return;
        }
        if (!pending_.empty() && b.at - last_byte_ > kByteGap) pending_.clear();
        last_byte_ = b.at;
        if (state_ == State::Handshake) {
            OnHandshakeByte(b.value);
            return;
        }
        pending_.push_back(b.value);
        if (pending_.size() < 4) return;
        const std::uint32_t word = std::uint32_t{pending_[0]} | (std::uint32_t{pending_[1]} << 8) |
                                   (std::uint32_t{pending_[2]} << 16) | (std::uint32_t{pending_[3]} << 24);
        pending_.clear();
        OnWord(word);
    }

    void OnIdle(Clock::time_point now) override {
        const auto& o = device_.options();
        if (state_ == State::Erasing) {
            if (now < erase_done_) return;
            if (device_.TakeFault(Fault::EraseFailed)) {
                SendWord(0);
                Restart();
            } else {
                SendWord(0xFFFFFFFF);
                state_ = State::Data;
            }
            return;
        }
        if (state_ == State::Handshake) {
            if (ready_ && pending_.empty() && now - last_activity_ >= std::chrono::milliseconds(o.loader_ready_ms))
                Send(std::array<std::uint8_t, 1>{0xA5});
            return;
        }
        if (now - last_activity_ > std::chrono::milliseconds(o.loader_idle_reset_ms)) Restart();
    }

private:
    enum class State { Handshake, Volume, PacketSize, Erasing, Data, Confirm, Dead };

    void Restart() {
        state_ = State::Handshake;
        pending_.clear();
        image_.clear();
        received_ = 0;
        packet_fill_ = 0;
    }

    void SendWord(std::uint32_t w) {
        Send(Bytes(w));
    }
    // The idle time of a conversation counts from the loader's own last byte
    // too: a paced answer takes its time on the line.
    void Send(std::span<const std::uint8_t> bytes) {
        device_.line().Send(bytes);
        last_activity_ = Clock::now();
    }

    // While waiting for a host: 7-byte frames (the mode probe) start with
    // 0x55 or 0xAA, the handshake word with 0xFF.
    void OnHandshakeByte(std::uint8_t v) {
        if (pending_.empty() && v != 0x55 && v != 0xAA && v != 0xFF) return;
        pending_.push_back(v);
        if (pending_[0] == 0xFF) {
            if (pending_.size() < 4) return;
            const bool handshake = std::all_of(pending_.begin(), pending_.end(), [](auto x) { return x == 0xFF; });
            pending_.clear();
            if (handshake) AnswerHandshake();
            return;
        }
        if (pending_.size() < 7) return;
        std::array<std::uint8_t, 7> f{};
        std::copy(pending_.begin(), pending_.end(), f.begin());
        pending_.clear();
        device_.CountFrame();
        if (f[0] == 0x55 && f[1] == 0 && f[2] == 0 && ChecksOk(f)) device_.SendReply(ReadReply(f, 2));
    }

    void AnswerHandshake() {
        ready_ = false;
        if (device_.TakeFault(Fault::LoaderSilent)) return;
        if (device_.TakeFault(Fault::LoaderVersion)) {
            SendWord(kOtherLoaderVersion);
            return;
        }
        SendWord(0);
        state_ = State::Volume;
    }

    void OnWord(std::uint32_t word) {
        switch (state_) {
            case State::Volume:
                if (device_.TakeFault(Fault::VolumeRefused) || word == 0 || word > device_.options().loader_capacity) {
                    SendWord(word);
                    Restart();
                    return;
                }
                SendWord(~word);
                volume_ = word;
                state_ = State::PacketSize;
                return;
            case State::PacketSize:
                if (device_.TakeFault(Fault::PacketSizeRefused) || word == 0 || word > kLargestPacket) {
                    SendWord(word);
                    Restart();
                    return;
                }
                SendWord(~word);
                packet_size_ = word;
                state_ = State::Erasing;
                erase_done_ = Clock::now() + std::chrono::milliseconds(device_.options().loader_erase_ms);
                image_.assign(volume_, 0xFF);
                received_ = 0;
                packet_fill_ = 0;
                return;
            case State::Confirm:
                if (word != 0xFFFFFFFF) {
                    SendWord(0xFFFFFFFF);
                    Restart();
                    return;
                }
                // The image is kept before the host hears so; then the new
                // firmware starts (or, under its fault, the loader stays).
                device_.StoreLoaderImage(image_);
                if (!device_.TakeFault(Fault::StaysInLoader)) device_.SwitchTo(1);
                SendWord(0);
                Restart();
                return;
            default:
                return;
        }
    }

    void OnData(std::uint8_t v) {
        image_[received_++] = v;
        ++packet_fill_;
        const std::uint32_t start = received_ - packet_fill_;
        const std::uint32_t length = std::min(packet_size_, volume_ - start);
        if (packet_fill_ < length) return;
        packet_fill_ = 0;

        std::vector<std::uint8_t> answer(length);
        for (std::uint32_t i = 0; i < length; ++i) answer[i] = static_cast<std::uint8_t>(~image_[start + i]);
        const std::uint32_t middle = volume_ / 2;
        const bool holds_middle = middle >= start && middle < start + length;
        if (holds_middle && device_.TakeFault(Fault::WrongEcho)) answer[middle - start] ^= 0x01;
        if (holds_middle && device_.TakeFault(Fault::LineDead)) {
            answer.resize(middle - start);
            Send(answer);
            state_ = State::Dead;
            return;
        }
        Send(answer);
        if (received_ == volume_) state_ = State::Confirm;
    }

    State state_ = State::Handshake;
    std::vector<std::uint8_t> pending_;
    Clock::time_point last_byte_{};
    Clock::time_point last_activity_{};
    Clock::time_point erase_done_{};
    bool ready_ = false;
    std::uint32_t volume_ = 0;
    std::uint32_t packet_size_ = 0;
    std::vector<std::uint8_t> image_;
    std::uint32_t received_ = 0;
    std::uint32_t packet_fill_ = 0;
};

}  // namespace

std::unique_ptr<Firmware> MakeLoaderFirmware(Variator& device) { return std::make_unique<LoaderFirmware>(device); }

}  // namespace tovrel::sim
