#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/figure_table.h"
#include "analysis/overfitting.h"
#include "analysis/pattern_ranking.h"
#include "tally/bet_type.h"

namespace lomi {

// The ranking as a table of texts, the same for the window, its CSV file
// and the command line: one row per pattern, the chosen bet type's figures.

enum class RankingColumn {
    Pattern,          // パターン: the description
    Code,             // ｺｰﾄﾞ
    Races,            // ﾚｰｽ数: counted races
    Stake,            // 投票
    Payout,           // 払戻
    Profit,           // 損益
    Recovery,         // 回収率
    Interval,         // 95%区間
    AdjustedLow,      // 補正下限: the lower end corrected for the patterns ranked
    Expected,         // 期待回収率: the recovery shrunk toward the patterns' mean
    AboveEven,        // 100%超確率: the probability that it is above 100%
    HitRate,          // 的中率
    AverageDividend,  // 平均配当
    Hits,             // 的中数
    Drawdown,         // 最大DD
    LaterRecovery,    // 後期回収率: only with a split
};

// The columns shown: all but the last without a split.
std::vector<RankingColumn> RankingColumns(bool split);
const char* RankingColumnTitle(RankingColumn column);
// Whether the column holds numbers (right-aligned).
bool IsNumericColumn(RankingColumn column);

// "88.2–112.7%", or noFigure without an interval.
std::string IntervalText(const BetSpread& spread, std::string_view noFigure = kNoFigure);

// A cell's text; empty figures for a pattern that failed, noFigure for a
// rate of a part without a race.
std::string RankingCellText(const PatternRanking& pattern, BetType bet, RankingColumn column,
                            std::string_view noFigure = kNoFigure);

// A number that orders the column as its meaning does (texts order by
// their own text instead: nothing).
std::optional<double> RankingCellValue(const PatternRanking& pattern, BetType bet,
                                       RankingColumn column);

// Two patterns by a column as its meaning orders them: rates exactly
// (payout / stake, not the rounded percentage), numbers by value, texts by
// text; a pattern without the figure (no race, or not read) below every
// other. Equal cells compare equal: the caller breaks the tie.
std::weak_ordering CompareRankingCells(const PatternRanking& a, const PatternRanking& b,
                                       BetType bet, RankingColumn column);

// Header and rows of the patterns, in their order.
std::vector<std::vector<std::string>> RankingRows(const std::vector<PatternRanking>& patterns,
                                                  BetType bet, bool split,
                                                  std::string_view noFigure = kNoFigure);

// The lines under the table: the probability that the best pattern is luck
// and what the best and an average pattern recovered out of sample, the
// probability that the best loses money there, or why there is no estimate.
std::vector<std::string> OverfittingLines(const OverfittingEstimate& estimate);

// Whether a pattern has at least minRaces counted races (of the earlier
// part with a split); a pattern that failed is always shown.
bool HasEnoughRaces(const PatternRanking& pattern, std::int64_t minRaces);

}  // namespace lomi
