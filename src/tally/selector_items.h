#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/program_state.h"

namespace lomi {

const std::vector<std::string>& VenueNames();
const std::vector<std::string>& RaceNames();
const std::vector<std::string>& HeadcountNames();
const std::vector<std::string>& AgeNames();
const std::vector<std::string>& ClassNames();
const std::vector<std::string>& SurfaceNames();

// Entry v (from 1) of a name table, or the number itself when the table has
// no such entry.
std::string NameOrNumber(const std::vector<std::string>& names, int value);

std::string DistanceText(std::int16_t hundreds);   // "@@@@m": 8 gives " 800m"
std::string DateText(std::string_view yyyymmdd);   // 20010505 gives 2001-05-05

struct SelectorItem {
    std::string text;
    std::int32_t data = 0;
};

// The items of the eight main-window selectors after a load, "全抽出" (data
// 0) first, in the order Combo1 … Combo8.
std::vector<std::vector<SelectorItem>> BuildSelectorItems(const LoadedData& data);

}  // namespace lomi
