// The initialisation and record parsers, fed the same bytes one at a time and
// in runs of every length: both deliveries must give the same events, and
// the events must be what the bytes say.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ScopeStream.h"

namespace tovrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t a, std::uint8_t i, std::uint16_t v) {
    auto hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v & 0xFF);
    return {0xAA, a, i, hi, lo, static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)};
}
Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct InitResult {
    std::vector<std::pair<InitEvent::Kind, std::uint16_t>> events;
    std::size_t taken = 0;
    bool done = false;
    bool operator==(const InitResult&) const = default;
};
struct StreamResult {
    std::vector<std::tuple<StreamEvent::Kind, std::uint8_t, std::array<std::uint8_t, 5>>> events;
    std::size_t taken = 0;
    bool over = false;
    bool operator==(const StreamResult&) const = default;
};

// Runs of `run` bytes (0: one byte at a time through the single-byte feed).
InitResult ParseInit(const Bytes& in, std::size_t run) {
    InitFrameParser p;
    InitResult r;
    std::vector<InitEvent> events;
    if (run == 0) {
        for (auto b : in) {
            if (p.Done()) break;
            ++r.taken;
            const auto e = p.Feed(b);
            if (e.kind != InitEvent::Kind::None) events.push_back(e);
        }
    } else {
        for (std::size_t at = 0; at < in.size() && !p.Done(); at += run)
            r.taken += p.Feed(in.data() + at, std::min(run, in.size() - at), events);
    }
    for (const auto& e : events) r.events.emplace_back(e.kind, e.step);
    r.done = p.Done();
    return r;
}

StreamResult ParseStream(const Bytes& in, bool mode32, std::size_t run) {
    RecordStreamParser p(mode32);
    StreamResult r;
    std::vector<StreamEvent> events;
    if (run == 0) {
        for (auto b : in) {
            if (p.Over()) break;
            ++r.taken;
            const auto e = p.Feed(b);
            if (e.kind != StreamEvent::Kind::None) events.push_back(e);
        }
    } else {
        for (std::size_t at = 0; at < in.size() && !p.Over(); at += run)
            r.taken += p.Feed(in.data() + at, std::min(run, in.size() - at), events);
    }
    for (const auto& e : events) r.events.emplace_back(e.kind, e.record.marker, e.record.data);
    r.over = p.Over();
    return r;
}

TEST(InitFrameParser, SkipsWhatIsNotAnInitialisationFrame) {
    using K = InitEvent::Kind;
    struct Case {
        const char* name;
        Bytes in;
        InitResult want;
    };
    const Case cases[] = {
        {"progress then final", Join({Frame(0x88, 2, 1), Frame(0x88, 2, 2), Frame(0x88, 3, 300)}),
         {{{K::Progress, 1}, {K::Progress, 2}, {K::Final, 300}}, 21, true}},
        {"stray bytes before a frame", Join({{0x13, 0x55, 0x00}, Frame(0x88, 3, 4)}), {{{K::Final, 4}}, 10, true}},
        // A frame of another address or index is skipped whole, even when an
        // 0xAA sits inside it.
        {"other address", Join({Frame(0x87, 3, 0xAAAA), Frame(0x88, 3, 5)}), {{{K::Final, 5}}, 14, true}},
        {"other index", Join({Frame(0x88, 7, 9), Frame(0x88, 0xAA, 9), Frame(0x88, 3, 6)}),
         {{{K::Final, 6}}, 21, true}},
        {"check bytes are not tested", Bytes{0xAA, 0x88, 0x03, 0x01, 0x02, 0x00, 0x00}, {{{K::Final, 258}}, 7, true}},
        {"bytes after the final frame are not taken", Join({Frame(0x88, 3, 1), Frame(0x88, 2, 2)}),
         {{{K::Final, 1}}, 7, true}},
        {"a frame cut short", Bytes{0xAA, 0x88, 0x03, 0x00}, {{}, 4, false}},
        {"nothing", Bytes{}, {{}, 0, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t run : {0u, 1u, 2u, 3u, 7u, 64u}) {
            SCOPED_TRACE(run);
            EXPECT_EQ(ParseInit(c.in, run), c.want);
        }
    }
}

TEST(InitFrameParser, InFrameOnlyBetweenTheMarkerAndTheSeventhByte) {
    InitFrameParser p;
    EXPECT_FALSE(p.InFrame());
    p.Feed(0x13);
    EXPECT_FALSE(p.InFrame());
    p.Feed(0xAA);
    EXPECT_TRUE(p.InFrame());
    for (std::uint8_t b : {0x88, 0x02, 0x00, 0x01, 0xFF}) p.Feed(b);
    EXPECT_TRUE(p.InFrame());
    EXPECT_EQ(p.Feed(0xFE).kind, InitEvent::Kind::Progress);
    EXPECT_FALSE(p.InFrame());
    p.Feed(0xAA);
    p.Reset();
    EXPECT_FALSE(p.InFrame());
}

TEST(RecordStreamParser, RecordsEndRecordAndWrongMarker) {
    using K = StreamEvent::Kind;
    struct Case {
        const char* name;
        bool mode32;
        Bytes in;
        StreamResult want;
    };
    const Case cases[] = {
        {"16-bit records then the end", false, {0xAA, 0x85, 0x01, 0x2C, 0xAA, 0x05, 0xFF, 0xFF, 0xAA, 0xFF, 0, 0},
         {{{K::Record, 0xAA, {0x85, 1, 0x2C, 0, 0}}, {K::Record, 0xAA, {5, 0xFF, 0xFF, 0, 0}},
           {K::End, 0xAA, {0xFF, 0, 0, 0, 0}}},
          12, true}},
        {"32-bit records then the end", true, {0xAA, 0x05, 0, 1, 0x86, 0xA0, 0xAA, 0xFF, 0, 0, 0, 0, 0xAA},
         {{{K::Record, 0xAA, {5, 0, 1, 0x86, 0xA0}}, {K::End, 0xAA, {0xFF, 0, 0, 0, 0}}}, 12, true}},
        // In 32-bit mode FF 00 00 is an end record only when B3 and B4 are 0.
        {"32-bit FF 00 00 with a length", true, {0xAA, 0xFF, 0, 0, 0, 1},
         {{{K::Record, 0xAA, {0xFF, 0, 0, 0, 1}}}, 6, false}},
        {"wrong marker at once", false, {0x55, 0xAA, 0, 0}, {{{K::WrongMarker, 0x55, {}}}, 1, true}},
        {"wrong marker after a record", false, {0xAA, 1, 2, 3, 0x00, 0xAA},
         {{{K::Record, 0xAA, {1, 2, 3, 0, 0}}, {K::WrongMarker, 0x00, {}}}, 5, true}},
        {"a record cut short", true, {0xAA, 1, 2, 3}, {{}, 4, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t run : {0u, 1u, 2u, 3u, 5u, 64u}) {
            SCOPED_TRACE(run);
            EXPECT_EQ(ParseStream(c.in, c.mode32, run), c.want);
        }
    }
}

TEST(ScopeParsers, RandomRunsGiveWhatSingleBytesGive) {
    // Streams of whole records with stray bytes and cut records, delivered in
    // random runs.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        Bytes in;
        const int n = static_cast<int>(rng() % 40);
        for (int k = 0; k < n; ++k) {
            switch (rng() % 6) {
                case 0: in.push_back(static_cast<std::uint8_t>(rng())); break;
                case 1: in.insert(in.end(), {0xAA, 0xFF, 0, 0, 0, 0}); break;
                default: {
                    const auto f = Frame(rng() % 4 ? 0x88 : 0x87, static_cast<std::uint8_t>(rng() % 5),
                                         static_cast<std::uint16_t>(rng()));
                    in.insert(in.end(), f.begin(), f.begin() + static_cast<long>(rng() % 8 == 0 ? 3 : 7));
                }
            }
        }
        const auto init = ParseInit(in, 0);
        const auto s16 = ParseStream(in, false, 0);
        const auto s32 = ParseStream(in, true, 0);
        std::size_t at = 0;
        InitFrameParser ip;
        RecordStreamParser p16(false), p32(true);
        std::vector<InitEvent> ie;
        std::vector<StreamEvent> e16, e32;
        std::size_t t_init = 0, t16 = 0, t32 = 0;
        while (at < in.size()) {
            const std::size_t run = std::min<std::size_t>(1 + rng() % 9, in.size() - at);
            t_init += ip.Feed(in.data() + at, run, ie);
            t16 += p16.Feed(in.data() + at, run, e16);
            t32 += p32.Feed(in.data() + at, run, e32);
            at += run;
        }
        ASSERT_EQ(ie.size(), init.events.size());
        ASSERT_EQ(e16.size(), s16.events.size());
        ASSERT_EQ(e32.size(), s32.events.size());
        EXPECT_EQ(t_init, init.taken);
        EXPECT_EQ(t16, s16.taken);
        EXPECT_EQ(t32, s32.taken);
        for (std::size_t k = 0; k < ie.size(); ++k) EXPECT_EQ(ie[k].step, init.events[k].second);
        for (std::size_t k = 0; k < e16.size(); ++k) EXPECT_EQ(e16[k].record.data, std::get<2>(s16.events[k]));
        for (std::size_t k = 0; k < e32.size(); ++k) EXPECT_EQ(e32[k].record.data, std::get<2>(s32.events[k]));
    }
}

}  // namespace
}  // namespace tovrel::test
