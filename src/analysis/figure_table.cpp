#include "analysis/figure_table.h"

#include "analysis/csv.h"
#include "tally/bet_type.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

constexpr const char* kColumns[] = {"投票", "払戻", "損益", "回収率", "的中率", "平均配当"};

}  // namespace

std::string RecoveryText(const BetFigures& bet, std::string_view noFigure) {
    return bet.stake == 0 ? std::string(noFigure) : bet.recovery.Text();
}

std::string HitRateText(const BetFigures& bet, std::int64_t races, std::string_view noFigure) {
    return races == 0 ? std::string(noFigure) : bet.hitRate.Text();
}

std::vector<std::string> FiguresHeader() {
    std::vector<std::string> header = {"総ﾚｰｽ", "抽出ﾚｰｽ"};
    for (const BetType bet : kBetTypes) {
        for (const char* column : kColumns) header.push_back(std::string(BetName(bet)) + column);
    }
    return header;
}

std::vector<std::string> FiguresCells(const TallyFigures& figures, std::string_view noFigure) {
    std::vector<std::string> cells = {std::to_string(figures.totalRaces),
                                      std::to_string(figures.extractedRaces)};
    for (const BetFigures& f : figures.bets) {
        cells.push_back(std::to_string(f.stake));
        cells.push_back(std::to_string(f.payout));
        cells.push_back(std::to_string(f.profit));
        cells.push_back(RecoveryText(f, noFigure));
        cells.push_back(HitRateText(f, figures.extractedRaces, noFigure));
        cells.push_back(std::to_string(f.averageDividend));
    }
    return cells;
}

void WriteFiguresCsv(std::ostream& out, const TallyFigures& figures) {
    WriteCsvRow(out, FiguresHeader());
    WriteCsvRow(out, FiguresCells(figures, ""));
}

std::vector<std::string> BreakdownHeader(BreakdownAxis axis) {
    std::vector<std::string> header = {AxisName(axis), "値"};
    for (std::string& caption : FiguresHeader()) header.push_back(std::move(caption));
    return header;
}

std::vector<std::vector<std::string>> BreakdownRows(const Breakdown& breakdown,
                                                    std::string_view noFigure) {
    std::vector<std::vector<std::string>> rows;
    const auto row = [&](const std::string& label, const std::string& key, std::int64_t records,
                         const TallyAccumulators& tally) {
        std::vector<std::string> cells = {label, key};
        for (std::string& cell : FiguresCells(ComputeFigures(records, tally), noFigure)) {
            cells.push_back(std::move(cell));
        }
        rows.push_back(std::move(cells));
    };
    for (const BreakdownGroup& group : breakdown.groups) {
        row(group.label, group.key, group.recordCount, group.tally);
    }
    row(kTotalLabel, "", breakdown.recordCount, breakdown.total);
    return rows;
}

void WriteBreakdownCsv(std::ostream& out, const Breakdown& breakdown) {
    WriteCsvRow(out, BreakdownHeader(breakdown.axis));
    for (const std::vector<std::string>& row : BreakdownRows(breakdown, "")) WriteCsvRow(out, row);
}

void WriteProfitSeriesCsv(std::ostream& out, const ProfitSeries& series) {
    std::vector<std::string> header = {"date"};
    for (const BetType bet : kBetTypes) header.push_back(BetKey(bet));
    WriteCsvRow(out, header);
    for (const ProfitPoint& point : series.points) {
        std::vector<std::string> row = {DateText(point.date)};
        for (const std::int64_t profit : point.profit) row.push_back(std::to_string(profit));
        WriteCsvRow(out, row);
    }
}

}  // namespace lomi
