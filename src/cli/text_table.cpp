#include "cli/text_table.h"

#include <algorithm>

#include "tally/utf8_chars.h"

namespace lomi {
namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF01 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

}  // namespace

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < utf8.size();) width += IsWide(NextCodePoint(utf8, pos)) ? 2 : 1;
    return width;
}

std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<bool>& rightAligned) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) line += "  ";
            const std::string fill(widths[i] - DisplayWidth(row[i]), ' ');
            const bool right = i < rightAligned.size() && rightAligned[i];
            line += right ? fill + row[i] : row[i] + fill;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         std::size_t leftColumns) {
    std::size_t columns = 0;
    for (const auto& row : rows) columns = std::max(columns, row.size());
    std::vector<bool> rightAligned(columns, true);
    for (std::size_t i = 0; i < leftColumns && i < columns; ++i) rightAligned[i] = false;
    return AlignedTable(rows, rightAligned);
}

}  // namespace lomi
