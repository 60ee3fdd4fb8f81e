// The image bytes taken in runs of any length, and the judgement of the
// loader's words and packet answers, without a file or a port.
#include <gtest/gtest.h>

#include <numeric>

#include "FirmwareImage.h"
#include "LoaderLink.h"

namespace tovrel::test {
namespace {

TEST(ImageFill, RunsOfAnyLengthKeepTheFirstBufferfulAndCountTheRest) {
    for (std::size_t total : {std::size_t{0}, std::size_t{3}, std::size_t{FirmwareImageCapacity},
                              std::size_t{FirmwareImageCapacity} + 1, std::size_t{FirmwareImageCapacity} * 2 + 5}) {
        std::vector<std::uint8_t> bytes(total);
        for (std::size_t k = 0; k < total; ++k) bytes[k] = static_cast<std::uint8_t>(k * 7 + k / 256);
        for (std::size_t run : {std::size_t{1}, std::size_t{1000}, std::size_t{4096}, std::size_t{300000}}) {
            SCOPED_TRACE(testing::Message() << total << " bytes in runs of " << run);
            FirmwareImage image;
            image.bytes.assign(FirmwareImageCapacity, 0xEE);
            ImageFill fill(image);
            for (std::size_t at = 0; at < total; at += run) fill.Feed(bytes.data() + at, std::min(run, total - at));
            fill.Finish();
            const std::size_t kept = std::min<std::size_t>(total, FirmwareImageCapacity);
            EXPECT_EQ(fill.Total(), total);
            EXPECT_EQ(image.size, kept);
            EXPECT_EQ(fill.TooLong(), total > FirmwareImageCapacity);
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + static_cast<long>(kept), image.bytes.begin()));
            EXPECT_EQ(image.bytes.size(), FirmwareImageCapacity);
            if (kept < FirmwareImageCapacity) {
                EXPECT_EQ(image.bytes[kept], 0xEE);
            }
        }
    }
}

TEST(JudgeWordAnswer, ReadOutcomeFirstThenTheWord) {
    struct Case {
        const char* name;
        TransferResult read;
        std::uint32_t word;
        std::optional<std::uint32_t> refused;
        WordAnswer want;
    };
    const std::uint32_t accepted = ~std::uint32_t{4096};
    const Case cases[] = {
        {"failed call, even with the right word", {false, 4}, accepted, 4096u, WordAnswer::NoAnswer},
        {"short read, even with the right word", {true, 3}, accepted, 4096u, WordAnswer::Short},
        {"accepted", {true, 4}, accepted, 4096u, WordAnswer::Accepted},
        {"refused", {true, 4}, 4096, 4096u, WordAnswer::Refused},
        {"anything else", {true, 4}, 5, 4096u, WordAnswer::Wrong},
        {"no refusal word for this stage", {true, 4}, 4096, std::nullopt, WordAnswer::Wrong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeWordAnswer(c.read, c.word, accepted, c.refused), c.want);
    }
}

TEST(ConfirmedPacketBytes, CountsComplementedBytesOnly) {
    std::vector<std::uint8_t> sent(16);
    std::iota(sent.begin(), sent.end(), std::uint8_t{0xF0});
    std::vector<std::uint8_t> answer(16);
    for (std::size_t k = 0; k < 16; ++k) answer[k] = static_cast<std::uint8_t>(~sent[k]);
    EXPECT_EQ(ConfirmedPacketBytes(sent.data(), answer.data(), 16), 16u);
    answer[3] = sent[3];   // echoed, not complemented
    answer[15] ^= 0x01;
    EXPECT_EQ(ConfirmedPacketBytes(sent.data(), answer.data(), 16), 14u);
    EXPECT_EQ(ConfirmedPacketBytes(sent.data(), answer.data(), 3), 3u);
    EXPECT_EQ(ConfirmedPacketBytes(sent.data(), answer.data(), 0), 0u);
}

}  // namespace
}  // namespace tovrel::test
