#include "cli/text_table.h"

#include <algorithm>

#include "tally/utf8_chars.h"

namespace lomi {

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, pos);
        const bool narrow = c < 0x1100 || (c >= 0xFF61 && c <= 0xFF9F);
        width += narrow ? 1 : 2;
    }
    return width;
}

std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         std::size_t leftColumns) {
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
            const std::string pad(widths[i] - DisplayWidth(row[i]), ' ');
            if (i > 0) line += "  ";
            line += i < leftColumns ? row[i] + pad : pad + row[i];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

}  // namespace lomi
