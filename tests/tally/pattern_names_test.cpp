#include "tally/pattern_names.h"

#include <gtest/gtest.h>

namespace lomi {
namespace {

TEST(BuildPatternFileMask, JoinsTheFourCodes) {
    EXPECT_EQ(BuildPatternFileMask(7, 1, 3, 1), "P*Q1RN.txt");
    EXPECT_EQ(BuildPatternFileMask(1, 5, 6, 2), "P*T5PB.txt");
    EXPECT_EQ(BuildPatternFileMask(1, 1, 1, 1), "P*T1TN.txt");
    EXPECT_EQ(BuildPatternFileMask(4, 3, 5, 2), "P*Z3WB.txt");
}

TEST(BuildPatternFileMask, OutOfRangeSelectionsGiveNothing) {
    EXPECT_FALSE(BuildPatternFileMask(0, 1, 3, 1));
    EXPECT_FALSE(BuildPatternFileMask(8, 1, 3, 1));
    EXPECT_FALSE(BuildPatternFileMask(7, 6, 3, 1));
    EXPECT_FALSE(BuildPatternFileMask(7, 1, -3, 1));
    EXPECT_FALSE(BuildPatternFileMask(7, 1, 3, 3));
}

TEST(ParsePatternCode, ReadsTheFourCharactersInEitherCase) {
    const auto q1rn = ParsePatternCode("Q1RN");
    ASSERT_TRUE(q1rn);
    EXPECT_EQ(q1rn->axisIndex, 7);
    EXPECT_EQ(q1rn->axisRank, 1);
    EXPECT_EQ(q1rn->partnerIndex, 3);
    EXPECT_EQ(q1rn->betStyle, 1);
    const auto t5pb = ParsePatternCode("t5pb");
    ASSERT_TRUE(t5pb);
    EXPECT_EQ(
        BuildPatternFileMask(t5pb->axisIndex, t5pb->axisRank, t5pb->partnerIndex, t5pb->betStyle),
        "P*T5PB.txt");
    for (const char* bad : {"", "Q1R", "Q1RNX", "X1RN", "Q0RN", "Q6RN", "Q1RX", "Q1R1", "QQRN"}) {
        EXPECT_FALSE(ParsePatternCode(bad)) << bad;
    }
}

TEST(PatternCode, RoundTripsEverySelection) {
    int count = 0;
    for (std::int16_t a = 1; a <= 7; ++a)
        for (std::int16_t r = 1; r <= 5; ++r)
            for (std::int16_t p = 1; p <= 7; ++p)
                for (std::int16_t s = 1; s <= 2; ++s) {
                    const auto code = PatternCode(a, r, p, s);
                    ASSERT_TRUE(code);
                    const auto back = ParsePatternCode(*code);
                    ASSERT_TRUE(back) << *code;
                    EXPECT_EQ(back->axisIndex, a);
                    EXPECT_EQ(back->axisRank, r);
                    EXPECT_EQ(back->partnerIndex, p);
                    EXPECT_EQ(back->betStyle, s);
                    ++count;
                }
    EXPECT_EQ(count, 490);
}

TEST(DescribePattern, WheelAndBoxJoiners) {
    EXPECT_EQ(DescribePattern("仮単人気", "１位", "Ｒ値", "流し", 1),
              "仮単人気の１位からＲ値への流し馬券");
    EXPECT_EQ(DescribePattern("Ｔ値", "２位", "Ｆ値", "ボックス", 2),
              "Ｔ値の２位とＦ値のボックス馬券");
    // Any value other than 1 takes the box joiners.
    EXPECT_EQ(DescribePattern("Ｔ値", "２位", "Ｆ値", "流し", 0), "Ｔ値の２位とＦ値の流し馬券");
    EXPECT_EQ(DescribeSelections(7, 1, 3, 1), "仮単人気の１位からＲ値への流し馬券");
    EXPECT_EQ(DescribeSelections(6, 5, 5, 2), "複勝人気の５位と単勝人気のボックス馬券");
    EXPECT_FALSE(DescribeSelections(7, 1, 3, 0));
}

TEST(PatternNames, ListsMatchTheirCodes) {
    EXPECT_EQ(IndexKindNames().size(), IndexKindCodes.size());
    EXPECT_EQ(BetStyleNames().size(), BetStyleCodes.size());
    EXPECT_EQ(AxisRankNames().size(), 5u);
    EXPECT_EQ(IndexKindNames()[4], "単勝人気");
    EXPECT_EQ(IndexKindNames()[6], "仮単人気");
    EXPECT_EQ(AxisRankNames()[4], "５位");
}

}  // namespace
}  // namespace lomi
