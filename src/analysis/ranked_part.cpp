#include "analysis/ranked_part.h"

#include "analysis/drawdown.h"
#include "analysis/recovery_interval.h"

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

void ComputeSpreads(RankedPart& part) {
    std::vector<DayAmount> amounts(part.days.size());
    for (const BetType bet : kBetTypes) {
        DrawdownTracker fall;
        for (std::size_t i = 0; i < part.days.size(); ++i) {
            const BetFigures f = part.days[i].Bet(bet);
            amounts[i] = {static_cast<double>(f.stake), static_cast<double>(f.payout)};
            fall.Step(f.profit, 0);
        }
        const RatioInterval interval = EstimateRatioInterval(amounts);
        BetSpread& spread = part.spreads[Index(bet)];
        spread.days = interval.days;
        spread.standardError = interval.standardError;
        spread.recoveryLow = interval.low;
        spread.recoveryHigh = interval.high;
        spread.maxDrawdown = fall.deepest;
    }
}

}  // namespace lomi
