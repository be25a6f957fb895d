#include "data/cp932_table.h"

#include <windows.h>

#include <memory>

namespace lomi {
namespace {

constexpr UINT kCodePage = 932;

// Decodes bytes to a single UTF-16 unit, or returns false.
bool DecodeOne(const unsigned char* bytes, int size, char16_t& out) {
    wchar_t buffer[4];
    const int produced = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS,
                                             reinterpret_cast<const char*>(bytes), size, buffer, 4);
    if (produced != 1) return false;
    out = static_cast<char16_t>(buffer[0]);
    return true;
}

std::unique_ptr<Cp932Table> BuildTable() {
    auto table = std::make_unique<Cp932Table>();
    for (int b = 0; b < 256; ++b) {
        if (IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(b))) {
            table->isLead[b] = true;
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(b);
        char16_t c = 0;
        if (DecodeOne(&byte, 1, c)) {
            table->single[b] = c;
            table->singleValid[b] = true;
        }
    }
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!table->isLead[lead]) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            char16_t c = 0;
            if (DecodeOne(bytes, 2, c) && c != 0) {
                table->pair[(lead - 0x80) * 256 + trail] = c;
            }
        }
    }
    FillEncodeTable(
        *table,
        [](char32_t c, void*) -> std::uint16_t {
            const wchar_t wide = static_cast<wchar_t>(c);
            char out[4];
            BOOL usedDefault = FALSE;
            const int produced = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, out,
                                                     sizeof out, nullptr, &usedDefault);
            if (usedDefault) return 0;
            if (produced == 1) return static_cast<unsigned char>(out[0]);
            if (produced == 2) {
                return static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                  static_cast<unsigned char>(out[1]));
            }
            return 0;
        },
        nullptr);
    return table;
}

}  // namespace

const Cp932Table& GetCp932Table() {
    static const std::unique_ptr<Cp932Table> table = BuildTable();
    return *table;
}

}  // namespace lomi
