#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// Columns a UTF-8 text takes on a terminal: two for wide characters (kanji,
// kana, full-width forms), one for the rest, half-width katakana included.
std::size_t DisplayWidth(std::string_view utf8);

// Rows of cells as a text table, each column padded with blanks to its
// widest cell, two blanks between columns; the columns rightAligned[i]
// right-aligned. Lines end in LF, trailing blanks left off.
std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<bool>& rightAligned);

// The same with the first leftColumns columns left-aligned and the rest
// right-aligned, as numbers are.
std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         std::size_t leftColumns);

}  // namespace lomi
