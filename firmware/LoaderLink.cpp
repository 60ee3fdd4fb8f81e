#include "LoaderLink.h"

#include "PortPath.h"

namespace tovrel {

std::array<std::uint8_t, 4> WordBytes(std::uint32_t word) {
    return {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
            static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
}

std::uint32_t WordFromBytes(const std::array<std::uint8_t, 4>& b) {
    return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
           (std::uint32_t{b[3]} << 24);
}

std::string WordText(std::uint32_t word) { return std::to_string(static_cast<std::int32_t>(word)); }

WordAnswer JudgeWordAnswer(const TransferResult& read, std::uint32_t word, std::uint32_t accepted,
                           std::optional<std::uint32_t> refused) {
    if (!read.ok) return WordAnswer::NoAnswer;
    if (read.count < 4) return WordAnswer::Short;
    if (word == accepted) return WordAnswer::Accepted;
    if (refused && word == *refused) return WordAnswer::Refused;
    return WordAnswer::Wrong;
}

std::uint32_t ConfirmedPacketBytes(const std::uint8_t* sent, const std::uint8_t* answer, std::uint32_t length) {
    std::uint32_t confirmed = 0;
    for (std::uint32_t i = 0; i < length; ++i)
        if (sent[i] == static_cast<std::uint8_t>(answer[i] ^ 0xFF)) ++confirmed;
    return confirmed;
}

LoaderLink::LoaderLink(std::unique_ptr<SerialPort> port) : port_(std::move(port)) {}

bool LoaderLink::Open(int port_number) {
    auto path = PortPath(port_number);
    if (!path) return false;
    return port_->Open(*path, kBaudRate, static_cast<std::int32_t>(search_timeouts.read_interval));
}

TransferResult LoaderLink::WriteWord(std::uint32_t word) {
    const auto bytes = WordBytes(word);
    return port_->WriteSome(bytes.data(), 4);
}

TransferResult LoaderLink::ReadWord(std::uint32_t& word) {
    auto bytes = WordBytes(word);
    const auto r = port_->ReadSome(bytes.data(), 4);
    word = WordFromBytes(bytes);
    return r;
}

}  // namespace tovrel
