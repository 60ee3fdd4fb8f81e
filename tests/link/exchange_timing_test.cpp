// The exchange on a line of virtual time: replies that come late, split,
// garbled, not at all, with stale bytes between them. Whatever the line does,
// a value is only ever taken from the reply to its own request.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Dataextractor.h"
#include "RecordingScreen.h"
#include "VirtualLinePort.h"

namespace tovrel::test {
namespace {

using Us = VirtualLinePort::Us;
constexpr Us kMs = 1000;

// What the device holds at each address and index: a different value for
// each, so that a reply taken for the wrong request shows.
std::int16_t DeviceValue(std::uint8_t address, std::uint8_t index) {
    return static_cast<std::int16_t>((address * 257 + index * 31 + 17) & 0x7FFF);
}

std::vector<std::uint8_t> ReplyTo(const std::vector<std::uint8_t>& request) {
    std::vector<std::uint8_t> r(7);
    if (request[0] == 0xAA) {
        for (int i = 0; i < 7; ++i) r[i] = static_cast<std::uint8_t>(~request[i]);
        return r;
    }
    const auto v = static_cast<std::uint16_t>(DeviceValue(request[1], request[2]));
    r = {0x55, request[1], request[2], static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v & 0xFF), 0, 0};
    r[5] = static_cast<std::uint8_t>(~r[3]);
    r[6] = static_cast<std::uint8_t>(~r[4]);
    return r;
}

// A device whose transmitter sends one byte at a time: a reply never starts
// before the one before it has gone out.
class Device {
public:
    explicit Device(VirtualLinePort& port) : port_(port) {}
    // Sends `bytes` from `at` on, or once the transmitter is free.
    void Send(Us at, const std::vector<std::uint8_t>& bytes) {
        at = std::max(at, free_at_);
        port_.Deliver(at, bytes);
        free_at_ = at + VirtualLinePort::kByteUs * static_cast<Us>(bytes.size());
    }

private:
    VirtualLinePort& port_;
    Us free_at_ = 0;
};

class ExchangeTimingTest : public ::testing::Test {
protected:
    ExchangeTimingTest() {
        auto p = std::make_unique<VirtualLinePort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        device = std::make_unique<Device>(*port);
    }
    // Answers every request `latency` after it, unless `delay_of` says
    // otherwise for the n-th request.
    void AnswerAfter(Us latency, std::function<Us(int n)> delay_of = {}) {
        port->on_request = [this, latency, delay_of](const std::vector<std::uint8_t>& request) {
            const int n = requests++;
            const Us delay = delay_of ? delay_of(n) : latency;
            if (delay >= 0) device->Send(port->now() + delay, ReplyTo(request));
        };
    }
    std::int16_t Read(std::uint8_t address, std::uint8_t index) {
        return link->UARTdataExchangeForTovrel(ExchangeOp::Read, address, index, 100, true, 2);
    }

    RecordingScreen screen;
    VirtualLinePort* port;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<Device> device;
    int requests = 0;
};

// A device busy once, whose reply comes well after the first byte's timeout
// (and after the retry's drain): the retry takes it, since it answers the
// same request; its own reply is thrown away before the next request, so
// every later read gets its own value.
TEST_F(ExchangeTimingTest, OneLateReplyShiftsNothing) {
    for (Us late : {2100 * kMs, 2600 * kMs, 3000 * kMs, 4500 * kMs}) {
        SCOPED_TRACE(late / kMs);
        requests = 0;
        AnswerAfter(20 * kMs, [&](int n) { return n == 3 ? late : 20 * kMs; });
        screen.Clear();
        for (std::uint8_t i = 0; i < 12; ++i) {
            const auto v = Read(1, i);
            // Later than both attempts' waits, the busy request fails; no
            // other does, and none takes another's value.
            if (i == 3 && late > 2 * kExchangeTimeoutMs * kMs) {
                EXPECT_FALSE(link->LastExchangeOk());
                continue;
            }
            ASSERT_TRUE(link->LastExchangeOk()) << "point " << int(i);
            EXPECT_EQ(v, DeviceValue(1, i)) << "point " << int(i);
        }
        EXPECT_FALSE(link->LineSilent());
        EXPECT_LE(screen.messages.size(), 1u);
    }
}

// A line whose every reply comes just after the timeout: three exchanges in
// a row end the procedures, with one message that says the device answers
// late, well within 15 s; no value taken is another request's.
TEST_F(ExchangeTimingTest, ConstantLatencyEndsTheProcedureQuicklyAndSaysItIsLate) {
    for (Us latency : {2300 * kMs, 2400 * kMs, 4000 * kMs}) {
        SCOPED_TRACE(latency / kMs);
        auto p = std::make_unique<VirtualLinePort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        device = std::make_unique<Device>(*port);
        screen.Clear();
        AnswerAfter(latency);
        const Us start = port->now();
        std::uint8_t i = 0;
        for (; i < 80 && !link->LineSilent(); ++i) {
            const auto v = Read(2, i);
            if (link->LastExchangeOk()) {
                EXPECT_EQ(v, DeviceValue(2, i)) << "point " << int(i);
            }
        }
        EXPECT_EQ(i, kSilentExchangeLimit);
        // Just above the timeout the read ends within 15 s; later, within
        // the three exchanges' waits for their owed replies.
        EXPECT_LT(port->now() - start, (latency < 2500 * kMs ? 15000 : 3 * (2000 + kLateReplyLimitMs)) * kMs);
        link->ReportLineSilent();
        ASSERT_FALSE(screen.messages.empty());
        EXPECT_EQ(screen.messages.back(), Tr(kLineLateMessage));
        EXPECT_LE(screen.messages.size(), 2u);
    }
}

// The invariant under a line that does everything at random: replies on
// time, slow, late past the timeout, split with gaps, garbled, missing, and
// junk bytes in between. Writes are confirmed only by their own complement,
// so reads carry the risk; both are mixed.
TEST_F(ExchangeTimingTest, AValueIsOnlyEverTakenFromTheReplyToItsOwnRequest) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        SCOPED_TRACE(seed);
        auto p = std::make_unique<VirtualLinePort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        device = std::make_unique<Device>(*port);
        std::mt19937 rng(seed);
        auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
        auto between = [&](Us lo, Us hi) { return lo + static_cast<Us>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        port->on_request = [&](const std::vector<std::uint8_t>& request) {
            auto reply = ReplyTo(request);
            const Us now = port->now();
            // Noise on the line: junk bytes at any time, into a reply too.
            if (chance(4)) {
                std::vector<std::uint8_t> junk(between(1, 12));
                for (auto& b : junk) b = static_cast<std::uint8_t>(rng());
                port->Deliver(now + between(0, 3000) * kMs, junk);
            }
            const int fate = static_cast<int>(rng() % 100);
            if (fate < 55) {
                device->Send(now + between(2, 60) * kMs, reply);
            } else if (fate < 63) {
                device->Send(now + between(500, 1990) * kMs, reply);  // slow, still in time
            } else if (fate < 78) {
                // Late past the timeout, but within the limit a reply may take.
                device->Send(now + between(2000, kLateReplyLimitMs - 100) * kMs, reply);
            } else if (fate < 85) {
                // Nothing comes.
            } else if (fate < 92) {
                reply[3 + rng() % 4] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
                device->Send(now + between(2, 2500) * kMs, reply);
            } else {
                // Split, the halves apart by up to three seconds.
                const auto cut = 1 + rng() % 6;
                const Us first = now + between(2, 1500) * kMs;
                device->Send(first, {reply.begin(), reply.begin() + cut});
                device->Send(first + between(0, 3000) * kMs, {reply.begin() + cut, reply.end()});
            }
        };
        int ok = 0;
        for (int n = 0; n < 300; ++n) {
            const auto address = static_cast<std::uint8_t>(1 + rng() % 8);
            const auto index = static_cast<std::uint8_t>(rng() % 80);
            if (chance(25)) {
                const auto value = static_cast<std::int16_t>(rng() & 0x7FFF);
                const auto r = link->UARTdataExchangeForTovrel(ExchangeOp::Write, address, index, value, false, 2);
                if (link->LastExchangeOk()) {
                    ++ok;
                    EXPECT_EQ(r, value) << "write " << n;
                }
            } else {
                const auto r = link->UARTdataExchangeForTovrel(ExchangeOp::Read, address, index, 100, false, 2);
                if (link->LastExchangeOk()) {
                    ++ok;
                    ASSERT_EQ(r, DeviceValue(address, index))
                        << "read " << n << " of " << int(address) << "/" << int(index) << " took another reply";
                }
            }
        }
        // The line is bad, not dead: most exchanges still get through.
        EXPECT_GT(ok, 150);
    }
}

// An unplugged device ends the exchange at once with one message naming it,
// and the connection shows as gone.
TEST_F(ExchangeTimingTest, VanishedDeviceIsNamedAndDisconnects) {
    AnswerAfter(20 * kMs);
    screen.Clear();
    link->ShowConnectionState(state::Connected);
    link->DeviceConnected = true;
    DeviceLink::LineHold hold(*link);
    EXPECT_EQ(Read(1, 0), DeviceValue(1, 0));
    port->gone = true;
    EXPECT_EQ(Read(1, 1), 0);
    EXPECT_FALSE(link->LastExchangeOk());
    EXPECT_TRUE(link->LineSilent());
    EXPECT_FALSE(link->DeviceConnected);
    EXPECT_EQ(link->ConnectionState(), state::Disconnected);
    link->ReportLineSilent();
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kDeviceGoneMessage))});
    EXPECT_FALSE(port->IsOpen());
}

}  // namespace
}  // namespace tovrel::test
