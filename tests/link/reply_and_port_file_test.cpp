// The exchange's judgement of a reply and the remembered-port text, without
// a port or a file.
#include <gtest/gtest.h>

#include <string>

#include "Dataextractor.h"

namespace tovrel::test {
namespace {

TEST(JudgeReply, ChecksThenConfirmationThenEcho) {
    const std::uint8_t write_req[7] = {0xAA, 0x07, 0x00, 0x12, 0x34, 0xED, 0xCB};
    const std::uint8_t read_req[7] = {0x55, 0x07, 0x00, 0x03, 0xE8, 0xFC, 0x17};
    struct Case {
        const char* name;
        ExchangeOp op;
        const std::uint8_t* request;
        std::uint8_t reply[7];
        ReplyVerdict want;
    };
    const Case cases[] = {
        {"confirmed write", ExchangeOp::Write, write_req, {0x55, 0xF8, 0xFF, 0xED, 0xCB, 0x12, 0x34},
         ReplyVerdict::Accepted},
        {"echoed write", ExchangeOp::Write, write_req, {0xAA, 0x07, 0x00, 0x12, 0x34, 0xED, 0xCB}, ReplyVerdict::Echo},
        // Checks pass but one header byte is not the complement.
        {"write answered otherwise", ExchangeOp::Write, write_req, {0x55, 0xF8, 0xFE, 0xED, 0xCB, 0x12, 0x34},
         ReplyVerdict::Other},
        {"write with bad checks", ExchangeOp::Write, write_req, {0x55, 0xF8, 0xFF, 0xED, 0xCB, 0x12, 0x35},
         ReplyVerdict::BadCheck},
        {"read: only the checks count", ExchangeOp::Read, read_req, {0x01, 0x02, 0x03, 0xFF, 0x38, 0x00, 0xC7},
         ReplyVerdict::Accepted},
        {"read with bad checks", ExchangeOp::Read, read_req, {0x55, 0x07, 0x00, 0xFF, 0x38, 0x00, 0xC8},
         ReplyVerdict::BadCheck},
        // Nothing came: a zeroed reply fails its checks.
        {"nothing", ExchangeOp::Read, read_req, {0, 0, 0, 0, 0, 0, 0}, ReplyVerdict::BadCheck},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint8_t request[7];
        std::copy_n(c.request, 7, request);
        EXPECT_EQ(JudgeReply(c.op, request, c.reply), c.want);
    }
}

TEST(DefaultPortScanner, RunsOfAnyLengthReadTheSamePort) {
    const std::string label = "\xCD\xEE\xEC\xE5\xF0 COM-\xEF\xEE\xF0\xF2\xE0 \xEF\xEE \xF3\xEC\xEE\xEB\xF7\xE0\xED\xE8\xFE: ";
    struct Case {
        std::string text;
        std::optional<std::uint8_t> want;
    };
    const Case cases[] = {
        {label + "3    \r\n", 3},
        {label + "300", 44},
        {label + "-1\r\n", 255},
        {"a\tb\vc\fd\r\n+17", 17},
        {label + std::string(60, '0') + "7\r\n", 7},  // leading zeros of any count
        {label + "12abc", 12},
        {label, std::nullopt},
        {"a b c", std::nullopt},
        {label + "x1", std::nullopt},
        {label + "99999999999999999999999", std::nullopt},
        {std::string(20000, 'w') + " b c d 9", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 50));
        EXPECT_EQ(ParseDefaultPortText(c.text), c.want);
        for (std::size_t run : {1u, 2u, 5u, 33u}) {
            DefaultPortScanner scanner;
            for (std::size_t at = 0; at < c.text.size() && !scanner.Done(); at += run)
                scanner.Feed(c.text.data() + at, std::min(run, c.text.size() - at));
            EXPECT_EQ(scanner.Port(), c.want) << run;
        }
    }
}

TEST(DefaultPortScanner, StopsTakingAfterTheNumbersWord) {
    DefaultPortScanner scanner;
    const std::string text = "a b c d 5 and more words";
    EXPECT_EQ(scanner.Feed(text.data(), text.size()), 10u);  // up to the blank after "5"
    EXPECT_TRUE(scanner.Done());
    EXPECT_EQ(scanner.Port(), 5);
}

}  // namespace
}  // namespace tovrel::test
