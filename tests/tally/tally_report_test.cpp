#include "tally/tally_report.h"
#include "tally/figures.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace lomi {
namespace {

constexpr const char* kHeader =
    "           投票      払戻      損益    回収率    的中率  平均配当\r\n";

TallyAccumulators WorkedExample() {
    TallyAccumulators t;
    t.WinPayout = 680;
    t.PlacePayout = 440;
    t.QuinellaPayout = 8600;
    t.WidePayout = 2720;
    t.WinHits = 2;
    t.PlaceHits = 3;
    t.QuinellaHits = 1;
    t.WideHits = 2;
    t.PairTickets = 12;
    t.ExtractedRaces = 5;
    return t;
}

// Line n (from 0) of a report, without its CR LF.
std::string Line(const std::string& report, int n) {
    std::size_t begin = 0;
    for (int i = 0; i < n; ++i) begin = report.find("\r\n", begin) + 2;
    return report.substr(begin, report.find("\r\n", begin) - begin);
}

TEST(BuildTallyReport, WorkedExampleByteForByte) {
    const std::string expected =
        "総ﾚｰｽ：6  抽出ﾚｰｽ：5\r\n"
        "\r\n" +
        std::string(kHeader) +
        "単勝        500       680       180   136.00%    40.00%       340\r\n"
        "複勝        500       440       -60    88.00%    60.00%       146\r\n"
        "連勝       1200      8600      7400   716.67%    20.00%      8600\r\n"
        "ﾜｲﾄﾞ       1200      2720      1520   226.67%    40.00%      1360\r\n";
    EXPECT_EQ(BuildTallyReport(6, WorkedExample()), expected);
}

TEST(BuildTallyReport, HeaderCaptionsEndAtTheirColumns) {
    // In a fixed-pitch font a full-width character takes two columns: every
    // caption ends at the right edge of its ten-column field after the
    // five-column label.
    const std::string header = kHeader;
    EXPECT_EQ(header.substr(0, 11), std::string(11, ' '));
    const std::vector<std::pair<std::string, int>> captions = {
        {"投票", 15}, {"払戻", 25}, {"損益", 35}, {"回収率", 45}, {"的中率", 55}, {"平均配当", 65}};
    int column = 0;
    std::size_t pos = 0;
    for (const auto& [caption, end] : captions) {
        const std::size_t found = header.find(caption, pos);
        ASSERT_NE(found, std::string::npos);
        column += static_cast<int>(found - pos);  // blanks before it, one column each
        column += static_cast<int>(caption.size() / 3 * 2);
        EXPECT_EQ(column, end) << caption;
        pos = found + caption.size();
    }
    EXPECT_EQ(Line(BuildTallyReport(1, {}), 2) + "\r\n", header);
}

TEST(BuildTallyReport, SixteenRunnersOrMoreVariant) {
    TallyAccumulators t;
    t.ExtractedRaces = 2;
    t.PairTickets = 6;
    t.WinPayout = 680;
    t.WinHits = 2;
    t.PlacePayout = 290;
    t.PlaceHits = 2;
    t.QuinellaPayout = 8600;
    t.QuinellaHits = 1;
    t.WidePayout = 2300;
    t.WideHits = 1;
    const std::string report = BuildTallyReport(6, t);
    EXPECT_EQ(Line(report, 0), "総ﾚｰｽ：6  抽出ﾚｰｽ：2");
    EXPECT_EQ(Line(report, 3), "単勝        200       680       480   340.00%   100.00%       340");
    EXPECT_EQ(Line(report, 5), "連勝        600      8600      8000  1433.33%    50.00%      8600");
}

TEST(BuildTallyReport, NoCountedRaceShowsZeros) {
    const std::string zeros = "         0         0         0     0.00%     0.00%         0";
    const std::string report = BuildTallyReport(7, {});
    EXPECT_EQ(Line(report, 0), "総ﾚｰｽ：7  抽出ﾚｰｽ：0");
    EXPECT_EQ(Line(report, 1), "");
    EXPECT_EQ(Line(report, 3), "単勝 " + zeros);
    EXPECT_EQ(Line(report, 4), "複勝 " + zeros);
    EXPECT_EQ(Line(report, 5), "連勝 " + zeros);
    EXPECT_EQ(Line(report, 6), "ﾜｲﾄﾞ " + zeros);
}

TEST(BuildTallyReport, PayoutWithoutTicketsHasNoRecoveryRate) {
    TallyAccumulators t;
    t.ExtractedRaces = 4;
    t.QuinellaPayout = 500;
    t.QuinellaHits = 1;
    const std::string report = BuildTallyReport(4, t);
    EXPECT_EQ(Line(report, 5), "連勝          0       500       500     0.00%    25.00%       500");
}

TEST(BuildTallyReport, EveryLineEndsWithCrLf) {
    const std::string report = BuildTallyReport(6, WorkedExample());
    int lines = 0;
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(report[i - 1], '\r');
            ++lines;
        } else if (report[i] == '\r') {
            ASSERT_LT(i + 1, report.size());
            EXPECT_EQ(report[i + 1], '\n');
        }
    }
    EXPECT_EQ(lines, 7);
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
}

TEST(BuildTallyReport, LongColumnsAreNeverCut) {
    TallyAccumulators t;
    t.ExtractedRaces = 30000000;
    t.WinPayout = 12345678901;  // eleven characters
    t.WinHits = 3;
    EXPECT_EQ(Line(BuildTallyReport(30000000, t), 3),
              "単勝 3000000000123456789019345678901   411.52%     0.00%4115226300");
    EXPECT_EQ(Line(BuildTallyReport(30000000, t), 0), "総ﾚｰｽ：30000000  抽出ﾚｰｽ：30000000");
}

TEST(BuildTallyReport, SumsPastTwoToTheThirtyFirst) {
    TallyAccumulators t;
    t.ExtractedRaces = 30000000;  // stake 3,000,000,000 yen
    t.WinPayout = 2400000000;
    t.WinHits = 8000000;
    EXPECT_EQ(Line(BuildTallyReport(30000000, t), 3),
              "単勝 30000000002400000000-600000000    80.00%    26.67%       300");
}

TEST(BuildTallyReport, LossesAndFloors) {
    TallyAccumulators t;
    t.ExtractedRaces = 3;
    t.WinPayout = -440;  // a negative payout field
    t.WinHits = 3;
    t.PlacePayout = 300;
    t.PlaceHits = 3;
    const std::string report = BuildTallyReport(3, t);
    EXPECT_EQ(Line(report, 3), "単勝        300      -440      -740  -146.67%   100.00%      -147");
    EXPECT_EQ(Line(report, 4), "複勝        300       300         0   100.00%   100.00%       100");
}

TEST(BuildTallyReport, SameInputSameText) {
    EXPECT_EQ(BuildTallyReport(6, WorkedExample()), BuildTallyReport(6, WorkedExample()));
}

TEST(PercentText, ExactRoundingHalfAwayFromZero) {
    EXPECT_EQ(PercentOf(2, 5).Text(), "40.00%");
    EXPECT_EQ(PercentOf(8600, 1200).Text(), "716.67%");
    EXPECT_EQ(PercentOf(0, 7).Text(), "0.00%");
    EXPECT_EQ(PercentOf(1, 800).Text(), "0.13%");   // 0.125 exactly: up
    EXPECT_EQ(PercentOf(1, 1600).Text(), "0.06%");  // 0.0625: down
    EXPECT_EQ(PercentOf(3, 1600).Text(), "0.19%");  // 0.1875: up
    EXPECT_EQ(PercentOf(1, 8).Text(), "12.50%");
    EXPECT_EQ(PercentOf(1, 3).Text(), "33.33%");
    EXPECT_EQ(PercentOf(2, 3).Text(), "66.67%");
    EXPECT_EQ(PercentOf(1, 1).Text(), "100.00%");
    EXPECT_EQ(PercentOf(19999, 200).Text(), "9999.50%");
    EXPECT_EQ(PercentOf(99999949, 1000000).Text(), "9999.99%");
    EXPECT_EQ(PercentOf(99999999, 1000000).Text(), "10000.00%");
    EXPECT_EQ(PercentOf(999999995, 100000000).Text(), "1000.00%");  // carry through the point
    EXPECT_EQ(PercentOf(1, 200000).Text(), "0.00%");
    EXPECT_EQ(PercentOf(1, 20000).Text(), "0.01%");  // 0.005 exactly: away from zero
}

TEST(PercentText, SignsZeroAndExtremes) {
    EXPECT_EQ(PercentOf(-1, 800).Text(), "-0.13%");
    EXPECT_EQ(PercentOf(1, -800).Text(), "-0.13%");
    EXPECT_EQ(PercentOf(-1, 200000).Text(), "0.00%");  // no negative zero
    EXPECT_EQ(PercentOf(5, 0).Text(), "0.00%");
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(PercentOf(max, 1).Text(), "922337203685477580700.00%");
    EXPECT_EQ(PercentOf(min, 1).Text(), "-922337203685477580800.00%");
    EXPECT_EQ(PercentOf(1, max).Text(), "0.00%");
    EXPECT_EQ(PercentOf(max - 1, max).Text(), "100.00%");
    EXPECT_EQ(PercentOf(max / 2 + 1, max).Text(), "50.00%");
}

TEST(FormatColumn, PadsToTenAndNeverCuts) {
    EXPECT_EQ(FormatColumn("0"), "         0");
    EXPECT_EQ(FormatColumn("-60"), "       -60");
    EXPECT_EQ(FormatColumn("1433.33%"), "  1433.33%");
    EXPECT_EQ(FormatColumn("1234567890"), "1234567890");
    EXPECT_EQ(FormatColumn("12345678901"), "12345678901");
}

}  // namespace
}  // namespace lomi
