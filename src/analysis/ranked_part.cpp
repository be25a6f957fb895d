#include "analysis/ranked_part.h"

namespace lomi {

std::string RaceDaySums::DateText() const {
    std::string text;
    for (int shift = 56; shift >= 0 && ((date >> shift) & 0xFF) != 0; shift -= 8) {
        text.push_back(static_cast<char>((date >> shift) & 0xFF));
    }
    return text;
}

BetFigures RaceDaySums::Bet(BetType bet) const {
    TallyAccumulators tally;
    tally.ExtractedRaces = races;
    tally.PairTickets = pairTickets;
    tally.WinPayout = payout[0];
    tally.PlacePayout = payout[1];
    tally.QuinellaPayout = payout[2];
    tally.WidePayout = payout[3];
    return ComputeBetSums(bet, tally);
}

}  // namespace lomi
