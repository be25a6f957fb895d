#pragma once

#include <cstdint>
#include <initializer_list>

namespace lomi::samples {

// A small generator with the same sequence on every platform and compiler
// (the standard distributions are not specified that far), so a seed gives
// the same files everywhere.
class SeededRandom {
public:
    // Mixes any number of keys (seed, date, venue, race, ...) into one state,
    // so each race draws the same numbers whatever else is generated.
    explicit SeededRandom(std::initializer_list<std::uint64_t> keys) {
        for (std::uint64_t key : keys) state_ = Mix(state_ ^ key);
    }

    std::uint64_t Next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return Mix(state_);
    }

    // A number from low to high, both included.
    int Between(int low, int high) {
        const auto span = static_cast<std::uint64_t>(high - low + 1);
        return low + static_cast<int>(Next() % span);
    }

    // True with the given chance in percent.
    bool Percent(int chance) { return Between(0, 99) < chance; }

private:
    static std::uint64_t Mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::uint64_t state_ = 0x6C6F6D69ull;
};

}  // namespace lomi::samples
