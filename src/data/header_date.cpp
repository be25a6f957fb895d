#include "data/header_date.h"

#include <cmath>
#include <cstdio>

#include "data/cp932.h"
#include "data/numeric_text.h"

namespace lomi {
namespace {

// A whole number with at least minDigits digits, leading zeros added and a
// minus sign before them; halves round away from zero, as the number
// formats of the program do.
std::string FormatWhole(double value, int minDigits) {
    double rounded = std::round(value);
    if (rounded == 0) rounded = 0;  // no "-00"
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(rounded));
    std::string text = rounded < 0 ? "-" : "";
    const int length = static_cast<int>(std::char_traits<char>::length(digits));
    if (length < minDigits) text.append(static_cast<std::size_t>(minDigits - length), '0');
    return text + digits;
}

std::string Field(std::string_view bytes, std::size_t first, std::size_t width, int minDigits) {
    if (first > bytes.size()) return {};
    const std::string text = DecodeCp932(bytes.substr(first - 1, width));
    if (!IsWholeNumberText(text)) return text;
    // A number too large for a double ("1e999") has no digits to write.
    const double value = NumericValue(text);
    if (!std::isfinite(value)) return text;
    return FormatWhole(value, minDigits);
}

}  // namespace

std::string HeaderDate(std::string_view encodedLine) {
    // Fields are addressed in two-byte units; a last odd byte is in none.
    const std::string_view units = encodedLine.substr(0, encodedLine.size() & ~std::size_t{1});
    return Field(units, 11, 8, 4) + Field(units, 49, 4, 2) + Field(units, 59, 4, 2);
}

}  // namespace lomi
