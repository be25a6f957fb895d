// The streamed --json output against the whole document built in memory
// and dumped at once: the same bytes, odd records included.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/pattern_analysis.h"
#include "cli/json_writer.h"
#include "cli/report_json.h"

namespace lomi {
namespace {

using Json = nlohmann::ordered_json;

// The document as one value, as nlohmann lays it out.
std::string WholeDocument(const ProgramState& state, const std::string& description,
                          const std::optional<TallyResult>& tally) {
    const LoadedData& data = state.Loaded;
    Json records = Json::array();
    for (std::size_t i = 0; i < data.Records.Size(); ++i) {
        records.push_back(std::string(data.Records[i]));
    }
    const char* keys[] = {"venue", "race", "runners", "age", "class", "surface", "distance"};
    const std::vector<std::int16_t>* numeric[] = {
        &data.VenueList, &data.RaceList,    &data.HeadcountList, &data.AgeList,
        &data.ClassList, &data.SurfaceList, &data.DistanceList};
    Json lists = Json::object();
    for (std::size_t k = 0; k < 7; ++k) lists[keys[k]] = *numeric[k];
    lists["date"] = data.DateList;
    Json selectors = Json::object();
    const auto items = BuildSelectorItems(data);
    const char* selectorKeys[] = {"venue", "race",    "runners",  "age",
                                  "class", "surface", "distance", "date"};
    for (std::size_t k = 0; k < items.size(); ++k) {
        Json texts = Json::array();
        for (const SelectorItem& item : items[k]) texts.push_back(item.text);
        selectors[selectorKeys[k]] = texts;
    }
    Json json = Json::object();
    json["mask"] = state.PatternFileMask;
    json["files"] = data.Files;
    json["recordCount"] = data.Records.Size();
    json["records"] = std::move(records);
    json["lists"] = lists;
    json["selectors"] = selectors;
    json["description"] = description;
    json["tally"] = tally ? TallyJson(state.Tally) : Json();
    json["bets"] = tally ? BetsJson(tally->figures) : Json();
    json["report"] = tally ? Json(tally->report) : Json();
    json["message"] = tally ? Json() : Json(kFileNotOpen);
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

TEST(ReportJson, StreamedBytesAreThoseOfTheWholeDocument) {
    ProgramState state;
    state.DataFolder = LOMI_SAMPLES_DIR;
    ASSERT_TRUE(SelectPattern(state, *ParsePatternCode("R2FB")));
    ASSERT_TRUE(CommitLoad(state, LoadPattern(state.DataFolder, state.PatternFileMask)));
    // Records that need escaping or repair, between the usual ones.
    for (const char* odd : {"05111646116  23\"12\\   0    0320010415", "0511\t1646116\x01\x1f",
                            "札幌\xFF\xC3", "", "05111646116  23  12    0    0320010415 ｱ"}) {
        state.Loaded.Records.Append(odd);
    }
    state.Loaded.Files.push_back("P\"odd\\.txt");
    const std::string description = "仮単人気の１位からＲ値への流し馬券";
    const TallyResult tally = TallyLoaded(state, RaceConditions{});
    for (const std::optional<TallyResult>& result :
         {std::optional<TallyResult>(tally), std::optional<TallyResult>()}) {
        std::ostringstream streamed;
        WriteReportJson(streamed, state, description, result);
        EXPECT_EQ(streamed.str(), WholeDocument(state, description, result));
    }
    ProgramState nothing;
    std::ostringstream empty;
    WriteReportJson(empty, nothing, "", std::nullopt);
    EXPECT_EQ(empty.str(), WholeDocument(nothing, "", std::nullopt));
}

TEST(JsonWriter, NestedValuesAndEmptyContainers) {
    const Json value = {{"a", Json::array()},
                        {"b", Json::object()},
                        {"c", {{"d", {1, 2, {{"e", "f\n"}}}}}},
                        {"g", nullptr}};
    std::ostringstream out;
    {
        JsonWriter json(out);
        json.BeginArray();
        json.Value(value);
        json.BeginObject();
        json.EndObject();
        json.BeginArray();
        json.String("x\"y");
        json.EndArray();
        json.EndArray();
        json.Finish();
    }
    const Json whole = Json::array({value, Json::object(), Json::array({"x\"y"})});
    EXPECT_EQ(out.str(), DumpJson(whole));
}

}  // namespace
}  // namespace lomi
