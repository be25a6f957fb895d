#include "cli/ranking_command.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/csv.h"
#include "analysis/pattern_ranking.h"
#include "analysis/ranking_table.h"
#include "cli/report_json.h"
#include "cli/text_table.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

// Two decimals, halves away from zero, as the report rounds percentages.
Json Rounded(const std::optional<double>& percent) {
    if (!percent) return Json();
    return std::round(*percent * 100) / 100;
}

// BetsJson with the interval after the recovery rate and the drawdown last.
Json RankedBetsJson(const RankedPart& part) {
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
            }
        }
        figures["maxDrawdown"] = spread.maxDrawdown;
        bets[BetKey(bet)] = std::move(figures);
    }
    return bets;
}

void AddPart(Json& json, const RankedPart& part) {
    json["recordCount"] = part.recordCount;
    json["tally"] = TallyJson(part.tally);
    json["bets"] = RankedBetsJson(part);
}

std::string RankingJson(const std::string& folder, const ReportOptions& options,
                        const std::vector<PatternRanking>& patterns) {
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
        AddPart(json, pattern.earlier);
        if (pattern.later) {
            Json later = Json::object();
            AddPart(later, *pattern.later);
            json["later"] = std::move(later);
        }
        list.push_back(std::move(json));
    }
    Json json = Json::object();
    json["folder"] = folder;
    json["conditions"] = std::move(conditions);
    json["patterns"] = std::move(list);
    json["message"] = nullptr;
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

int RunRankingCommand(const std::string& folder, const ReportOptions& options, std::ostream& out,
                      std::ostream& err) {
    // Nothing else runs in this process meanwhile: each thread may take a
    // table of open files of its own.
    RankingOptions ranking{options.conditions, options.splitDate, 0};
    ranking.ownFileTables = true;
    RankingResult run = RankAllPatterns(folder, ranking);
    const auto fail = [&](const std::string& message) {
        if (options.json) {
            out << MessageJson(message);
        } else {
            err << message << "\n";
        }
        return kExitFailure;
    };
    if (run.status != RankingStatus::Ranked) return fail(run.message);

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
    SortByRecovery(ranked, options.bet);

    const bool split = !options.splitDate.empty();
    if (options.json) {
        out << RankingJson(folder, options, ranked);
    } else if (options.csv) {
        for (const auto& row : RankingRows(ranked, options.bet, split, "")) WriteCsvRow(out, row);
    } else {
        std::vector<bool> right;
        for (const RankingColumn column : RankingColumns(split)) {
            right.push_back(IsNumericColumn(column));
        }
        out << BetName(options.bet) << "の回収率順\n"
            << AlignedTable(RankingRows(ranked, options.bet, split), right);
    }
    return kExitOk;
}

}  // namespace lomi
