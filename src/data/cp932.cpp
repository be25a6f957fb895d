#include "data/cp932.h"

#include "data/cp932_table.h"

namespace lomi {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

void EncodeOne(const Cp932Table& table, char32_t c, std::string& out, bool& representable) {
    if (c == 0) {
        out.push_back('\0');
        return;
    }
    const std::uint16_t bytes = c < 0x10000 ? table.encode[c] : 0;
    if (bytes == 0) {
        out.push_back('?');
        representable = false;
    } else if (bytes < 0x100) {
        out.push_back(static_cast<char>(bytes));
    } else {
        out.push_back(static_cast<char>(bytes >> 8));
        out.push_back(static_cast<char>(bytes & 0xFF));
    }
}

}  // namespace

char32_t NextUtf8(std::string_view utf8, std::size_t& pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char b = at(pos);
    if (b < 0x80) {
        ++pos;
        return b;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2, c = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, c = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4, c = b & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > utf8.size()) {
        ++pos;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(at(pos + i))) {
            ++pos;
            return kReplacement;
        }
        c = c << 6 | (at(pos + i) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void DecodeCp932(std::string_view bytes, std::u32string& out) {
    const Cp932Table& table = GetCp932Table();
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = table.CharLength(p + i, size - i);
        out.push_back(table.CodePoint(p + i, length));
        i += length;
    }
}

void AppendDecodedCp932(std::string_view bytes, std::string& out) {
    const Cp932Table& table = GetCp932Table();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        // Bytes below 0x80 are the same characters in both encodings.
        std::size_t run = i;
        while (run < size && p[run] < 0x80) ++run;
        out.append(bytes.data() + i, run - i);
        i = run;
        if (i == size) break;
        const std::size_t length = table.CharLength(p + i, size - i);
        AppendUtf8(out, table.CodePoint(p + i, length));
        i += length;
    }
}

std::string DecodeCp932(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    AppendDecodedCp932(bytes, out);
    return out;
}

void EncodeCp932(std::u32string_view text, std::string& out, bool* representable) {
    const Cp932Table& table = GetCp932Table();
    out.clear();
    bool all = true;
    for (char32_t c : text) EncodeOne(table, c, out, all);
    if (representable) *representable = all;
}

std::string EncodeCp932(std::string_view utf8, bool* representable) {
    const Cp932Table& table = GetCp932Table();
    std::string out;
    out.reserve(utf8.size());
    bool all = true;
    for (std::size_t pos = 0; pos < utf8.size();) EncodeOne(table, NextUtf8(utf8, pos), out, all);
    if (representable) *representable = all;
    return out;
}

}  // namespace lomi
