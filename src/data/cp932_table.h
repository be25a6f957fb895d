#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lomi {

// The whole of code page 932 as lookup tables, built once from the table
// generated from Windows' own conversion (cp932_table_data.cpp), so that
// every platform decodes and encodes exactly as Windows does.
struct Cp932Table {
    // Code point of a single byte; singleValid tells whether the byte is a
    // character on its own (byte 0 is U+0000, so 0 alone cannot say).
    std::array<char16_t, 256> single{};
    std::array<bool, 256> singleValid{};
    // Bytes that begin a two-byte character.
    std::array<bool, 256> isLead{};
    // Code point of lead byte L and trail byte T at [(L - 0x80) * 256 + T],
    // 0 when the pair is not a character.
    std::array<char16_t, 128 * 256> pair{};
    // Bytes for a BMP code point: 0 when it has none, a value < 0x100 for one
    // byte, else lead << 8 | trail. U+0000 is written as byte 0 by the
    // encoder itself. Only characters that decode from some sequence are
    // here (no best-fit substitutes such as the yen sign for 0x5C, which
    // would not read back as written); code points with several sequences
    // (the NEC and IBM duplicates) hold the one Windows writes.
    std::array<std::uint16_t, 65536> encode{};

    char16_t Pair(unsigned char lead, unsigned char trail) const {
        return lead >= 0x80 ? pair[(lead - 0x80) * 256 + trail] : 0;
    }

    // Bytes taken by the character at p (left > 0 bytes remain): 2 for a
    // lead byte followed by a trail byte that completes a character, else 1
    // (a byte that is no character is a character slot of its own).
    std::size_t CharLength(const unsigned char* p, std::size_t left) const {
        return isLead[p[0]] && left > 1 && Pair(p[0], p[1]) != 0 ? 2 : 1;
    }

    // Code point of the character of length bytes at p, U+FFFD when it is none.
    char32_t CodePoint(const unsigned char* p, std::size_t length) const {
        if (length == 2) return Pair(p[0], p[1]);
        return singleValid[p[0]] ? single[p[0]] : U'\uFFFD';
    }
};

// Built on first use; thread-safe.
const Cp932Table& GetCp932Table();

}  // namespace lomi
