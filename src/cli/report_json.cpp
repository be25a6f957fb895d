#include "cli/report_json.h"

#include <nlohmann/json.hpp>

#include "cli/json_writer.h"
#include "tally/selector_items.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

// The keys of the eight condition lists and selectors, in selector order.
constexpr const char* kConditionKeys[] = {"venue", "race",    "runners",  "age",
                                          "class", "surface", "distance", "date"};

Json Lists(const LoadedData& data) {
    Json lists = Json::object();
    const std::vector<std::int16_t>* numeric[] = {
        &data.VenueList, &data.RaceList,    &data.HeadcountList, &data.AgeList,
        &data.ClassList, &data.SurfaceList, &data.DistanceList};
    for (std::size_t k = 0; k < std::size(numeric); ++k) lists[kConditionKeys[k]] = *numeric[k];
    lists["date"] = data.DateList;
    return lists;
}

Json Selectors(const LoadedData& data) {
    Json selectors = Json::object();
    const auto items = BuildSelectorItems(data);
    for (std::size_t k = 0; k < items.size(); ++k) {
        Json texts = Json::array();
        for (const SelectorItem& item : items[k]) texts.push_back(item.text);
        selectors[kConditionKeys[k]] = texts;
    }
    return selectors;
}

}  // namespace

Json TallyJson(const TallyAccumulators& t) {
    return Json{{"WinPayout", t.WinPayout},
                {"PlacePayout", t.PlacePayout},
                {"QuinellaPayout", t.QuinellaPayout},
                {"WidePayout", t.WidePayout},
                {"WinHits", t.WinHits},
                {"PlaceHits", t.PlaceHits},
                {"QuinellaHits", t.QuinellaHits},
                {"WideHits", t.WideHits},
                {"PairTickets", t.PairTickets},
                {"ExtractedRaces", t.ExtractedRaces}};
}

Json BetsJson(const TallyFigures& figures) {
    Json bets = Json::object();
    for (const BetType bet : kBetTypes) {
        const BetFigures& f = figures.Bet(bet);
        bets[BetKey(bet)] = Json{{"stake", f.stake},
                                 {"payout", f.payout},
                                 {"profit", f.profit},
                                 {"recovery", f.recovery.Value()},
                                 {"hitRate", f.hitRate.Value()},
                                 {"averageDividend", f.averageDividend},
                                 {"hits", f.hits}};
    }
    return bets;
}

void WriteReportJson(std::ostream& out, const ProgramState& state, const std::string& description,
                     const std::optional<TallyResult>& tally) {
    const LoadedData& data = state.Loaded;
    JsonWriter json(out);
    json.BeginObject();
    json.Key("mask");
    json.String(state.PatternFileMask);
    json.Key("files");
    json.Value(data.Files);
    json.Key("recordCount");
    json.Value(data.Records.Size());
    // The records, the bulk of the output, one by one.
    json.Key("records");
    json.BeginArray();
    data.Records.ForEach([&](std::string_view text, bool) { json.String(text); });
    json.EndArray();
    json.Key("lists");
    json.Value(Lists(data));
    json.Key("selectors");
    json.Value(Selectors(data));
    json.Key("description");
    json.String(description);
    json.Key("tally");
    json.Value(tally ? TallyJson(state.Tally) : Json());
    json.Key("bets");
    json.Value(tally ? BetsJson(tally->figures) : Json());
    json.Key("report");
    json.Value(tally ? Json(tally->report) : Json());
    json.Key("message");
    json.Value(tally ? Json() : Json(kFileNotOpen));
    json.EndObject();
    json.Finish();
}

Json ConditionsJson(const RaceConditions& c) {
    const auto date = [](const std::string& yyyymmdd) {
        return yyyymmdd.empty() ? Json() : Json(DateText(yyyymmdd));
    };
    return Json{{"venue", c.venue},      {"race", c.race},
                {"runners", c.runners},  {"orMore", c.runnersOrMore == 1},
                {"age", c.age},          {"class", c.raceClass},
                {"surface", c.surface},  {"distance", c.distance},
                {"date", c.date},        {"from", date(c.firstDate)},
                {"to", date(c.lastDate)}};
}

std::string MessageJson(const std::string& message) { return DumpJson(Json{{"message", message}}); }

}  // namespace lomi
