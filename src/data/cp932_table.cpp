#include "data/cp932_table.h"

#include <memory>

#include "data/cp932_table_data.h"

namespace lomi {
namespace {

std::unique_ptr<Cp932Table> BuildTable() {
    using namespace cp932_data;
    auto table = std::make_unique<Cp932Table>();
    int row = 0;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = kSingle[b];
        if (c == kLeadByte) {
            table->isLead[b] = true;
            for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
                table->pair[(b - 0x80) * 256 + trail] = kPairs[row][trail - kFirstTrail];
            }
            ++row;
        } else if (c != kNoCharacter) {
            table->single[b] = c;
            table->singleValid[b] = true;
        }
    }

    // Each character's first sequence, single bytes before pairs; then the
    // one Windows writes where there are several.
    const auto add = [&](char16_t c, std::uint16_t bytes) {
        if (c != 0 && table->encode[c] == 0) table->encode[c] = bytes;
    };
    for (int b = 0; b < 256; ++b) {
        if (table->singleValid[b]) add(table->single[b], static_cast<std::uint16_t>(b));
    }
    for (int lead = 0x80; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            add(table->pair[(lead - 0x80) * 256 + trail],
                static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
    for (std::size_t i = 0; i < kChoiceCount; ++i) {
        table->encode[kChoices[i].codePoint] = kChoices[i].bytes;
    }
    return table;
}

}  // namespace

const Cp932Table& GetCp932Table() {
    static const std::unique_ptr<Cp932Table> table = BuildTable();
    return *table;
}

}  // namespace lomi
