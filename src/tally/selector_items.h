#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/program_state.h"

namespace lomi {

// Name tables of the main window's selectors; value v is entry v (from 1).
const std::vector<std::string>& VenueNames();      // 札幌 … 小倉 (10)
const std::vector<std::string>& RaceNames();       // １レース … １２レース (12)
const std::vector<std::string>& HeadcountNames();  // １頭 … １８頭 (18)
const std::vector<std::string>& AgeNames();        // ２歳 … ４歳上 (5)
const std::vector<std::string>& ClassNames();      // 新馬 … オープン (6)
const std::vector<std::string>& SurfaceNames();    // 芝, ダート (2)

// Entry value (from 1) of a name table, or the number itself ("11", "-5")
// when the table has no such entry: the data may hold any code, and the
// selector still needs a text for it.
std::string NameOrNumber(const std::vector<std::string>& names, int value);

// "@@@@m" of hundreds × 100: 8 gives " 800m", 16 gives "1600m"; longer
// numbers are never cut.
std::string DistanceText(std::int32_t hundreds);

// YYYYMMDD to YYYY-MM-DD by characters: 1-4, "-", 5-6, "-", 7-8 of whatever
// the text holds (an empty date gives "--").
std::string DateText(std::string_view yyyymmdd);

struct SelectorItem {
    std::string text;
    std::int32_t data = 0;

    bool operator==(const SelectorItem&) const = default;
};

// The items of the eight main-window selectors after a load, in the order
// The eight condition selectors (venue, race, runners, age, class, surface, distance,
// date). Each starts with "全抽出" (data 0) and follows its list's order;
// date items carry data 0.
std::vector<std::vector<SelectorItem>> BuildSelectorItems(const LoadedData& data);

}  // namespace lomi
