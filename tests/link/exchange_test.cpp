#include <gtest/gtest.h>

#include <chrono>

#include "Dataextractor.h"
#include "MockPort.h"
#include "RecordingScreen.h"

namespace tovrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kEcho =
    "UARTdataExchangeForTovrel: Вариатор сообщает о получении пакета с неверной контрольной суммой";
constexpr const char* kFinal =
    "UARTdataExchangeForTovrel: На запрос чтения или записи вариатор ответил пакетом(ами) с неверной контрольной "
    "суммой";

class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest() {
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
    }
    std::int16_t Exchange(ExchangeOp op, std::uint8_t a, std::uint8_t i, std::int16_t v, bool show = true,
                          std::int8_t attempts = 2) {
        return link->UARTdataExchangeForTovrel(op, a, i, v, show, attempts);
    }
    RecordingScreen screen;
    MockPort* port;
    std::unique_ptr<DeviceLink> link;
};

TEST_F(ExchangeTest, ReadTakesValueFromBytes3And4WhateverBytes0To2Hold) {
    port->replies.push_back({0x12, 0x34, 0x56, 0xFF, 0x38, 0x00, 0xC7});
    EXPECT_EQ(Exchange(ExchangeOp::Read, 1, 5, 100), -200);
    ASSERT_EQ(port->written.size(), 1u);
    EXPECT_EQ(port->written[0], (Bytes{0x55, 0x01, 0x05, 0x00, 0x64, 0xFF, 0x9B}));
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_TRUE(link->LastExchangeOk());
}

TEST_F(ExchangeTest, ConfirmedWriteIsOneAttemptAndReturnsTheValue) {
    port->replies.push_back({0x55, 0xF8, 0xFF, 0xED, 0xCB, 0x12, 0x34});
    EXPECT_EQ(Exchange(ExchangeOp::Write, 7, 0, 0x1234), 0x1234);
    ASSERT_EQ(port->written.size(), 1u);
    EXPECT_EQ(port->written[0], (Bytes{0xAA, 0x07, 0x00, 0x12, 0x34, 0xED, 0xCB}));
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeTest, EchoedWriteShowsEchoPerAttemptThenFinalMessage) {
    Bytes echo{0xAA, 0x07, 0x00, 0x12, 0x34, 0xED, 0xCB};
    port->replies = {echo, echo};
    EXPECT_EQ(Exchange(ExchangeOp::Write, 7, 0, 0x1234), 0x1234);
    EXPECT_EQ(port->written.size(), 2u);
    EXPECT_EQ(screen.messages, (std::vector<std::string>{kEcho, kEcho, kFinal}));
    EXPECT_FALSE(link->LastExchangeOk());
}

TEST_F(ExchangeTest, RetryAfterBadReplySucceedsWithoutMessages) {
    port->replies.push_back({0, 0, 0, 0x01, 0x02, 0x00, 0x00});  // bad complements
    port->replies.push_back({0, 0, 0, 0x01, 0x02, 0xFE, 0xFD});
    EXPECT_EQ(Exchange(ExchangeOp::Read, 3, 0, 1000), 0x0102);
    EXPECT_EQ(port->written.size(), 2u);
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeTest, FailuresAreSilentWithoutShowErrors) {
    Bytes echo{0xAA, 0x07, 0x00, 0x12, 0x34, 0xED, 0xCB};
    port->replies = {echo, {1, 2, 3, 4, 5, 6, 7}};
    Exchange(ExchangeOp::Write, 7, 0, 0x1234, false);
    Exchange(ExchangeOp::Read, 0, 0, 0, false, 3);  // no reply at all
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeTest, WriteReplyNeitherComplementNorCopyLeavesFlagAlone) {
    // Passes the value check, is neither the complement nor the echo.
    port->replies.push_back({0x00, 0x00, 0x00, 0x12, 0x34, 0xED, 0xCB});
    Exchange(ExchangeOp::Write, 7, 0, 0x1234, true, 1);
    EXPECT_TRUE(screen.messages.empty());
    EXPECT_FALSE(link->LastExchangeOk());
}

TEST_F(ExchangeTest, StaleInputIsDrainedAndNeverTakenForTheReply) {
    port->input = {0x55, 0xF8, 0xFF, 0x00, 0x01, 0xFF, 0xFE};  // looks like a reply of value 1
    port->replies.push_back({0, 0, 0, 0x00, 0x07, 0xFF, 0xF8});
    EXPECT_EQ(Exchange(ExchangeOp::Read, 0, 0, 0), 7);
}

TEST_F(ExchangeTest, SilentLineYieldsZeroNeverAnEarlierReply) {
    port->replies.push_back({0, 0, 0, 0x00, 0x02, 0xFF, 0xFD});
    EXPECT_EQ(Exchange(ExchangeOp::Read, 0, 0, 0, false, 1), 2);
    // Nothing answers the next call: it must not report mode 2 again, and it
    // says the device is silent rather than blaming a checksum.
    EXPECT_EQ(Exchange(ExchangeOp::Read, 0, 0, 0, true, 2), 0);
    EXPECT_FALSE(link->LastExchangeOk());
    EXPECT_TRUE(link->LastExchangeSilent());
    EXPECT_EQ(screen.messages, (std::vector<std::string>{std::string(Tr(kNoAnswerMessage))}));
    // Said once per silent stretch; the third silent exchange makes the line
    // count as silent for the procedures.
    EXPECT_FALSE(link->LineSilent());
    Exchange(ExchangeOp::Read, 0, 0, 0, true, 2);
    Exchange(ExchangeOp::Read, 0, 0, 0, true, 2);
    EXPECT_TRUE(link->LineSilent());
    EXPECT_EQ(screen.messages.size(), 1u);
}

// Replies cut short: the bytes that did come are no value, whatever the
// zeros of the missing bytes would make of the checks.
TEST_F(ExchangeTest, ShortOrMissingRepliesAreNeverTakenAsValues) {
    const std::vector<Bytes> replies = {
        {0x55, 0x01, 0x05, 0xFF, 0xFF},  // 0xFFFF would pass against zeros in bytes 5, 6
        {0x55},
        {0x55, 0x01, 0x05, 0x00, 0x07, 0xFF},
    };
    for (const auto& r : replies) {
        SCOPED_TRACE(r.size());
        // A fresh link each time: a run of bad replies gets its box once.
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        screen.Clear();
        port->replies = {r};
        Exchange(ExchangeOp::Read, 1, 5, 100, true, 1);
        EXPECT_FALSE(link->LastExchangeOk());
        EXPECT_FALSE(link->LastExchangeSilent());
        EXPECT_EQ(screen.messages, (std::vector<std::string>{kFinal}));
    }
}

// A line that fails the same way exchange after exchange: after three such
// exchanges in a row it counts as dead, with one box for the run (not one per
// exchange) and a closing message that names the kind of fault. An answer
// that only came after an attempt had timed out is late; the third late
// exchange is failed, its value not taken.
TEST_F(ExchangeTest, ThreeFailedExchangesInARowMakeTheLineDead) {
    const Bytes good{0, 0, 0, 0x00, 0x07, 0xFF, 0xF8};
    const Bytes garbled{0x13, 0x77, 0x02, 0x41, 0x99, 0x41, 0x99};
    struct Case {
        const char* name;
        std::vector<Bytes> attempts;  // the replies of one exchange's two attempts
        std::vector<std::string> boxes;
        std::string closing;
        std::vector<bool> ok;  // LastExchangeOk after exchanges 1, 2, 3
        std::vector<int> values;  // what they return (-1: not looked at)
    };
    const std::vector<Case> cases = {
        {"silent", {{}, {}}, {std::string(Tr(kNoAnswerMessage))}, Tr(kLineSilentMessage), {false, false, false}, {0, 0, 0}},
        {"garbled", {garbled, garbled}, {kFinal}, Tr(kLineGarbledMessage), {false, false, false}, {-1, -1, -1}},
        {"late", {{}, good}, {}, Tr(kLineLateMessage), {true, true, false}, {7, 7, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        screen.Clear();
        for (int n = 0; n < 3; ++n) {
            EXPECT_FALSE(link->LineSilent()) << "before exchange " << n + 1;
            for (const auto& r : c.attempts) port->replies.push_back(r);
            const auto v = Exchange(ExchangeOp::Read, 1, static_cast<std::uint8_t>(n), 0);
            EXPECT_EQ(link->LastExchangeOk(), c.ok[static_cast<std::size_t>(n)]) << "exchange " << n + 1;
            const int want = c.values[static_cast<std::size_t>(n)];
            if (want >= 0) {
                EXPECT_EQ(v, want) << "exchange " << n + 1;
            }
        }
        EXPECT_TRUE(link->LineSilent());
        EXPECT_EQ(screen.messages, c.boxes);
        link->ReportLineSilent();
        link->ReportLineSilent();  // once per run
        auto expected = c.boxes;
        expected.emplace_back(c.closing);
        EXPECT_EQ(screen.messages, expected);
    }
}

// One good first-attempt answer ends a run: the count starts again, and so
// does the box of the next bad run.
TEST_F(ExchangeTest, AGoodAnswerEndsARunOfFailedExchanges) {
    const Bytes good{0, 0, 0, 0x00, 0x07, 0xFF, 0xF8};
    const Bytes garbled{0x13, 0x77, 0x02, 0x41, 0x99, 0x41, 0x99};
    const std::vector<Bytes> script = {garbled, garbled, garbled, garbled, good, garbled, garbled, garbled, garbled};
    for (const auto& r : script) port->replies.push_back(r);
    Exchange(ExchangeOp::Read, 1, 0, 0);
    Exchange(ExchangeOp::Read, 1, 1, 0);
    EXPECT_EQ(Exchange(ExchangeOp::Read, 1, 2, 0), 7);
    EXPECT_FALSE(link->LineSilent());
    EXPECT_EQ(link->TroubledExchanges(), 0);
    Exchange(ExchangeOp::Read, 1, 3, 0);
    Exchange(ExchangeOp::Read, 1, 4, 0);
    EXPECT_FALSE(link->LineSilent());
    EXPECT_EQ(screen.messages, (std::vector<std::string>{kFinal, kFinal}));
}

// Inside a procedure a failed exchange's box waits for the end of its run:
// a run that ends short of a dead line shows it then, once; a run that makes
// the line dead leaves it to the line's own message.
TEST_F(ExchangeTest, InsideAProcedureOneBoxPerFailure) {
    const Bytes good{0, 0, 0, 0x00, 0x07, 0xFF, 0xF8};
    const Bytes garbled{0x13, 0x77, 0x02, 0x41, 0x99, 0x41, 0x99};
    {
        DeviceLink::LineHold hold(*link);
        port->replies = {garbled, garbled};
        Exchange(ExchangeOp::Read, 1, 0, 0);
        EXPECT_TRUE(screen.messages.empty());
        port->replies = {good};
        EXPECT_EQ(Exchange(ExchangeOp::Read, 1, 1, 0), 7);
        EXPECT_EQ(screen.messages, std::vector<std::string>{kFinal});
        // A failure at the very end shows its box when the procedure lets go.
        port->replies = {garbled, garbled};
        Exchange(ExchangeOp::Read, 1, 2, 0);
        EXPECT_EQ(screen.messages.size(), 1u);
    }
    EXPECT_EQ(screen.messages, (std::vector<std::string>{kFinal, kFinal}));
    screen.Clear();
    {
        DeviceLink::LineHold hold(*link);
        for (int n = 0; n < 3; ++n) {
            port->replies = {garbled, garbled};
            Exchange(ExchangeOp::Read, 1, static_cast<std::uint8_t>(n), 0);
        }
        ASSERT_TRUE(link->LineSilent());
        link->ReportLineSilent();
    }
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineGarbledMessage))});
}

TEST_F(ExchangeTest, ClosedPortReturnsZeroAtOnce) {
    port->open = false;
    EXPECT_EQ(Exchange(ExchangeOp::Write, 7, 0, 5), 0);
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeTest, FailedWritesLoseTheAttemptWithoutMessages) {
    port->fail_writes = true;
    EXPECT_EQ(Exchange(ExchangeOp::Write, 7, 0, 5), 0);
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(ExchangeTest, ReleasedPortDuringPumpEndsTheCallSafely) {
    port->replies.push_back({0, 0, 0, 0x00, 0x01, 0xFF, 0xFE});
    screen.on_pump = [&] { link->ReleasePort(); };
    EXPECT_EQ(Exchange(ExchangeOp::Read, 0, 0, 0, true, 2), 0);
}

}  // namespace
}  // namespace tovrel::test
