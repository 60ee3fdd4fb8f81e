#include <gtest/gtest.h>

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
    }
    SetDecimalSeparator('.');
}

TEST(NumberText, ParsingRefusesWhatIsNotANumber) {
    SetDecimalSeparator(',');
    EXPECT_FALSE(ParseGeneral("9.5"));  // the other separator
    EXPECT_EQ(ParseGeneral(" -9,5 "), -9.5);
    SetDecimalSeparator('.');
    for (const char* bad : {"", " ", "abc", "1x", "1..2", "--1"}) EXPECT_FALSE(ParseGeneral(bad)) << bad;
    EXPECT_EQ(ParseInteger(" 25 "), 25);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char* bad : {"", "2.5", "abc", "99999999999"}) EXPECT_FALSE(ParseInteger(bad)) << bad;
    EXPECT_EQ(NotAnIntegerMessage("x"), "'x' is not a valid integer value");
}

}  // namespace
}  // namespace tovrel
