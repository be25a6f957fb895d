#pragma once

#include <array>
#include <vector>

#include "seeded_random.h"

namespace lomi::samples {

// One race run once: every runner's place under each index, the finishing
// order and what the pari-mutuel pools paid. Every pattern's line of the
// race is read from it, so patterns with the same axis horse hold the same
// 単勝 and 複勝 payouts.
//
// Each runner has a hidden ability. The betting public reads it with some
// noise and sets the win pool by the chances it sees, a little too generous
// to longshots (so favourites return more of their stake than longshots
// do). Ｔ値, Ｆ値, Ｒ値 and Ｚ値 are noisier readings, built on what the
// public sees, so each carries real information but none beats the market. The place and
// pair pools follow from the win pool; 単勝人気, 複勝人気 and 仮単人気
// are the orders of the win pool, the place pool and the win pool some
// minutes before the off. The finish is the abilities plus the race's luck,
// which is larger on some venues' days (the going) than on others.
struct SimulatedRace {
    int runners = 0;
    // byIndex[i][p]: the horse number (from 1) at place p + 1 under index i,
    // the indices in the order Ｔ値 Ｆ値 Ｒ値 Ｚ値 単勝人気 複勝人気 仮単人気.
    std::array<std::vector<int>, 7> byIndex;
    std::vector<int> finish;  // horse numbers, winner first
    // Yen paid on a 100-yen ticket of each horse (index horse - 1); 0 for a
    // ticket that lost.
    std::vector<int> winPayout;
    std::vector<int> placePayout;
    int quinellaPayout = 0;           // the pair of the first two
    std::array<int, 3> widePayout{};  // pairs 1-2, 1-3 and 2-3 of the finish

    // Yen paid on a 100-yen ticket of the pair, 0 when it lost.
    int QuinellaPayout(int a, int b) const;
    int WidePayout(int a, int b) const;
};

// Runs a race of runners horses (at least 5) with the draws of random;
// going scales the race's luck (1 on an ordinary day).
SimulatedRace SimulateRace(SeededRandom& random, int runners, double going);

}  // namespace lomi::samples
