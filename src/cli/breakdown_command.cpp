#include "cli/breakdown_command.h"

#include <ostream>

#include "analysis/breakdown.h"
#include "analysis/figure_table.h"
#include "analysis/pattern_analysis.h"
#include "analysis/profit_series.h"
#include "cli/json_writer.h"
#include "cli/report_json.h"
#include "cli/text_table.h"
#include "tally/bet_type.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

Json ByBet(const std::array<std::int64_t, 4>& values) {
    Json json = Json::object();
    for (const BetType bet : kBetTypes) json[BetKey(bet)] = values[Index(bet)];
    return json;
}

void WriteBreakdownJson(std::ostream& out, const Breakdown* breakdown, BreakdownAxis axis) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("by");
    json.String(AxisKey(axis));
    json.Key("groups");
    json.BeginArray();
    if (breakdown != nullptr) {
        for (const BreakdownGroup& group : breakdown->groups) {
            json.Value(Json{{"key", group.key},
                            {"label", group.label},
                            {"recordCount", group.recordCount},
                            {"tally", TallyJson(group.tally)}});
        }
    }
    json.EndArray();
    json.Key("total");
    json.Value(breakdown ? Json{{"tally", TallyJson(breakdown->total)}} : Json());
    json.Key("recordCount");  // 総ﾚｰｽ: the races of the period, or every record
    json.Value(breakdown ? Json(breakdown->recordCount) : Json());
    json.Key("message");
    json.Value(breakdown ? Json() : Json(kFileNotOpen));
    json.EndObject();
    json.Finish();
}

void WriteSeriesJson(std::ostream& out, const ProfitSeries* series) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("series");
    json.BeginArray();
    if (series != nullptr) {
        for (const ProfitPoint& point : series->points) {
            Json row = Json{{"date", DateText(point.date)}};
            for (const BetType bet : kBetTypes) row[BetKey(bet)] = point.profit[Index(bet)];
            json.Value(row);
        }
    }
    json.EndArray();
    json.Key("maxDrawdown");
    json.Value(series ? ByBet(series->maxDrawdown) : Json());
    json.Key("longestDaysWithoutHit");
    json.Value(series ? ByBet(series->longestDaysWithoutHit) : Json());
    json.Key("message");
    json.Value(series ? Json() : Json(kFileNotOpen));
    json.EndObject();
    json.Finish();
}

std::string BreakdownText(const Breakdown& breakdown) {
    std::vector<std::vector<std::string>> rows = {BreakdownHeader(breakdown.axis)};
    for (std::vector<std::string>& row : BreakdownRows(breakdown)) rows.push_back(std::move(row));
    return AlignedTable(rows, 2);
}

std::string SeriesText(const ProfitSeries& series) {
    std::vector<std::vector<std::string>> rows = {{"日付"}};
    for (const BetType bet : kBetTypes) rows[0].push_back(BetName(bet));
    for (const ProfitPoint& point : series.points) {
        std::vector<std::string> row = {DateText(point.date)};
        for (const std::int64_t profit : point.profit) row.push_back(std::to_string(profit));
        rows.push_back(std::move(row));
    }
    std::vector<std::vector<std::string>> summary = {
        {""}, {"最大ドローダウン"}, {"最長不的中日数"}};
    for (const BetType bet : kBetTypes) {
        summary[0].push_back(BetName(bet));
        summary[1].push_back(std::to_string(series.maxDrawdown[Index(bet)]));
        summary[2].push_back(std::to_string(series.longestDaysWithoutHit[Index(bet)]));
    }
    return AlignedTable(rows, 1) + "\n" + AlignedTable(summary, 1);
}

}  // namespace

bool WantsBreakdownOrSeries(const ReportOptions& options) {
    return options.by.has_value() || options.series;
}

int RunBreakdownCommand(const ProgramState& state, const ReportOptions& options, std::ostream& out,
                        std::ostream& err) {
    const RecordStore& records = state.Loaded.Records;
    if (records.Empty()) {
        if (!options.json) {
            err << kFileNotOpen << "\n";
            return kExitFailure;
        }
        if (options.series) {
            WriteSeriesJson(out, nullptr);
        } else {
            WriteBreakdownJson(out, nullptr, *options.by);
        }
        return kExitOk;
    }
    if (options.series) {
        const ProfitSeries series = BuildProfitSeries(records, options.conditions);
        if (options.json) {
            WriteSeriesJson(out, &series);
        } else if (options.csv) {
            WriteProfitSeriesCsv(out, series);
        } else {
            out << SeriesText(series);
        }
        return kExitOk;
    }
    const Breakdown breakdown = BuildBreakdown(records, options.conditions, *options.by);
    if (options.json) {
        WriteBreakdownJson(out, &breakdown, breakdown.axis);
    } else if (options.csv) {
        WriteBreakdownCsv(out, breakdown);
    } else {
        out << BreakdownText(breakdown);
    }
    return kExitOk;
}

}  // namespace lomi
