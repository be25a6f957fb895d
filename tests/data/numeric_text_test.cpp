#include "data/numeric_text.h"

#include <gtest/gtest.h>

namespace lomi {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberIgnoringBlanks) {
    EXPECT_EQ(NumericValue("05"), 5);
    EXPECT_EQ(NumericValue(" 5"), 5);
    EXPECT_EQ(NumericValue("5 "), 5);
    EXPECT_EQ(NumericValue("1 2"), 12);
    EXPECT_EQ(NumericValue("\t3"), 3);
    EXPECT_EQ(NumericValue("1A"), 1);
    EXPECT_EQ(NumericValue("-5"), -5);
    EXPECT_EQ(NumericValue("2.5"), 2.5);
    EXPECT_EQ(NumericValue("1e3x"), 1000);
    EXPECT_EQ(NumericValue("1e"), 1);
    EXPECT_EQ(NumericValue(".5"), 0.5);
}

TEST(NumericValue, TextWithoutALeadingNumberIsZero) {
    for (const char* text : {"", "  ", "--", "----", "A1", "abc", "-", ".", "+.e5", "全"}) {
        EXPECT_EQ(NumericValue(text), 0) << text;
    }
}

TEST(NumericValue, HugeNumbersStayFinite) {
    EXPECT_GT(NumericValue("1e999"), 1e300);
    EXPECT_LT(NumericValue("-1e999"), -1e300);
}

TEST(ToInt16, RoundsHalvesToEvenAndRejectsOutOfRange) {
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(-2.5), -2);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(-32768), -32768);
    EXPECT_FALSE(ToInt16(32767.5).has_value());
    EXPECT_FALSE(ToInt16(99999).has_value());
    EXPECT_FALSE(ToInt16(-40000).has_value());
}

TEST(IsWholeNumberText, AllowsBlanksAroundOnly) {
    EXPECT_TRUE(IsWholeNumberText("   5"));
    EXPECT_TRUE(IsWholeNumberText("2001 "));
    EXPECT_TRUE(IsWholeNumberText("-3.5"));
    EXPECT_FALSE(IsWholeNumberText("5a"));
    EXPECT_FALSE(IsWholeNumberText("    "));
    EXPECT_FALSE(IsWholeNumberText("ab"));
    EXPECT_FALSE(IsWholeNumberText("年"));
}

}  // namespace
}  // namespace lomi
