#include "data/numeric_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace lomi {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without blanks and tabs.
std::string Compact(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!IsBlank(c)) out.push_back(c);
    }
    return out;
}

// Length of the longest leading part of s that reads as a decimal number,
// 0 when s does not begin with one.
std::size_t NumberPrefixLength(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < s.size() && IsDigit(s[j])) ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        std::size_t exponent = 0;
        while (j < s.size() && IsDigit(s[j])) ++j, ++exponent;
        if (exponent > 0) i = j;
    }
    return i;
}

double ParsePrefix(const std::string& s, std::size_t length) {
    if (length == 0) return 0.0;
    const std::string number = s.substr(0, length);
    // strtod in the "C" locale reads exactly the form accepted above.
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) value = number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return value;
}

}  // namespace

double NumericValue(std::string_view text) {
    const std::string s = Compact(text);
    return ParsePrefix(s, NumberPrefixLength(s));
}

bool IsWholeNumberText(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const std::string_view core = text.substr(begin, end - begin);
    return !core.empty() && NumberPrefixLength(core) == core.size();
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::optional<std::int16_t> ToInt16(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace lomi
