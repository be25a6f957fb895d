#include "tally/tally_report.h"

#include <array>
#include <cstdint>

#include "tally/saturating.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kHeader = "           投票      払戻      損益    回収率    的中率  平均配当";

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

// payout ÷ hits rounded down (towards minus infinity); 0 when hits is 0.
std::int64_t FloorDivide(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) return 0;
    if (numerator == kInt64Min && denominator == -1) return kInt64Max;
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && ((numerator < 0) != (denominator < 0))) --quotient;
    return quotient;
}

struct BetLine {
    const char* label;
    std::int64_t tickets;
    std::int64_t payout;
    std::int64_t hits;
};

std::string FormatBetLine(const BetLine& line, std::int64_t extractedRaces) {
    const std::int64_t stake = SaturatingMul(line.tickets, 100);
    const std::int64_t profit = SaturatingSub(line.payout, stake);
    std::string text = line.label;
    text += FormatColumn(std::to_string(stake));
    text += FormatColumn(std::to_string(line.payout));
    text += FormatColumn(std::to_string(profit));
    text += FormatColumn(FormatPercent(line.payout, stake));
    text += FormatColumn(FormatPercent(line.hits, extractedRaces));
    text += FormatColumn(std::to_string(FloorDivide(line.payout, line.hits)));
    text += kLineEnd;
    return text;
}

}  // namespace

std::string FormatPercent(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) return "0.00%";
    const bool negative = (numerator < 0) != (denominator < 0);
    const std::uint64_t divisor = Magnitude(denominator);
    const std::uint64_t dividend = Magnitude(numerator);

    // The whole part, then four digits: two for the percentage and two
    // decimals; the remainder decides the rounding exactly.
    std::string digits = std::to_string(dividend / divisor);
    std::uint64_t remainder = dividend % divisor;
    for (int i = 0; i < 4; ++i) digits += static_cast<char>('0' + NextDigit(remainder, divisor));
    if (remainder >= divisor - remainder) {  // half or more: away from zero
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }

    // digits is the percentage × 100; drop leading zeros but keep at least
    // one digit before the decimal point.
    std::string whole = digits.substr(0, digits.size() - 2);
    const std::size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    const std::string fraction = digits.substr(digits.size() - 2);
    const bool zero = whole == "0" && fraction == "00";
    return (negative && !zero ? "-" : "") + whole + "." + fraction + "%";
}

std::string FormatColumn(const std::string& text) { return PadLeft(text, 10); }

std::string BuildTallyReport(std::int64_t recordCount, const TallyAccumulators& tally) {
    const std::array<BetLine, 4> lines = {{
        {"単勝 ", tally.ExtractedRaces, tally.WinPayout, tally.WinHits},
        {"複勝 ", tally.ExtractedRaces, tally.PlacePayout, tally.PlaceHits},
        {"連勝 ", tally.PairTickets, tally.QuinellaPayout, tally.QuinellaHits},
        {"ﾜｲﾄﾞ ", tally.PairTickets, tally.WidePayout, tally.WideHits},
    }};
    std::string report = "総ﾚｰｽ：" + std::to_string(recordCount) + "  抽出ﾚｰｽ：" +
                         std::to_string(tally.ExtractedRaces) + kLineEnd;
    report += kLineEnd;
    report += kHeader;
    report += kLineEnd;
    for (const BetLine& line : lines) report += FormatBetLine(line, tally.ExtractedRaces);
    return report;
}

}  // namespace lomi
