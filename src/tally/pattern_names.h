#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/pattern_selections.h"

namespace lomi {

// The four selectors of the pattern dialog, item texts in list order; the
// item at position p (from 1) is selection p.
const std::vector<std::string>& IndexKindNames();  // Ｔ値 … 仮単人気 (axis and partner index)
const std::vector<std::string>& AxisRankNames();  // １位 … ５位 (axis rank)
const std::vector<std::string>& BetStyleNames();  // 流し, ボックス (bet style)

// File-mask letters of the index kinds ("TFRZWPQ") and bet styles ("NB").
inline constexpr std::string_view IndexKindCodes = "TFRZWPQ";
inline constexpr std::string_view BetStyleCodes = "NB";

// "P*" + index code + rank digit + index code + bet-style code + ".txt";
// nothing when a selection is out of its range (1..7, 1..5, 1..7, 1..2).
std::optional<std::string> BuildPatternFileMask(std::int16_t axisIndex, std::int16_t axisRank,
                                                std::int16_t partnerIndex, std::int16_t betStyle);

// The four pattern characters of a mask (Q1RN, T5PB, …; letters in either
// case) to the four selections; nothing when the code is invalid.
std::optional<PatternSelections> ParsePatternCode(std::string_view code);

// The selections back to their four characters ("Q1RN"); nothing when one
// is out of range.
std::optional<std::string> PatternCode(std::int16_t axisIndex, std::int16_t axisRank,
                                       std::int16_t partnerIndex, std::int16_t betStyle);

// 仮単人気の１位からＲ値への流し馬券, Ｔ値の２位とＦ値のボックス馬券, …:
// the wheel joiners から/への when betStyleNumber is 1, と/の otherwise.
std::string DescribePattern(std::string_view axisIndex, std::string_view axisRank,
                            std::string_view partnerIndex, std::string_view betStyle,
                            std::int16_t betStyleNumber);

// DescribePattern with the item texts of the four selections; nothing when
// one is out of range.
std::optional<std::string> DescribeSelections(std::int16_t axisIndex, std::int16_t axisRank,
                                              std::int16_t partnerIndex, std::int16_t betStyle);

}  // namespace lomi
