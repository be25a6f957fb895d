#include "analysis/ranking_table.h"

#include <cstdio>

namespace lomi {
namespace {

std::string OneDecimal(double percent) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", percent);
    return text;
}

}  // namespace

std::vector<RankingColumn> RankingColumns(bool split) {
    std::vector<RankingColumn> columns = {
        RankingColumn::Pattern,         RankingColumn::Code,      RankingColumn::Races,
        RankingColumn::Stake,           RankingColumn::Payout,    RankingColumn::Profit,
        RankingColumn::Recovery,        RankingColumn::Interval,  RankingColumn::AdjustedLow,
        RankingColumn::Expected,        RankingColumn::AboveEven, RankingColumn::HitRate,
        RankingColumn::AverageDividend, RankingColumn::Hits,      RankingColumn::Drawdown};
    if (split) columns.push_back(RankingColumn::LaterRecovery);
    return columns;
}

const char* RankingColumnTitle(RankingColumn column) {
    switch (column) {
        case RankingColumn::Pattern:
            return "パターン";
        case RankingColumn::Code:
            return "ｺｰﾄﾞ";
        case RankingColumn::Races:
            return "ﾚｰｽ数";
        case RankingColumn::Stake:
            return "投票";
        case RankingColumn::Payout:
            return "払戻";
        case RankingColumn::Profit:
            return "損益";
        case RankingColumn::Recovery:
            return "回収率";
        case RankingColumn::Interval:
            return "95%区間";
        case RankingColumn::AdjustedLow:
            return "補正下限";
        case RankingColumn::Expected:
            return "期待回収率";
        case RankingColumn::AboveEven:
            return "100%超確率";
        case RankingColumn::HitRate:
            return "的中率";
        case RankingColumn::AverageDividend:
            return "平均配当";
        case RankingColumn::Hits:
            return "的中数";
        case RankingColumn::Drawdown:
            return "最大DD";
        case RankingColumn::LaterRecovery:
            return "後期回収率";
    }
    return "";
}

bool IsNumericColumn(RankingColumn column) {
    return column != RankingColumn::Pattern && column != RankingColumn::Code;
}

std::string IntervalText(const BetSpread& spread, std::string_view noFigure) {
    if (!spread.recoveryLow || !spread.recoveryHigh) return std::string(noFigure);
    return OneDecimal(*spread.recoveryLow) + "–" + OneDecimal(*spread.recoveryHigh) + "%";
}

std::optional<double> RankingCellValue(const PatternRanking& p, BetType bet, RankingColumn column) {
    const BetFigures& f = p.earlier.figures.Bet(bet);
    switch (column) {
        case RankingColumn::Pattern:
        case RankingColumn::Code:
            return std::nullopt;
        case RankingColumn::Races:
            return static_cast<double>(p.earlier.tally.ExtractedRaces);
        case RankingColumn::Stake:
            return static_cast<double>(f.stake);
        case RankingColumn::Payout:
            return static_cast<double>(f.payout);
        case RankingColumn::Profit:
            return static_cast<double>(f.profit);
        case RankingColumn::Recovery:
            return f.recovery.Value();
        case RankingColumn::Interval:
            return p.earlier.Spread(bet).recoveryLow.value_or(-1);
        case RankingColumn::AdjustedLow:
            return p.earlier.Spread(bet).recoveryLowAdjusted.value_or(-1);
        case RankingColumn::Expected:
            return p.earlier.Spread(bet).expectedRecovery.value_or(-1);
        case RankingColumn::AboveEven:
            return p.earlier.Spread(bet).probabilityAbove100.value_or(-1);
        case RankingColumn::HitRate:
            return f.hitRate.Value();
        case RankingColumn::AverageDividend:
            return static_cast<double>(f.averageDividend);
        case RankingColumn::Hits:
            return static_cast<double>(f.hits);
        case RankingColumn::Drawdown:
            return static_cast<double>(p.earlier.Spread(bet).maxDrawdown);
        case RankingColumn::LaterRecovery:
            return p.later ? p.later->figures.Bet(bet).recovery.Value() : -1;
    }
    return std::nullopt;
}

std::string RankingCellText(const PatternRanking& p, BetType bet, RankingColumn column,
                            std::string_view noFigure) {
    if (column == RankingColumn::Pattern) return p.description;
    if (column == RankingColumn::Code) return p.code;
    if (!p.Ranked()) return "";
    const BetFigures& f = p.earlier.figures.Bet(bet);
    switch (column) {
        case RankingColumn::Races:
            return std::to_string(p.earlier.tally.ExtractedRaces);
        case RankingColumn::Stake:
            return std::to_string(f.stake);
        case RankingColumn::Payout:
            return std::to_string(f.payout);
        case RankingColumn::Profit:
            return std::to_string(f.profit);
        case RankingColumn::Recovery:
            return RecoveryText(f, noFigure);
        case RankingColumn::Interval:
            return IntervalText(p.earlier.Spread(bet), noFigure);
        case RankingColumn::AdjustedLow: {
            const auto& low = p.earlier.Spread(bet).recoveryLowAdjusted;
            return low ? OneDecimal(*low) + "%" : std::string(noFigure);
        }
        case RankingColumn::Expected: {
            const auto& expected = p.earlier.Spread(bet).expectedRecovery;
            return expected ? OneDecimal(*expected) + "%" : std::string(noFigure);
        }
        case RankingColumn::AboveEven: {
            const auto& chance = p.earlier.Spread(bet).probabilityAbove100;
            return chance ? OneDecimal(*chance * 100) + "%" : std::string(noFigure);
        }
        case RankingColumn::HitRate:
            return HitRateText(f, p.earlier.tally.ExtractedRaces, noFigure);
        case RankingColumn::AverageDividend:
            return std::to_string(f.averageDividend);
        case RankingColumn::Hits:
            return std::to_string(f.hits);
        case RankingColumn::Drawdown:
            return std::to_string(p.earlier.Spread(bet).maxDrawdown);
        case RankingColumn::LaterRecovery:
            return p.later ? RecoveryText(p.later->figures.Bet(bet), noFigure) : "";
        default:
            return "";
    }
}

std::weak_ordering CompareRankingCells(const PatternRanking& a, const PatternRanking& b,
                                       BetType bet, RankingColumn column) {
    if (column == RankingColumn::Pattern) return a.description <=> b.description;
    if (column == RankingColumn::Code) return a.code <=> b.code;
    if (!a.Ranked() || !b.Ranked()) return a.Ranked() <=> b.Ranked();
    const auto ratio = [&](const RankedPart& x, const RankedPart& y, bool hits) {
        const BetFigures& fx = x.figures.Bet(bet);
        const BetFigures& fy = y.figures.Bet(bet);
        return hits
                   ? CompareRatios(fx.hits, x.tally.ExtractedRaces, fy.hits, y.tally.ExtractedRaces)
                   : CompareRatios(fx.payout, fx.stake, fy.payout, fy.stake);
    };
    switch (column) {
        case RankingColumn::Recovery:
            return ratio(a.earlier, b.earlier, false);
        case RankingColumn::HitRate:
            return ratio(a.earlier, b.earlier, true);
        case RankingColumn::LaterRecovery:
            if (!a.later || !b.later) return a.later.has_value() <=> b.later.has_value();
            return ratio(*a.later, *b.later, false);
        default: {
            const double x = RankingCellValue(a, bet, column).value_or(0);
            const double y = RankingCellValue(b, bet, column).value_or(0);
            return x < y ? std::weak_ordering::less
                         : (y < x ? std::weak_ordering::greater : std::weak_ordering::equivalent);
        }
    }
}

std::vector<std::vector<std::string>> RankingRows(const std::vector<PatternRanking>& patterns,
                                                  BetType bet, bool split,
                                                  std::string_view noFigure) {
    const std::vector<RankingColumn> columns = RankingColumns(split);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (const RankingColumn column : columns) header.push_back(RankingColumnTitle(column));
    rows.push_back(std::move(header));
    for (const PatternRanking& pattern : patterns) {
        std::vector<std::string> row;
        for (const RankingColumn column : columns) {
            row.push_back(RankingCellText(pattern, bet, column, noFigure));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> OverfittingLines(const OverfittingEstimate& e) {
    if (!e.Estimated()) return {e.reason};
    return {"過剰適合確率 (PBO): " + OneDecimal(e.probability * 100) + "%  (" +
                std::to_string(e.blocks) + "区間・" + std::to_string(e.splits) + "通り・" +
                std::to_string(e.patterns) + "パターン)",
            "前半最良の後半回収率 中央値: " + OneDecimal(e.bestOutOfSampleMedian) +
                "%  (全パターンの中央値: " + OneDecimal(e.outOfSampleMedian) + "%)",
            "前半最良が後半で損をする確率: " + OneDecimal(e.lossProbability * 100) + "%"};
}

bool HasEnoughRaces(const PatternRanking& pattern, std::int64_t minRaces) {
    return !pattern.Ranked() || pattern.earlier.tally.ExtractedRaces >= minRaces;
}

}  // namespace lomi
