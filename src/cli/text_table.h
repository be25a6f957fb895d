#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// Columns a terminal's fixed-pitch font gives a text: one for ASCII and
// half-width katakana (ﾚｰｽ), two for full-width characters (東京, ５).
std::size_t DisplayWidth(std::string_view utf8);

// Rows of cells (the first the header) as lines of aligned columns, two
// blanks apart: the first leftColumns columns aligned left, the others
// right, as numbers are. Lines end in LF; no trailing blanks.
std::string AlignedTable(const std::vector<std::vector<std::string>>& rows,
                         std::size_t leftColumns);

}  // namespace lomi
