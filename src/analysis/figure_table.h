#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/breakdown.h"
#include "analysis/profit_series.h"
#include "tally/figures.h"

namespace lomi {

// The figures of tallies as rows of texts, shared by the command line's
// tables, CSV and the windows' exports, so that all show the same columns.

// A rate with nothing to divide by (no race, nothing bought) is no figure:
// "—" in tables, an empty field in CSV, never "0.00%".
inline constexpr const char* kNoFigure = "—";
// 回収率 ("136.00%"), or noFigure without a stake.
std::string RecoveryText(const BetFigures& bet, std::string_view noFigure = kNoFigure);
// 的中率, or noFigure without a counted race.
std::string HitRateText(const BetFigures& bet, std::int64_t races,
                        std::string_view noFigure = kNoFigure);

// 総ﾚｰｽ, 抽出ﾚｰｽ, then for 単勝, 複勝, 連勝 and ﾜｲﾄﾞ in turn 投票, 払戻,
// 損益, 回収率, 的中率 and 平均配当 ("単勝投票" …): 26 captions.
std::vector<std::string> FiguresHeader();
// The same figures as the report writes them ("136.00%").
std::vector<std::string> FiguresCells(const TallyFigures& figures,
                                      std::string_view noFigure = kNoFigure);

// FiguresHeader and FiguresCells as two CSV rows.
void WriteFiguresCsv(std::ostream& out, const TallyFigures& figures);

// The axis's name and 値 (the field's text), then FiguresHeader.
std::vector<std::string> BreakdownHeader(BreakdownAxis axis);
// One row per group (label, key, figures), then 合計 (empty key) with the
// total, which equals the report.
std::vector<std::vector<std::string>> BreakdownRows(const Breakdown& breakdown,
                                                    std::string_view noFigure = kNoFigure);

// The label of the total row.
inline constexpr const char* kTotalLabel = "合計";

// CSV of the breakdown (header and rows), row by row as RFC 4180 writes
// them; no byte order mark.
void WriteBreakdownCsv(std::ostream& out, const Breakdown& breakdown);

// date,win,place,quinella,wide and one row per race day (YYYY-MM-DD,
// cumulative profit in yen).
void WriteProfitSeriesCsv(std::ostream& out, const ProfitSeries& series);

}  // namespace lomi
