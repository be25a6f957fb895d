#pragma once

#include <string>
#include <string_view>

namespace lomi {

// The race date of a header line, from its code page 932 encoding: the year
// in bytes 11-18, the month in 49-52 and the day in 59-62 (1-based), fewer
// bytes when the encoding is shorter, and an odd last byte never read. Each
// field is decoded back to text; one that reads as a number is rounded and
// written with at least 4 (year) or 2 (month, day) digits, any other is kept
// as it is. The result is year, month and day joined (UTF-8).
std::string HeaderDate(std::string_view encodedLine);

}  // namespace lomi
