#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lomi {

// The four bet types of the report, in its order.
enum class BetType { Win, Place, Quinella, Wide };
inline constexpr std::array<BetType, 4> kBetTypes = {BetType::Win, BetType::Place,
                                                     BetType::Quinella, BetType::Wide};

// The price of one ticket, in yen: every stake is a count of tickets times this.
inline constexpr std::int64_t kTicketYen = 100;

inline constexpr std::size_t Index(BetType bet) { return static_cast<std::size_t>(bet); }

// 単勝, 複勝, 連勝, ﾜｲﾄﾞ: the report's names.
inline constexpr std::array<const char*, 4> kBetNames = {"単勝", "複勝", "連勝", "ﾜｲﾄﾞ"};
// win, place, quinella, wide: the names of the command line and of JSON.
inline constexpr std::array<const char*, 4> kBetKeys = {"win", "place", "quinella", "wide"};

inline const char* BetName(BetType bet) { return kBetNames[Index(bet)]; }
inline const char* BetKey(BetType bet) { return kBetKeys[Index(bet)]; }

}  // namespace lomi
