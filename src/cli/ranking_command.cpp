#include "cli/ranking_command.h"

#include "data/task_failure.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/csv.h"
#include "analysis/family_figures.h"
#include "analysis/overfitting.h"
#include "analysis/pattern_ranking.h"
#include "analysis/ranking_table.h"
#include "cli/report_json.h"
#include "cli/text_table.h"
#include "data/task_failure.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

// Two decimals, halves away from zero, as the report rounds percentages.
Json Rounded(const std::optional<double>& percent) {
    if (!percent) return Json();
    return std::round(*percent * 100) / 100;
}

// BetsJson with the interval after the recovery rate (and, for the ranked
// part, its lower end corrected for the patterns ranked) and the drawdown last.
Json RankedBetsJson(const RankedPart& part, bool ranked) {
    const Json plain = BetsJson(part.figures);
    Json bets = Json::object();
    for (const BetType bet : kBetTypes) {
        const BetSpread& spread = part.Spread(bet);
        Json figures = Json::object();
        const BetFigures& f = part.figures.Bet(bet);
        for (const auto& [key, value] : plain[BetKey(bet)].items()) {
            figures[key] = value;
            // A rate with nothing to divide by is no figure.
            if (key == "recovery" && f.stake == 0) figures[key] = nullptr;
            if (key == "hitRate" && part.tally.ExtractedRaces == 0) figures[key] = nullptr;
            if (key == "recovery") {
                figures["recoveryLow"] = Rounded(spread.recoveryLow);
                figures["recoveryHigh"] = Rounded(spread.recoveryHigh);
                if (ranked) {
                    figures["recoveryLowAdjusted"] = Rounded(spread.recoveryLowAdjusted);
                    figures["significant"] = spread.significant;
                    figures["expectedRecovery"] = Rounded(spread.expectedRecovery);
                    figures["probabilityAbove100"] =
                        spread.probabilityAbove100
                            ? Json(std::round(*spread.probabilityAbove100 * 10000) / 10000)
                            : Json();
                }
            }
        }
        figures["maxDrawdown"] = spread.maxDrawdown;
        bets[BetKey(bet)] = std::move(figures);
    }
    return bets;
}

void AddPart(Json& json, const RankedPart& part, bool ranked) {
    json["recordCount"] = part.recordCount;
    json["tally"] = TallyJson(part.tally);
    json["bets"] = RankedBetsJson(part, ranked);
}

Json OverfittingJson(const OverfittingEstimate& e) {
    Json json = Json::object();
    if (!e.Estimated()) {
        json["reason"] = e.reason;
        return json;
    }
    json["bet"] = BetKey(e.bet);
    json["blocks"] = e.blocks;
    json["splits"] = e.splits;
    json["patterns"] = e.patterns;
    json["probability"] = std::round(e.probability * 10000) / 10000;
    json["lossProbability"] = std::round(e.lossProbability * 10000) / 10000;
    json["bestOutOfSampleMedian"] = Rounded(e.bestOutOfSampleMedian);
    json["outOfSampleMedian"] = Rounded(e.outOfSampleMedian);
    return json;
}

std::string RankingJson(const std::string& folder, const ReportOptions& options,
                        const std::vector<PatternRanking>& patterns,
                        const OverfittingEstimate& overfitting) {
    Json conditions = ConditionsJson(options.conditions);
    conditions["split"] = options.splitDate.empty() ? Json() : Json(DateText(options.splitDate));
    conditions["bet"] = BetKey(options.bet);
    conditions["minRaces"] = options.minRaces;
    Json list = Json::array();
    for (const PatternRanking& pattern : patterns) {
        Json json = Json::object();
        json["code"] = pattern.code;
        json["description"] = pattern.description;
        json["files"] = pattern.files;
        AddPart(json, pattern.earlier, true);
        if (pattern.later) {
            Json later = Json::object();
            AddPart(later, *pattern.later, false);
            json["later"] = std::move(later);
        }
        list.push_back(std::move(json));
    }
    Json json = Json::object();
    json["folder"] = folder;
    json["conditions"] = std::move(conditions);
    json["patterns"] = std::move(list);
    json["overfitting"] = OverfittingJson(overfitting);
    json["message"] = nullptr;
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

int RunRankingCommand(const std::string& folder, const ReportOptions& options,
                      const RecordCacheOptions& cache, std::ostream& out, std::ostream& err) {
    // Nothing else runs in this process meanwhile: each thread may take a
    // table of open files of its own.
    RankingOptions ranking{options.conditions, options.splitDate, 0};
    ranking.ownFileTables = true;
    ranking.cache = cache;
    RankingResult run = RankAllPatterns(folder, ranking);
    const auto fail = [&](const std::string& message) {
        if (options.json) {
            out << MessageJson(message);
        } else {
            err << message << "\n";
        }
        return kExitFailure;
    };
    if (run.status != RankingStatus::Ranked) return fail(std::string(FailureText(run.message)));

    std::vector<PatternRanking> ranked;
    for (PatternRanking& pattern : run.patterns) {
        if (!pattern.Ranked()) {
            err << "lomi-report: " << pattern.code << ": " << pattern.failure << "\n";
        } else {
            ranked.push_back(std::move(pattern));
        }
    }
    if (ranked.empty()) return fail("どのパターンも読み込めませんでした。");
    std::erase_if(ranked,
                  [&](const PatternRanking& p) { return !HasEnoughRaces(p, options.minRaces); });
    // The corrected bound and the expected recovery of the bet printed.
    SetFamilyFigures(ranked, options.bet, options.minRaces);
    if (options.sortByExpected) {
        SortByExpected(ranked, options.bet);
    } else {
        SortByRecovery(ranked, options.bet);
    }
    const OverfittingEstimate overfitting =
        EstimateOverfitting(ranked, options.bet, options.minRaces);

    const bool split = !options.splitDate.empty();
    if (options.json) {
        out << RankingJson(folder, options, ranked, overfitting);
    } else if (options.csv) {
        for (const auto& row : RankingRows(ranked, options.bet, split, "")) WriteCsvRow(out, row);
    } else {
        std::vector<bool> right;
        const std::vector<RankingColumn> columns = RankingColumns(split);
        for (const RankingColumn column : columns) right.push_back(IsNumericColumn(column));
        auto rows = RankingRows(ranked, options.bet, split);
        // A mark on the corrected bounds above 100%, explained below the table.
        const auto marked = static_cast<std::size_t>(
            std::find(columns.begin(), columns.end(), RankingColumn::AdjustedLow) -
            columns.begin());
        rows[0][marked] += " ";
        bool anyMarked = false;
        for (std::size_t i = 0; i < ranked.size(); ++i) {
            const bool significant = ranked[i].earlier.Spread(options.bet).significant;
            rows[i + 1][marked] += significant ? "*" : " ";
            anyMarked = anyMarked || significant;
        }
        out << BetName(options.bet)
            << (options.sortByExpected ? "の期待回収率順\n" : "の回収率順\n")
            << AlignedTable(rows, right);
        if (anyMarked) out << "* 補正下限が100%を超えるパターン\n";
        for (const std::string& line : OverfittingLines(overfitting)) out << line << "\n";
    }
    return kExitOk;
}

}  // namespace lomi
