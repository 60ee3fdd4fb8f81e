// The oscillogram stream: initialisation frames, then records. Each parser
// fed one byte at a time (the start answer skipped between them) and in runs of the lengths the input chooses must
// report the same, and every record must make a well-formed file line.
#include <vector>

#include "FuzzSupport.h"
#include "OscillogramFile.h"
#include "ScopeStream.h"

using namespace tovrel;

namespace {

bool Same(const StreamEvent& a, const StreamEvent& b) {
    return a.kind == b.kind && a.record.marker == b.record.marker && a.record.data == b.record.data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t how = in.Byte();
    const bool mode32 = how & 1;
    const std::size_t run = 1 + (how >> 1) % 17;
    const std::uint8_t* bytes = in.Here();
    const std::size_t count = in.Left();

    InitFrameParser single, bulk;
    std::vector<InitEvent> single_events, bulk_events;
    std::size_t init_taken = 0;
    for (; init_taken < count && !single.Done(); ++init_taken) {
        const auto e = single.Feed(bytes[init_taken]);
        if (e.kind != InitEvent::Kind::None) single_events.push_back(e);
    }
    std::size_t bulk_taken = 0;
    for (std::size_t at = 0; at < count && !bulk.Done(); at += run)
        bulk_taken += bulk.Feed(bytes + at, std::min(run, count - at), bulk_events);
    FUZZ_CHECK(init_taken == bulk_taken);
    FUZZ_CHECK(single_events.size() == bulk_events.size());
    for (std::size_t k = 0; k < single_events.size(); ++k) {
        FUZZ_CHECK(single_events[k].kind == bulk_events[k].kind && single_events[k].step == bulk_events[k].step);
        // Only the last event may be the final one.
        FUZZ_CHECK((single_events[k].kind == InitEvent::Kind::Final) == (single.Done() && k + 1 == single_events.size()));
    }
    const std::uint16_t steps = single_events.empty() ? 0 : single_events.back().step;
    const auto head = HeadLine(steps);
    FUZZ_CHECK(head.size() >= 2 && head.substr(head.size() - 2) == "\r\n");

    // The answer to the start frame comes between them, seven bytes.
    const std::size_t answer = std::min<std::size_t>(7, count - init_taken);
    const std::uint8_t* stream = bytes + init_taken + answer;
    const std::size_t stream_count = count - init_taken - answer;
    RecordStreamParser one(mode32), many(mode32);
    std::vector<StreamEvent> one_events, many_events;
    std::size_t one_taken = 0;
    for (; one_taken < stream_count && !one.Over(); ++one_taken) {
        const auto e = one.Feed(stream[one_taken]);
        if (e.kind != StreamEvent::Kind::None) one_events.push_back(e);
    }
    std::size_t many_taken = 0;
    for (std::size_t at = 0; at < stream_count && !many.Over(); at += run)
        many_taken += many.Feed(stream + at, std::min(run, stream_count - at), many_events);
    FUZZ_CHECK(one_taken == many_taken);
    FUZZ_CHECK(one_events.size() == many_events.size());
    std::uint32_t number = 0;
    for (std::size_t k = 0; k < one_events.size(); ++k) {
        const auto& e = one_events[k];
        FUZZ_CHECK(Same(e, many_events[k]));
        if (e.kind == StreamEvent::Kind::Record) {
            FUZZ_CHECK(e.record.marker == kRecordMarker && !e.record.IsEnd(mode32));
            const auto line = RecordLine(number++, e.record, mode32);
            FUZZ_CHECK(line.size() > 2 && line.substr(line.size() - 2) == "\r\n");
            FUZZ_CHECK(line.find('\n') == line.size() - 1);
        } else {
            // The end record and a wrong marker end the stream.
            FUZZ_CHECK(k + 1 == one_events.size() && one.Over());
            if (e.kind == StreamEvent::Kind::WrongMarker) FUZZ_CHECK(e.record.marker != kRecordMarker);
        }
    }
    return 0;
}
