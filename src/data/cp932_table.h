#pragma once

#include <array>
#include <cstdint>

namespace lomi {

// The whole of code page 932 as two lookup tables. Built once by the
// platform file from the system's converter.
struct Cp932Table {
    // Code point of a single byte, or 0 when the byte is a lead byte or unmapped
    // (byte 0 maps to U+0000 and is flagged in singleValid).
    std::array<char16_t, 256> single{};
    std::array<bool, 256> singleValid{};
    std::array<bool, 256> isLead{};
    // Code point of lead byte L and trail byte T at [(L - 0x80) * 256 + T], 0 when unmapped.
    std::array<char16_t, 128 * 256> pair{};
    // Bytes for a BMP code point: 0 when unmapped, a value < 0x100 for one
    // byte, else lead << 8 | trail. U+0000 maps to byte 0 (encodeZero).
    std::array<std::uint16_t, 65536> encode{};
};

// Built on first use from the platform converter; thread-safe.
const Cp932Table& GetCp932Table();

}  // namespace lomi
