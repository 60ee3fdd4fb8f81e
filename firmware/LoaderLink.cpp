#include "LoaderLink.h"

#include <algorithm>
#include <limits>

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

LoaderLink::LoaderLink(std::unique_ptr<LoaderSerialPort> port) : port_(std::move(port)) {}

TransferResult LoaderLink::WriteWord(std::uint32_t word) {
    const auto bytes = WordBytes(word);
    return port_->WriteSome(bytes.data(), 4);
}

bool LoaderLink::Apply(const SerialTimeouts& set) {
    in_force_ = set;
    return port_->SetTimeouts(set);
}

TransferResult LoaderLink::ReadWord(std::uint32_t& word) {
    auto bytes = WordBytes(word);
    const auto r = Read(bytes.data(), 4);
    word = WordFromBytes(bytes);
    return r;
}

TransferResult LoaderLink::Read(std::uint8_t* buffer, std::uint32_t count) {
    constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
    const SerialTimeouts set = in_force_;
    const std::uint64_t total = set.read_multiplier == 0 && set.read_constant == 0
                                    ? kNoLimit
                                    : std::uint64_t{set.read_multiplier} * count + set.read_constant;
    const std::uint64_t quiet = set.read_interval == 0 ? kNoLimit : set.read_interval;
    // Time is counted in slices: a slice that does not complete the read
    // lasts its full length on the line, and the hook's own time stays out.
    std::uint64_t waited = 0, silent = 0;
    TransferResult result{true, 0};
    while (result.count < count) {
        const std::uint64_t left = std::min(total - waited, quiet - silent);
        if (left == 0) break;
        const auto slice = static_cast<std::uint32_t>(std::min<std::uint64_t>(kLoaderReadSliceMs, left));
        port_->SetTimeouts({0, 0, slice, set.write_multiplier, set.write_constant});
        const auto r = port_->ReadSome(buffer + result.count, count - result.count);
        result.count += r.count;
        waited += slice;
        silent = r.count > 0 ? 0 : silent + slice;
        if (!r.ok) {
            result.ok = false;
            break;
        }
        if (result.count == count) break;
        if (between_slices && !between_slices()) break;
    }
    port_->SetTimeouts(set);
    return result;
}

}  // namespace tovrel
