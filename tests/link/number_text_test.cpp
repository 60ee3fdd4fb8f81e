#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NumberText.h"

namespace tovrel {
namespace {

TEST(NumberText, GeneralFormWithEitherSeparator) {
    struct Case {
        char sep;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {'.', 9, "9"}, {'.', 9.5, "9.5"}, {'.', -2.5, "-2.5"}, {'.', 0.1 + 0.2, "0.3"},
        {'.', 9000.4, "9000.4"}, {'.', -120000, "-120000"}, {'.', -0.0, "0"}, {',', 9.5, "9,5"},
        {',', 36.4, "36,4"},
    };
    for (const auto& c : cases) {
        SetDecimalSeparator(c.sep);
        EXPECT_EQ(FormatGeneral(c.value), c.text);
        auto back = ParseGeneral(c.text);
        ASSERT_TRUE(back);
        EXPECT_EQ(FormatGeneral(*back), c.text);
        // A file's number keeps '.', whatever the screen shows.
        std::string file = c.text;
        for (auto& ch : file)
            if (ch == ',') ch = '.';
        EXPECT_EQ(FormatFileNumber(c.value), file);
    }
    SetDecimalSeparator('.');
}

TEST(NumberText, TypedNumbersTakeEitherSeparator) {
    for (const char sep : {'.', ','}) {
        SCOPED_TRACE(std::string("shown with '") + sep + "'");
        SetDecimalSeparator(sep);
        // "9,5" is never 9: both separators mean the decimal point.
        EXPECT_EQ(ParseGeneral("9,5"), 9.5);
        EXPECT_EQ(ParseGeneral(" -9.5 "), -9.5);
        EXPECT_EQ(ParseGeneral("+0,25"), 0.25);
        for (const char* bad : {"", " ", "abc", "1x", "1..2", "1,,2", "9,5.1", "1.000,5", "--1", ","})
            EXPECT_FALSE(ParseGeneral(bad)) << bad;
    }
    SetDecimalSeparator('.');
}

TEST(NumberText, ParsingRefusesWhatIsNotANumber) {
    EXPECT_EQ(ParseInteger(" 25 "), 25);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char* bad : {"", "2.5", "abc", "99999999999", "0x0E", "14abc", "1e1"})
        EXPECT_FALSE(ParseInteger(bad)) << bad;
    EXPECT_EQ(NotAnIntegerMessage("x"), "'x' is not a valid integer value");
}

TEST(NumberText, FileNumbersAreWholeDecimalNumbersWithEitherSeparator) {
    struct Case {
        std::string text;
        int shift;
        double value;
    };
    const Case accepted[] = {
        {"9000", -3, 9.0},
        {"9000.4", -3, 9.0004},  // scaled on the text: the double nearest to 9.0004
        {"9000,4", -3, 9.0004},  // written in a locale with a decimal comma
        {"-120000", -3, -120.0},
        {"1000000", -3, 1000.0},
        {"+250", -3, 0.25},
        {".5", -3, 0.0005},
        {",5", 0, 0.5},
        {"5.", 0, 5.0},
        {"0009000", -3, 9.0},
        {"  -1.5e3 \t\r\n", -3, -1.5},
        {"1E5", -3, 100.0},
        {"5,55111512312578e-14", 0, 5.55111512312578e-14},  // a tiny value as a comma locale writes it
        {"1e+20", 0, 1e20},
        {"1e311", -3, 1e308},  // in range only once scaled
        {"1e-400", -3, 0.0},   // below the smallest double: zero
        {"0e999999999999", 0, 0.0},
    };
    for (const char sep : {'.', ','}) {
        SetDecimalSeparator(sep);  // the user's separator plays no part
        for (const auto& c : accepted) {
            const auto n = ParseFileNumber(c.text, c.shift);
            EXPECT_TRUE(n) << c.text;
            EXPECT_EQ(n.value, c.value) << c.text;
        }
    }
    SetDecimalSeparator('.');
    const auto negative_zero = ParseFileNumber("-1e-400");
    ASSERT_TRUE(negative_zero);
    EXPECT_TRUE(std::signbit(negative_zero.value));

    using F = FileNumberFault;
    const std::pair<std::string, F> refused[] = {
        {"", F::NoNumber},           {"  ", F::NoNumber},          {"abc", F::NoNumber},
        {"inf", F::NoNumber},        {"-infinity", F::NoNumber},   {"nan", F::NoNumber},
        {"-", F::NoNumber},          {".", F::NoNumber},           {",e5", F::NoNumber},
        {"-.e5", F::NoNumber},       {"+-1", F::NoNumber},         {"\xE2\x88\x92" "5", F::NoNumber},  // U+2212 minus
        {"0x7fff", F::NotDecimal},   {"0X1A", F::NotDecimal},      {"5000abc", F::NotDecimal},
        {"5000 abc", F::NotDecimal}, {"9 000", F::NotDecimal},     {"9\xC2\xA0" "000", F::NotDecimal},
        {"1.000,5", F::NotDecimal},  {"1..2", F::NotDecimal},      {"9000.4.1", F::NotDecimal},
        {"1e", F::NotDecimal},       {"1e+", F::NotDecimal},       {"1e5.5", F::NotDecimal},
        {"1_000", F::NotDecimal},    {"9000;", F::NotDecimal},     {"1e999abc", F::NotDecimal},
        {"1e999", F::OutOfRange},    {"-1e999", F::OutOfRange},    {"0.1e400", F::OutOfRange},
        {"1" + std::string(400, '0'), F::OutOfRange},
    };
    for (const auto& [text, fault] : refused) {
        const auto n = ParseFileNumber(text, -3);
        EXPECT_FALSE(n) << text;
        EXPECT_EQ(static_cast<int>(n.fault), static_cast<int>(fault)) << text;
    }
}

}  // namespace
}  // namespace tovrel
