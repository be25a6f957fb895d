#pragma once

#include <string>
#include <string_view>

#include "data/cp932.h"

namespace lomi::test {

// Whole texts between UTF-8 and code points, for tests that compare
// characters; built on the core's one-character conversions.
inline std::u32string Utf8ToU32(std::string_view utf8) {
    std::u32string out;
    for (std::size_t pos = 0; pos < utf8.size();) out.push_back(NextUtf8(utf8, pos));
    return out;
}

inline std::string U32ToUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

}  // namespace lomi::test
