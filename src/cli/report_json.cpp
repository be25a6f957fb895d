#include "cli/report_json.h"

#include <nlohmann/json.hpp>

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

namespace {

// Texts come from decoded files and should be UTF-8; a stray byte becomes
// U+FFFD instead of ending the output.
std::string Dump(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string ReportJson(const ProgramState& state, const std::string& description,
                       const std::optional<TallyResult>& tally) {
    const LoadedData& data = state.Loaded;
    Json records = Json::array();
    for (std::size_t i = 0; i < data.Records.Size(); ++i) {
        records.push_back(std::string(data.Records[i]));
    }
    Json json = Json::object();
    json["mask"] = state.PatternFileMask;
    json["files"] = data.Files;
    json["recordCount"] = data.Records.Size();
    json["records"] = std::move(records);
    json["lists"] = Lists(data);
    json["selectors"] = Selectors(data);
    json["description"] = description;
    json["tally"] = tally ? TallyJson(state.Tally) : Json();
    json["bets"] = tally ? BetsJson(tally->figures) : Json();
    json["report"] = tally ? Json(tally->report) : Json();
    json["message"] = tally ? Json() : Json(kFileNotOpen);
    return Dump(json);
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

std::string MessageJson(const std::string& message) { return Dump(Json{{"message", message}}); }

}  // namespace lomi
