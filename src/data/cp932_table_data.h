#pragma once

#include <cstddef>
#include <cstdint>

// Code page 932 as Windows converts it, in the generated file
// cp932_table_data.cpp (tools/cp932_table writes it under Wine).
namespace lomi::cp932_data {

// The single-byte table marks lead bytes and bytes that are no character.
inline constexpr char16_t kLeadByte = 0xFFFE;
inline constexpr char16_t kNoCharacter = 0xFFFF;
extern const char16_t kSingle[256];

// One row per lead byte, in byte order, of the code points of the trail
// bytes kFirstTrail..kLastTrail; 0 where the pair is no character. No
// trail byte outside that range makes a character.
inline constexpr int kLeadCount = 60;
inline constexpr int kFirstTrail = 0x40;
inline constexpr int kLastTrail = 0xFC;
extern const char16_t kPairs[kLeadCount][kLastTrail - kFirstTrail + 1];

// Code points that several byte sequences decode to, each with the
// sequence Windows writes for it (lead << 8 | trail).
struct Choice {
    char16_t codePoint;
    std::uint16_t bytes;
};
extern const Choice kChoices[];
extern const std::size_t kChoiceCount;

}  // namespace lomi::cp932_data
