// The documented worked example, from ticket files in a temporary folder
// through the reader to the report text.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "analysis/pattern_analysis.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"
#include "tally/race_filter.h"
#include "tally/tally_report.h"

namespace lomi {
namespace {

using test::RaceFields;

std::string Line(const std::string& head, int slots, const RaceFields& race) {
    static const std::array<std::string, 6> kFilled = {"01-02", "01-03", "01-04",
                                                       "02-03", "02-04", "03-04"};
    std::array<std::string, 6> chosen;
    for (int i = 0; i < slots; ++i) chosen[i] = kFilled[i];
    return test::DataLine(head, chosen, test::RaceData(race));
}

class WorkedExample : public testing::Test {
protected:
    void SetUp() override {
        // Races 1-4 on 15 April, races 5 and 6 on 22 April, in two files.
        test::WriteTicketFile(
            data_.Path(), "P010415Q1RN.txt",
            {test::HeaderLine(2001, 4, 15),
             Line("東京11R", 3, {5, 11, 16, 4, 6, 1, 16, "0023", "0012", "00000", "00000"}),
             Line("東京10R", 3, {5, 10, 12, 4, 5, 2, 14, "0000", "0000", "00000", "00000"}),
             Line("東京9R", 3, {5, 9, 14, 3, 3, 1, 20, "0000", "0015", "00000", "00042"}),
             Line("中山11R", 3, {6, 11, 16, 4, 6, 1, 20, "0045", "0017", "00860", "00230"})});
        test::WriteTicketFile(
            data_.Path(), "P010422Q1RN.txt",
            {test::HeaderLine(2001, 4, 22),
             Line("東京11R", 3, {5, 11, 18, 4, 6, 2, 24, "----", "----", "-----", "-----"}),
             Line("中山5R", 0, {6, 5, 10, 2, 2, 2, 12, "0000", "0000", "-----", "-----"})});
        state_.DataFolder = data_.PathText();
        state_.PatternFileMask = "P*Q1RN.txt";
        PatternLoad loaded = LoadPattern(state_.DataFolder, state_.PatternFileMask);
        ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
        CommitLoad(state_, std::move(loaded));
        ASSERT_EQ(state_.RecordCount(), 6);
    }

    std::string Report(const RaceConditions& conditions) {
        ExtractAndTally(state_, conditions);
        return BuildTallyReport(state_.RecordCount(), state_.Tally);
    }

    test::TempFolder data_;
    ProgramState state_;
};

TEST_F(WorkedExample, AllRacesGiveTheDocumentedReport) {
    EXPECT_EQ(Report({}),
              "総ﾚｰｽ：6  抽出ﾚｰｽ：5\r\n"
              "\r\n"
              "           投票      払戻      損益    回収率    的中率  平均配当\r\n"
              "単勝        500       680       180   136.00%    40.00%       340\r\n"
              "複勝        500       440       -60    88.00%    60.00%       146\r\n"
              "連勝       1200      8600      7400   716.67%    20.00%      8600\r\n"
              "ﾜｲﾄﾞ       1200      2720      1520   226.67%    40.00%      1360\r\n");
    // The same tally again gives the same text, not doubled sums.
    EXPECT_EQ(Report({}), Report({}));
}

}  // namespace
}  // namespace lomi
