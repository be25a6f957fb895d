#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data/cp932.h"

namespace lomi {

// Records and selector texts are UTF-8, but their fields are addressed by
// character. These helpers walk UTF-8 one character at a time without
// allocating; a malformed byte counts as one character of its own (U+FFFD),
// so a damaged text never stops the walk.

// The code point that starts at text[pos], advancing pos past it.
inline char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    if (static_cast<unsigned char>(text[pos]) < 0x80)
        return static_cast<unsigned char>(text[pos++]);
    return NextUtf8(text, pos);
}

// Characters first .. first + count - 1 (1-based) of text, as many as exist.
inline std::string_view CharSlice(std::string_view text, std::size_t first, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t skipped = 1; skipped < first && pos < text.size(); ++skipped) {
        NextCodePoint(text, pos);
    }
    const std::size_t begin = pos;
    for (std::size_t taken = 0; taken < count && pos < text.size(); ++taken) {
        NextCodePoint(text, pos);
    }
    return text.substr(begin, pos - begin);
}

inline std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) NextCodePoint(text, pos);
    return count;
}

// Left-pads text with spaces to width characters; longer texts stay whole.
inline std::string PadLeft(std::string_view text, std::size_t width) {
    const std::size_t count = CharCount(text);
    std::string out;
    if (count < width) out.assign(width - count, ' ');
    out.append(text);
    return out;
}

}  // namespace lomi
