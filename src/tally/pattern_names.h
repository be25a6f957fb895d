#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// The four selectors of the pattern dialog, item texts in list order.
const std::vector<std::string>& IndexKindNames();  // Ｔ値 … 仮単人気 (Combo1, Combo3)
const std::vector<std::string>& AxisRankNames();   // １位 … ５位
const std::vector<std::string>& BetStyleNames();   // 流し, ボックス

// "P*" + index code + rank digit + index code + bet-style code + ".txt";
// nothing when a selection is out of its range.
std::optional<std::string> BuildPatternFileMask(std::int16_t con1, std::int16_t con2,
                                                std::int16_t con3, std::int16_t con4);

// The four pattern characters as written by users and the command line
// (Q1RN, T5PB, …) to the four selections; nothing when the code is invalid.
struct PatternSelections {
    std::int16_t con1, con2, con3, con4;
};
std::optional<PatternSelections> ParsePatternCode(std::string_view code);

// 仮単人気の１位からＲ値への流し馬券, Ｔ値の２位とＦ値のボックス馬券, …
std::string DescribePattern(std::string_view axisIndex, std::string_view axisRank,
                            std::string_view partnerIndex, std::string_view betStyle,
                            std::int16_t con4);

}  // namespace lomi
