#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// CSV as RFC 4180 writes it, shared by every table Lomi saves or prints:
// fields joined by commas, rows ended by CR LF, and a field that holds a
// comma, a double quote, CR or LF (or starts or ends with a blank) put in
// double quotes with its quotes doubled.

// The byte order mark that makes spreadsheet programs read the file as
// UTF-8 (Japanese text would otherwise come out garbled).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string CsvField(std::string_view text);

// One row, with its CR LF.
std::string CsvRow(const std::vector<std::string>& fields);
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& fields);

}  // namespace lomi
