#include "data/header_date.h"

#include <cmath>
#include <cstdio>
#include <optional>

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

// The usual field, blanks around digits (ASCII bytes, which decode to
// themselves), written at once: the digits without leading zeros, padded
// with zeros to minDigits. Nothing for any other field.
std::optional<std::string> PlainDigitsField(std::string_view field, int minDigits) {
    std::size_t begin = 0;
    std::size_t end = field.size();
    while (begin < end && field[begin] == ' ') ++begin;
    while (end > begin && field[end - 1] == ' ') --end;
    if (begin == end) return std::nullopt;
    for (std::size_t i = begin; i < end; ++i) {
        if (field[i] < '0' || field[i] > '9') return std::nullopt;
    }
    while (end - begin > 1 && field[begin] == '0') ++begin;
    std::string text;
    const auto digits = static_cast<int>(end - begin);
    if (digits < minDigits) text.assign(static_cast<std::size_t>(minDigits - digits), '0');
    text.append(field.substr(begin, end - begin));
    return text;
}

std::string Field(std::string_view bytes, std::size_t first, std::size_t width, int minDigits) {
    if (first > bytes.size()) return {};
    if (auto plain = PlainDigitsField(bytes.substr(first - 1, width), minDigits)) return *plain;
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
