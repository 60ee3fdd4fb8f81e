#include "ScopeStream.h"

namespace tovrel {

namespace {
constexpr std::uint8_t kFrameMarker = 0xAA;
constexpr std::uint8_t kInitAddress = 0x88;
constexpr std::uint8_t kProgressIndex = 2;
constexpr std::uint8_t kFinalIndex = 3;
}  // namespace

InitEvent InitFrameParser::Feed(std::uint8_t b) {
    if (done_) return {};
    if (have_ == 0) {
        if (b == kFrameMarker) frame_[have_++] = b;
        return {};
    }
    frame_[have_++] = b;
    if (have_ < 7) return {};
    have_ = 0;
    if (frame_[1] != kInitAddress) return {};
    const auto v = static_cast<std::uint16_t>(frame_[3] << 8 | frame_[4]);
    if (frame_[2] == kProgressIndex) return {InitEvent::Kind::Progress, v};
    if (frame_[2] == kFinalIndex) {
        done_ = true;
        return {InitEvent::Kind::Final, v};
    }
    return {};
}

std::size_t InitFrameParser::Feed(const std::uint8_t* bytes, std::size_t count, std::vector<InitEvent>& events) {
    std::size_t taken = 0;
    while (taken < count && !done_) {
        const auto e = Feed(bytes[taken++]);
        if (e.kind != InitEvent::Kind::None) events.push_back(e);
    }
    return taken;
}

StreamEvent RecordStreamParser::Feed(std::uint8_t b) {
    if (over_) return {};
    if (have_ == 0) {
        record_ = OscillogramRecord{};
        record_.marker = b;
        if (b != kRecordMarker) {
            over_ = true;
            return {StreamEvent::Kind::WrongMarker, record_};
        }
        have_ = 1;
        return {};
    }
    record_.data[static_cast<std::size_t>(have_ - 1)] = b;
    if (++have_ < RecordSize(mode32_)) return {};
    have_ = 0;
    if (record_.IsEnd(mode32_)) {
        over_ = true;
        return {StreamEvent::Kind::End, record_};
    }
    return {StreamEvent::Kind::Record, record_};
}

std::size_t RecordStreamParser::Feed(const std::uint8_t* bytes, std::size_t count, std::vector<StreamEvent>& events) {
    std::size_t taken = 0;
    while (taken < count && !over_) {
        const auto e = Feed(bytes[taken++]);
        if (e.kind != StreamEvent::Kind::None) events.push_back(e);
    }
    return taken;
}

}  // namespace tovrel
