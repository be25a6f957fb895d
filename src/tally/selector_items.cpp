#include "tally/selector_items.h"

#include "tally/race_filter.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

std::vector<SelectorItem> NamedItems(const std::vector<std::int16_t>& values,
                                     const std::vector<std::string>& names) {
    std::vector<SelectorItem> items = {{kAllRaces, 0}};
    for (std::int16_t v : values) items.push_back({NameOrNumber(names, v), v});
    return items;
}

}  // namespace

const std::vector<std::string>& VenueNames() {
    static const std::vector<std::string> names = {"札幌", "函館", "福島", "新潟", "東京",
                                                   "中山", "中京", "京都", "阪神", "小倉"};
    return names;
}

const std::vector<std::string>& RaceNames() {
    static const std::vector<std::string> names = {
        "１レース", "２レース", "３レース", "４レース",   "５レース",   "６レース",
        "７レース", "８レース", "９レース", "１０レース", "１１レース", "１２レース"};
    return names;
}

const std::vector<std::string>& HeadcountNames() {
    static const std::vector<std::string> names = {
        "１頭",   "２頭",   "３頭",   "４頭",   "５頭",   "６頭",   "７頭",   "８頭",   "９頭",
        "１０頭", "１１頭", "１２頭", "１３頭", "１４頭", "１５頭", "１６頭", "１７頭", "１８頭"};
    return names;
}

const std::vector<std::string>& AgeNames() {
    static const std::vector<std::string> names = {"２歳", "３歳", "４歳", "３歳上", "４歳上"};
    return names;
}

const std::vector<std::string>& ClassNames() {
    static const std::vector<std::string> names = {"新馬",       "未勝利",       "５００万下",
                                                   "９００万下", "１６００万下", "オープン"};
    return names;
}

const std::vector<std::string>& SurfaceNames() {
    static const std::vector<std::string> names = {"芝", "ダート"};
    return names;
}

std::string NameOrNumber(const std::vector<std::string>& names, int value) {
    if (value >= 1 && static_cast<std::size_t>(value) <= names.size()) return names[value - 1];
    return std::to_string(value);
}

std::string DistanceText(std::int32_t hundreds) {
    return PadLeft(std::to_string(static_cast<std::int64_t>(hundreds) * 100), 4) + "m";
}

std::string DateText(std::string_view yyyymmdd) {
    std::string text(CharSlice(yyyymmdd, 1, 4));
    text += '-';
    text += CharSlice(yyyymmdd, 5, 2);
    text += '-';
    text += CharSlice(yyyymmdd, 7, 2);
    return text;
}

std::vector<std::vector<SelectorItem>> BuildSelectorItems(const LoadedData& data) {
    std::vector<std::vector<SelectorItem>> selectors;
    selectors.push_back(NamedItems(data.VenueList, VenueNames()));
    selectors.push_back(NamedItems(data.RaceList, RaceNames()));
    selectors.push_back(NamedItems(data.HeadcountList, HeadcountNames()));
    selectors.push_back(NamedItems(data.AgeList, AgeNames()));
    selectors.push_back(NamedItems(data.ClassList, ClassNames()));
    selectors.push_back(NamedItems(data.SurfaceList, SurfaceNames()));

    std::vector<SelectorItem> distances = {{kAllRaces, 0}};
    for (std::int16_t v : data.DistanceList) distances.push_back({DistanceText(v), v});
    selectors.push_back(std::move(distances));

    std::vector<SelectorItem> dates = {{kAllRaces, 0}};
    for (const std::string& date : data.DateList) dates.push_back({DateText(date), 0});
    selectors.push_back(std::move(dates));
    return selectors;
}

}  // namespace lomi
