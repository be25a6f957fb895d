#include "tally/figures.h"

#include "tally/saturating.h"

namespace lomi {
namespace {

std::uint64_t Magnitude(std::int64_t v) {
    return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// Next decimal digit of remainder / divisor, with remainder < divisor:
// floor(10 × remainder / divisor), leaving the new remainder. Ten additions
// instead of one multiplication keep every step below 2^64.
int NextDigit(std::uint64_t& remainder, std::uint64_t divisor) {
    std::uint64_t accumulated = 0;
    int digit = 0;
    for (int i = 0; i < 10; ++i) {
        accumulated += remainder;  // both < divisor <= 2^63, so no wrap
        if (accumulated >= divisor) {
            accumulated -= divisor;
            ++digit;
        }
    }
    remainder = accumulated;
    return digit;
}

// numerator ÷ denominator rounded down (towards minus infinity); 0 when
// denominator is 0.
std::int64_t FloorDivide(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) return 0;
    if (numerator == kInt64Min && denominator == -1) return kInt64Max;
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && ((numerator < 0) != (denominator < 0))) --quotient;
    return quotient;
}

// a × b in 128 bits, as (high, low) halves that compare in that order.
struct Wide {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    auto operator<=>(const Wide&) const = default;
};

Wide Multiply(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t kHalf = 0xFFFFFFFFu;
    const std::uint64_t lowLow = (a & kHalf) * (b & kHalf);
    const std::uint64_t lowHigh = (a & kHalf) * (b >> 32);
    const std::uint64_t highLow = (a >> 32) * (b & kHalf);
    const std::uint64_t highHigh = (a >> 32) * (b >> 32);
    const std::uint64_t middle = (lowLow >> 32) + (lowHigh & kHalf) + (highLow & kHalf);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | (lowLow & kHalf)};
}

}  // namespace

std::strong_ordering CompareRatios(std::int64_t numerator1, std::int64_t denominator1,
                                   std::int64_t numerator2, std::int64_t denominator2) {
    if (denominator1 == 0 || denominator2 == 0) return (denominator1 != 0) <=> (denominator2 != 0);
    // n1/d1 <=> n2/d2 is n1·d2 <=> n2·d1 for positive denominators.
    return Multiply(Magnitude(numerator1), Magnitude(denominator2)) <=>
           Multiply(Magnitude(numerator2), Magnitude(denominator1));
}

Percent PercentOf(std::int64_t numerator, std::int64_t denominator) {
    Percent percent;
    if (denominator == 0) return percent;
    const std::uint64_t divisor = Magnitude(denominator);
    const std::uint64_t dividend = Magnitude(numerator);

    // The quotient's whole part, then four digits: two for the percentage
    // and two decimals; the remainder decides the rounding exactly. The
    // whole part of a ratio of 64-bit sums times 100 can exceed 64 bits, so
    // it is kept as the quotient and its first two decimals.
    std::uint64_t quotient = dividend / divisor;
    std::uint64_t remainder = dividend % divisor;
    int digits[4];
    for (int& d : digits) d = NextDigit(remainder, divisor);
    int fraction = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    if (remainder >= divisor - remainder) {  // half or more: away from zero
        if (++fraction == 10000) {
            fraction = 0;
            ++quotient;
        }
    }
    percent.ratioWhole = quotient;
    percent.ratioDecimals = fraction;
    percent.negative = ((numerator < 0) != (denominator < 0)) && (quotient != 0 || fraction != 0);
    return percent;
}

std::string Percent::Text() const {
    // The percentage's digits: the ratio's whole part, then its first two
    // decimals, without leading zeros; then the last two decimals.
    std::string text = negative ? "-" : "";
    const int percentOnes = ratioDecimals / 100;
    if (ratioWhole == 0) {
        text += std::to_string(percentOnes);
    } else {
        text += std::to_string(ratioWhole);
        text += static_cast<char>('0' + percentOnes / 10);
        text += static_cast<char>('0' + percentOnes % 10);
    }
    text += '.';
    text += static_cast<char>('0' + ratioDecimals / 10 % 10);
    text += static_cast<char>('0' + ratioDecimals % 10);
    text += '%';
    return text;
}

double Percent::Value() const {
    // The percentage in hundredths, divided once: 2568 gives the double
    // nearest 25.68, which prints as 25.68.
    constexpr std::uint64_t kExactLimit = 100000000000000;  // 10^14
    const double value =
        ratioWhole < kExactLimit
            ? static_cast<double>(ratioWhole * 10000 + static_cast<std::uint64_t>(ratioDecimals)) /
                  100.0
            : (static_cast<double>(ratioWhole) + ratioDecimals / 10000.0) * 100.0;
    return negative ? -value : value;
}

std::strong_ordering Percent::operator<=>(const Percent& other) const {
    if (negative != other.negative) {
        return negative ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    const auto magnitude = ratioWhole != other.ratioWhole ? ratioWhole <=> other.ratioWhole
                                                          : ratioDecimals <=> other.ratioDecimals;
    return negative ? 0 <=> magnitude : magnitude;
}

BetFigures ComputeBetSums(BetType bet, const TallyAccumulators& t) {
    // 単勝 and 複勝 buy a ticket per counted race, 連勝 and ﾜｲﾄﾞ one per slot.
    struct Sums {
        std::int64_t tickets, payout, hits;
    };
    Sums sums{};
    switch (bet) {
        case BetType::Win:
            sums = {t.ExtractedRaces, t.WinPayout, t.WinHits};
            break;
        case BetType::Place:
            sums = {t.ExtractedRaces, t.PlacePayout, t.PlaceHits};
            break;
        case BetType::Quinella:
            sums = {t.PairTickets, t.QuinellaPayout, t.QuinellaHits};
            break;
        case BetType::Wide:
            sums = {t.PairTickets, t.WidePayout, t.WideHits};
            break;
    }
    BetFigures f;
    f.tickets = sums.tickets;
    f.payout = sums.payout;
    f.hits = sums.hits;
    f.stake = SaturatingMul(f.tickets, kTicketYen);
    f.profit = SaturatingSub(f.payout, f.stake);
    return f;
}

BetFigures ComputeBetFigures(BetType bet, const TallyAccumulators& t) {
    BetFigures f = ComputeBetSums(bet, t);
    f.recovery = PercentOf(f.payout, f.stake);
    f.hitRate = PercentOf(f.hits, t.ExtractedRaces);
    f.averageDividend = FloorDivide(f.payout, f.hits);
    return f;
}

TallyFigures ComputeFigures(std::int64_t totalRaces, const TallyAccumulators& tally) {
    TallyFigures figures;
    figures.totalRaces = totalRaces;
    figures.extractedRaces = tally.ExtractedRaces;
    for (const BetType bet : kBetTypes) figures.bets[Index(bet)] = ComputeBetFigures(bet, tally);
    return figures;
}

}  // namespace lomi
