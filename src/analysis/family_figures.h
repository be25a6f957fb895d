#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/pattern_ranking.h"
#include "tally/bet_type.h"

namespace lomi {

// The figures of a bet type that depend on every pattern ranked beside a
// pattern: the bound corrected for the patterns tried (the max-T bootstrap
// over race days) and the expected recovery (shrinkage toward the
// patterns' mean). The family is the patterns that take part (TakesPart)
// with a standard error, over the earlier part of a split.

struct FamilyRowFigures {
    std::string code;
    std::optional<double> recoveryLowAdjusted;  // percent
    bool significant = false;                   // recoveryLowAdjusted above 100%
    std::optional<double> expectedRecovery;     // percent
    std::optional<double> probabilityAbove100;  // 0 to 1
};

struct FamilyFigures {
    BetType bet = BetType::Win;
    std::int64_t minRaces = 0;
    std::size_t distinctRows = 0;  // rows whose day sums differ: the tries
    std::size_t days = 0;          // N: the days any row staked or paid on
    std::optional<double> criticalValue;
    std::vector<FamilyRowFigures> rows;  // the family, by code
};

// Reads the patterns only: safe on a thread of its own while the patterns
// stay alive and their day sums unchanged.
FamilyFigures EstimateFamilyFigures(const std::vector<PatternRanking>& patterns, BetType bet,
                                    std::int64_t minRaces, unsigned threads = 0);

// Writes the figures into the bet's earlier spreads; patterns outside the
// family get none.
void ApplyFamilyFigures(std::vector<PatternRanking>& patterns, const FamilyFigures& figures);

inline void SetFamilyFigures(std::vector<PatternRanking>& patterns, BetType bet,
                             std::int64_t minRaces) {
    ApplyFamilyFigures(patterns, EstimateFamilyFigures(patterns, bet, minRaces));
}

// Highest 期待回収率 of bet first, then the patterns without one by
// recovery (SortByRecovery's order); patterns that failed go last.
void SortByExpected(std::vector<PatternRanking>& patterns, BetType bet);

}  // namespace lomi
