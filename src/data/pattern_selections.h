#pragma once

#include <cstdint>

namespace lomi {

// The four choices of the pattern dialog, each a position from 1 in its list
// (0 for no choice): the axis horse's index and rank, the partners' index and
// the bet style (1 流し, 2 ボックス). The settings keep them as CON1..CON4.
struct PatternSelections {
    std::int16_t axisIndex = 0;
    std::int16_t axisRank = 0;
    std::int16_t partnerIndex = 0;
    std::int16_t betStyle = 0;

    bool operator==(const PatternSelections&) const = default;
};

}  // namespace lomi
