#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lomi {

// Records and selector texts are UTF-8, but their fields are addressed by
// character. These helpers walk UTF-8 one character at a time without
// allocating; a malformed byte counts as one character of its own (U+FFFD),
// so a damaged text never stops the walk.

// The code point that starts at text[pos], advancing pos past it.
inline char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return U'\uFFFD';
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return U'\uFFFD';
        }
        value = (value << 6) | (next & 0x3F);
    }
    pos += length;
    return value;
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
