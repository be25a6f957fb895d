#pragma once

#include <string>
#include <string_view>

#include "analysis/breakdown.h"

namespace lomi {

// The bytes of the files Lomi saves its results in.

enum class TextEncoding {
    Utf8,   // UTF-8, no byte order mark
    Cp932,  // Shift-JIS, code page 932, as the ticket files are written
};

struct ReportFile {
    std::string bytes;
    // False when a character has no form in the encoding (it is written as
    // "?"); the report's own texts always have one.
    bool representable = true;
};

// The report text as the report box shows it, every line ended by CR LF.
ReportFile ReportFileBytes(std::string_view report, TextEncoding encoding);

// The report as a file holds it: the pattern's description and the
// conditions ("条件: 開催 東京、…"), a blank line, then the report, so a
// saved file says what it is the report of.
std::string ReportWithContext(std::string_view description, const RaceConditions& conditions,
                              std::string_view report);

// The breakdown as CSV in UTF-8 with a byte order mark, so that spreadsheet
// programs read its Japanese texts.
std::string BreakdownCsvFile(const Breakdown& breakdown);

}  // namespace lomi
