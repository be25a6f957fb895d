// Code page 932 decodes the same on every platform: the decoding of every
// single byte and of every pair of a high byte and any byte, as text, has
// one digest everywhere. With LOMI_CP932_DUMP set, the text is also written
// to that file, so that the dumps of two builds can be compared whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "data/cp932.h"

namespace lomi {
namespace {

void AppendLine(std::string& dump, const std::string& bytes) {
    char text[16];
    for (char b : bytes) {
        std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(b));
        dump += text;
    }
    std::u32string points;
    DecodeCp932(bytes, points);
    for (char32_t c : points) {
        std::snprintf(text, sizeof text, " U+%04X", static_cast<unsigned>(c));
        dump += text;
    }
    dump += '\n';
}

std::string Dump() {
    std::string dump;
    for (int b = 0; b < 256; ++b) AppendLine(dump, std::string(1, static_cast<char>(b)));
    for (int lead = 0x80; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            AppendLine(dump, {static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return dump;
}

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3u;
    }
    return hash;
}

TEST(Cp932Dump, EveryByteAndPairDecodesAsOnWindows) {
    const std::string dump = Dump();
    if (const char* file = std::getenv("LOMI_CP932_DUMP")) {
        std::ofstream(file, std::ios::binary) << dump;
    }
    EXPECT_EQ(dump.size(), 557924u);
    EXPECT_EQ(Fnv1a(dump), 0x4ACB8E200C3356D0u) << std::hex << Fnv1a(dump);
}

}  // namespace
}  // namespace lomi
