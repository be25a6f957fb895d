// Prints src/data/cp932_table_data.cpp: every single byte and every lead and
// trail byte pair of code page 932 through MultiByteToWideChar, and for each
// character that several sequences decode to, the sequence
// WideCharToMultiByte writes. Windows only (run under Wine on Linux).
#include <windows.h>

#include <cstdio>
#include <map>
#include <vector>

#include "data/cp932_table_data.h"

namespace {

using namespace lomi::cp932_data;

constexpr UINT kCodePage = 932;

unsigned Encode(wchar_t c) {
    char out[4];
    BOOL usedDefault = FALSE;
    const int produced = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, out,
                                             sizeof out, nullptr, &usedDefault);
    if (usedDefault || produced < 1 || produced > 2) return 0;
    if (produced == 1) return static_cast<unsigned char>(out[0]);
    return static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]);
}

// The UTF-16 unit that bytes decode to, or 0 when they are not exactly one
// character. Windows' table maps 0xA0 and 0xFD-0xFF to private-use
// characters, which Wine's MB_ERR_INVALID_CHARS refuses: so a sequence also
// counts when the plain conversion gives a character that converts back to
// the same bytes (an invalid sequence gives the default character, which
// does not).
wchar_t Decode(const unsigned char* bytes, int size) {
    wchar_t out[4];
    const char* text = reinterpret_cast<const char*>(bytes);
    if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text, size, out, 4) == 1) {
        return out[0];
    }
    if (MultiByteToWideChar(kCodePage, 0, text, size, out, 4) != 1) return 0;
    const unsigned sequence =
        size == 1 ? bytes[0] : static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
    return Encode(out[0]) == sequence ? out[0] : 0;
}

int Fail(const char* what) {
    std::fprintf(stderr, "lomi-cp932-table: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    char16_t single[256];
    std::vector<int> leads;
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        if (IsDBCSLeadByteEx(kCodePage, byte)) {
            single[b] = kLeadByte;
            leads.push_back(b);
        } else {
            const wchar_t c = Decode(&byte, 1);
            single[b] = (c != 0 || b == 0) ? static_cast<char16_t>(c) : kNoCharacter;
        }
    }
    if (static_cast<int>(leads.size()) != kLeadCount) return Fail("unexpected lead byte count");

    std::map<wchar_t, std::vector<unsigned>> sequences;
    for (int b = 0; b < 256; ++b) {
        if (single[b] != kLeadByte && single[b] != kNoCharacter && b != 0) {
            sequences[single[b]].push_back(static_cast<unsigned>(b));
        }
    }
    std::printf(
        "// Code page 932 as Windows converts it (MultiByteToWideChar and\n"
        "// WideCharToMultiByte). Written by tools/cp932_table; do not edit.\n"
        "// clang-format off\n"
        "#include \"data/cp932_table_data.h\"\n\n"
        "namespace lomi::cp932_data {\n\n"
        "const char16_t kSingle[256] = {\n");
    for (int b = 0; b < 256; ++b) {
        std::printf("%s0x%04X,%s", b % 16 == 0 ? "    " : " ", single[b], b % 16 == 15 ? "\n" : "");
    }
    std::printf("};\n\nconst char16_t kPairs[kLeadCount][kLastTrail - kFirstTrail + 1] = {\n");
    for (int lead : leads) {
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            const wchar_t c = Decode(bytes, 2);
            if (c == 0) continue;
            if (trail < kFirstTrail || trail > kLastTrail) return Fail("trail byte out of range");
            sequences[c].push_back(static_cast<unsigned>(lead << 8 | trail));
        }
        std::printf("    {  // 0x%02X\n", lead);
        for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            const int column = (trail - kFirstTrail) % 12;
            std::printf("%s0x%04X,%s", column == 0 ? "        " : " ", Decode(bytes, 2),
                        column == 11 || trail == kLastTrail ? "\n" : "");
        }
        std::printf("    },\n");
    }
    std::printf("};\n\nconst Choice kChoices[] = {\n");
    std::size_t choices = 0;
    for (const auto& [c, list] : sequences) {
        if (list.size() < 2) continue;
        const unsigned written = Encode(c);  // always two bytes here
        bool known = false;
        for (unsigned bytes : list) known = known || bytes == written;
        if (!known) return Fail("a character is written as none of its sequences");
        std::printf("    {0x%04X, 0x%04X},\n", c, written);
        ++choices;
    }
    std::printf("};\n\nconst std::size_t kChoiceCount = %zu;\n\n}  // namespace lomi::cp932_data\n",
                choices);
    return 0;
}
