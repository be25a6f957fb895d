#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lomi {

// The numeric value of a text: blanks and tabs anywhere are ignored; the
// longest leading part that reads as a decimal number (optional sign, digits,
// optional decimal point and digits, optional exponent) gives the value; a
// text that does not begin with a number reads as 0. Text is UTF-8.
double NumericValue(std::string_view text);

// Whether the whole text, blanks around it allowed, reads as one number.
bool IsWholeNumberText(std::string_view text);

// Rounds to the nearest integer, an exact half going to the even neighbour.
double RoundHalfEven(double value);

// value rounded half to even, or nothing when it lies outside -32768..32767.
std::optional<std::int16_t> ToInt16(double value);

}  // namespace lomi
