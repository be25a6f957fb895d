#include "data/cp932_table.h"

#include <vector>

namespace lomi {

void FillEncodeTable(Cp932Table& table, std::uint16_t (*platformEncode)(char32_t c, void* context),
                     void* context) {
    std::vector<char16_t> duplicates;
    const auto add = [&](char16_t c, std::uint16_t bytes) {
        if (c == 0) return;
        if (table.encode[c] == 0) {
            table.encode[c] = bytes;
        } else {
            duplicates.push_back(c);
        }
    };
    for (int b = 0; b < 256; ++b) {
        if (table.singleValid[b]) add(table.single[b], static_cast<std::uint16_t>(b));
    }
    for (int lead = 0x80; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            add(table.pair[(lead - 0x80) * 256 + trail],
                static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
    for (char16_t c : duplicates) {
        const std::uint16_t bytes = platformEncode(c, context);
        if (bytes != 0) table.encode[c] = bytes;
    }
}

}  // namespace lomi
