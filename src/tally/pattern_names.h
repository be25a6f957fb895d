#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// The four selectors of the pattern dialog, item texts in list order; the
// item at position p (from 1) is selection p.
const std::vector<std::string>& IndexKindNames();  // Ｔ値 … 仮単人気 (Combo1, Combo3)
const std::vector<std::string>& AxisRankNames();   // １位 … ５位 (Combo2)
const std::vector<std::string>& BetStyleNames();   // 流し, ボックス (Combo4)

// File-mask letters of the index kinds ("TFRZWPQ") and bet styles ("NB").
inline constexpr std::string_view IndexKindCodes = "TFRZWPQ";
inline constexpr std::string_view BetStyleCodes = "NB";

// "P*" + index code + rank digit + index code + bet-style code + ".txt";
// nothing when a selection is out of its range (1..7, 1..5, 1..7, 1..2).
std::optional<std::string> BuildPatternFileMask(std::int16_t con1, std::int16_t con2,
                                                std::int16_t con3, std::int16_t con4);

// The four pattern characters of a mask (Q1RN, T5PB, …; letters in either
// case) to the four selections; nothing when the code is invalid.
struct PatternSelections {
    std::int16_t con1, con2, con3, con4;
};
std::optional<PatternSelections> ParsePatternCode(std::string_view code);

// The selections back to their four characters ("Q1RN"); nothing when one
// is out of range.
std::optional<std::string> PatternCode(std::int16_t con1, std::int16_t con2, std::int16_t con3,
                                       std::int16_t con4);

// 仮単人気の１位からＲ値への流し馬券, Ｔ値の２位とＦ値のボックス馬券, …:
// the wheel joiners から/への when con4 is 1, と/の otherwise.
std::string DescribePattern(std::string_view axisIndex, std::string_view axisRank,
                            std::string_view partnerIndex, std::string_view betStyle,
                            std::int16_t con4);

// DescribePattern with the item texts of the four selections; nothing when
// one is out of range.
std::optional<std::string> DescribeSelections(std::int16_t con1, std::int16_t con2,
                                              std::int16_t con3, std::int16_t con4);

}  // namespace lomi
