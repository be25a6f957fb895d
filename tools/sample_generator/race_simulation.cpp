#include "race_simulation.h"

#include <algorithm>
#include <numeric>

namespace lomi::samples {
namespace {

// How far the public's reading strays from the ability (its spread is 1),
// and how much further each index's reading strays from the public's,
// Ｔ値 to Ｚ値: the indices are read from what everyone sees, so none of
// them beats the market on its own.
constexpr double kPublicNoise = 0.5;
constexpr double kIndexNoise[] = {0.4, 0.55, 0.7, 0.9};
constexpr double kRaceLuck = 1.0;
// The public weighs each horse's chance by this many imagined races.
constexpr int kImaginedRaces = 200;
// Share of the win pool bet as if every horse had the same chance: what
// makes longshots return less than favourites.
constexpr double kLongshotMoney = 0.05;
constexpr double kWinReturn = 0.80;    // after the 20% takeout
constexpr double kPairReturn = 0.775;  // after the 22.5% takeout

// About normal, mean 0 and spread 1: four 16-bit parts of one draw added
// (within 0.01 of the normal's distribution), in plain arithmetic so every
// platform gives the same bits.
double Normal(SeededRandom& random) {
    const std::uint64_t bits = random.Next();
    double sum = 0;
    for (int part = 0; part < 4; ++part) sum += ((bits >> (16 * part)) & 0xFFFF) + 0.5;
    return (sum / 65536.0 - 2.0) * 1.7320508075688772;
}

// Yen on 100: rounded down to 10 yen, never below 100.
int Payout(double yen) {
    const double tens = yen / 10;
    return tens >= 1e6 ? 9999990 : std::max(100, static_cast<int>(tens) * 10);
}

// Horse numbers (from 1) ordered by value, highest first; ties by number.
std::vector<int> Order(const std::vector<double>& value) {
    std::vector<int> horses(value.size());
    std::iota(horses.begin(), horses.end(), 1);
    std::stable_sort(horses.begin(), horses.end(),
                     [&](int a, int b) { return value[a - 1] > value[b - 1]; });
    return horses;
}

std::size_t PairSlot(int a, int b, int runners) {
    if (a > b) std::swap(a, b);
    return static_cast<std::size_t>((a - 1) * runners + (b - 1));
}

}  // namespace

int SimulatedRace::QuinellaPayout(int a, int b) const {
    const bool hit = (a == finish[0] && b == finish[1]) || (a == finish[1] && b == finish[0]);
    return hit ? quinellaPayout : 0;
}

int SimulatedRace::WidePayout(int a, int b) const {
    const std::pair<int, int> pairs[] = {
        {finish[0], finish[1]}, {finish[0], finish[2]}, {finish[1], finish[2]}};
    for (int i = 0; i < 3; ++i) {
        if ((a == pairs[i].first && b == pairs[i].second) ||
            (a == pairs[i].second && b == pairs[i].first)) {
            return widePayout[i];
        }
    }
    return 0;
}

SimulatedRace SimulateRace(SeededRandom& random, int runners, double going) {
    const auto n = static_cast<std::size_t>(runners);
    SimulatedRace race;
    race.runners = runners;

    std::vector<double> ability(n), publicView(n);
    for (double& a : ability) a = Normal(random);
    for (std::size_t h = 0; h < n; ++h) publicView[h] = ability[h] + kPublicNoise * Normal(random);
    for (std::size_t index = 0; index < 4; ++index) {
        std::vector<double> reading(n);
        for (std::size_t h = 0; h < n; ++h) {
            reading[h] = publicView[h] + kIndexNoise[index] * Normal(random);
        }
        race.byIndex[index] = Order(reading);
    }

    // The public's chance of each horse to win: races imagined from what it
    // sees (its reading shrunk toward the mean, plus the race's luck).
    const double shrink = 1 / (1 + kPublicNoise * kPublicNoise);
    const double spread = 1.1;  // √(noise left after the reading + the luck)
    std::vector<double> wins(n, 0.25);
    for (int imagined = 0; imagined < kImaginedRaces; ++imagined) {
        std::size_t best = 0;
        double bestRun = -1e9;
        for (std::size_t h = 0; h < n; ++h) {
            const double run = shrink * publicView[h] + spread * Normal(random);
            if (run > bestRun) bestRun = run, best = h;
        }
        wins[best] += 1;
    }
    const double imaginedTotal = kImaginedRaces + 0.25 * runners;
    std::vector<double> win(n);  // the win pool's shares
    for (std::size_t h = 0; h < n; ++h) {
        win[h] = (1 - kLongshotMoney) * wins[h] / imaginedTotal + kLongshotMoney / runners;
    }

    // The pair pools and the place pool by the win shares (each horse's
    // chance of the next place among those left): the first two, and any two
    // of the first three.
    std::vector<double> quinella(n * n, 0.0), wide(n * n, 0.0);
    for (std::size_t x = 0; x < n; ++x) {
        for (std::size_t y = 0; y < n; ++y) {
            if (y == x) continue;
            const double firstTwo = win[x] * win[y] / (1 - win[x]);
            quinella[PairSlot(x + 1, y + 1, runners)] += firstTwo;
            for (std::size_t z = 0; z < n; ++z) {
                if (z == x || z == y) continue;
                const double three = firstTwo * win[z] / (1 - win[x] - win[y]);
                wide[PairSlot(x + 1, y + 1, runners)] += three;
                wide[PairSlot(x + 1, z + 1, runners)] += three;
                wide[PairSlot(y + 1, z + 1, runners)] += three;
            }
        }
    }
    const int placed = runners >= 8 ? 3 : 2;
    std::vector<double> place(n, 0.0);
    for (std::size_t h = 0; h < n; ++h) {
        for (std::size_t o = 0; o < n; ++o) {
            if (o == h) continue;
            place[h] += placed == 3 ? wide[PairSlot(h + 1, o + 1, runners)] / 6
                                    : quinella[PairSlot(h + 1, o + 1, runners)] / 2;
        }
    }
    for (double& w : wide) w /= 3;

    std::vector<double> early(n);
    for (std::size_t h = 0; h < n; ++h) {
        early[h] =
            win[h] * (0.75 + 0.5 * static_cast<double>(random.Next() >> 11) / 9007199254740992.0);
    }
    race.byIndex[4] = Order(win);
    race.byIndex[5] = Order(place);
    race.byIndex[6] = Order(early);

    std::vector<double> run(n);
    for (std::size_t h = 0; h < n; ++h) run[h] = ability[h] + kRaceLuck * going * Normal(random);
    race.finish = Order(run);

    // Pari-mutuel: the pool after the takeout goes to the winning tickets;
    // where several win (place, wide), each first gets its stake back and
    // the rest is shared equally among the winning horses or pairs.
    race.winPayout.assign(n, 0);
    race.placePayout.assign(n, 0);
    const int winner = race.finish[0];
    race.winPayout[winner - 1] = Payout(100 * kWinReturn / win[winner - 1]);
    double placeStakes = 0;
    for (int p = 0; p < placed; ++p) placeStakes += place[race.finish[p] - 1];
    for (int p = 0; p < placed; ++p) {
        const double share = place[race.finish[p] - 1];
        race.placePayout[race.finish[p] - 1] =
            Payout(100 * (1 + (kWinReturn - placeStakes) / (placed * share)));
    }
    const int f[] = {race.finish[0], race.finish[1], race.finish[2]};
    race.quinellaPayout = Payout(100 * kPairReturn / quinella[PairSlot(f[0], f[1], runners)]);
    const double pairs[] = {wide[PairSlot(f[0], f[1], runners)],
                            wide[PairSlot(f[0], f[2], runners)],
                            wide[PairSlot(f[1], f[2], runners)]};
    const double wideStakes = pairs[0] + pairs[1] + pairs[2];
    for (int i = 0; i < 3; ++i) {
        race.widePayout[i] = Payout(100 * (1 + (kPairReturn - wideStakes) / (3 * pairs[i])));
    }
    return race;
}

}  // namespace lomi::samples
