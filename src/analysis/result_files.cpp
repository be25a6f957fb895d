#include "analysis/result_files.h"

#include <sstream>

#include "analysis/csv.h"
#include "analysis/figure_table.h"
#include "data/cp932.h"
#include "tally/condition_names.h"

namespace lomi {
namespace {

// Line ends as CR LF, whatever the text had: LF, CR LF or CR alone.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

ReportFile ReportFileBytes(std::string_view report, TextEncoding encoding) {
    ReportFile file;
    file.bytes = WithCrLf(report);
    if (encoding == TextEncoding::Cp932) file.bytes = EncodeCp932(file.bytes, &file.representable);
    return file;
}

std::string ReportWithContext(std::string_view description, const RaceConditions& conditions,
                              std::string_view report) {
    std::string text(description);
    text += "\r\n条件: " + ConditionsText(conditions) + "\r\n\r\n";
    text += report;
    return text;
}

std::string BreakdownCsvFile(const Breakdown& breakdown) {
    std::ostringstream out;
    out << kUtf8ByteOrderMark;
    WriteBreakdownCsv(out, breakdown);
    return out.str();
}

}  // namespace lomi
