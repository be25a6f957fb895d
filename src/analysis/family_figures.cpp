#include "analysis/family_figures.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "analysis/bootstrap_bound.h"
#include "analysis/expected_recovery.h"

namespace lomi {
namespace {

struct Member {
    const PatternRanking* pattern = nullptr;
    double ratio = 0;
    double standardError = 0;
    std::vector<DayAmount> days;  // dense, over the family's days
};

}  // namespace

FamilyFigures EstimateFamilyFigures(const std::vector<PatternRanking>& patterns, BetType bet,
                                    std::int64_t minRaces, unsigned threads) {
    FamilyFigures out;
    out.bet = bet;
    out.minRaces = minRaces;
    std::vector<Member> family;
    std::vector<std::uint64_t> dates;
    for (const PatternRanking& p : patterns) {
        const BetSpread& spread = p.earlier.Spread(bet);
        if (!TakesPart(p, bet, minRaces) || !(spread.standardError > 0)) continue;
        const BetFigures& f = p.earlier.figures.Bet(bet);
        family.push_back({&p,
                          static_cast<double>(f.payout) / static_cast<double>(f.stake),
                          spread.standardError,
                          {}});
        for (const RaceDaySums& day : p.earlier.days) {
            const BetFigures d = day.Bet(bet);
            if (d.stake != 0 || d.payout != 0) dates.push_back(day.date);
        }
    }
    if (family.empty()) return out;
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    out.days = dates.size();
    for (Member& m : family) {
        m.days.assign(dates.size(), {});
        for (const RaceDaySums& day : m.pattern->earlier.days) {
            const BetFigures d = day.Bet(bet);
            if (d.stake == 0 && d.payout == 0) continue;
            const auto at = std::lower_bound(dates.begin(), dates.end(), day.date) - dates.begin();
            m.days[static_cast<std::size_t>(at)] = {static_cast<double>(d.stake),
                                                    static_cast<double>(d.payout)};
        }
    }
    // Rows with the same day sums are one try (every pattern with the same
    // axis horse buys the same 単勝 and 複勝 tickets): one distinct row each.
    std::vector<std::size_t> order(family.size());
    std::iota(order.begin(), order.end(), 0);
    const auto dayLess = [&](std::size_t a, std::size_t b) {
        return std::lexicographical_compare(
            family[a].days.begin(), family[a].days.end(), family[b].days.begin(),
            family[b].days.end(), [](const DayAmount& x, const DayAmount& y) {
                return x.stake != y.stake ? x.stake < y.stake : x.payout < y.payout;
            });
    };
    std::sort(order.begin(), order.end(), dayLess);
    std::vector<std::size_t> distinctOf(family.size());
    std::vector<BootstrapRow> rows;
    std::vector<ShrinkageRow> shrinkRows;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Member& m = family[order[i]];
        if (i == 0 || family[order[i - 1]].days != m.days) {
            rows.push_back({m.ratio, m.standardError, m.days});
            shrinkRows.push_back({m.ratio, m.standardError});
        }
        distinctOf[order[i]] = rows.size() - 1;
    }
    out.distinctRows = rows.size();
    const double c = MaxTCriticalValue(rows, threads);
    if (std::isfinite(c)) out.criticalValue = c;
    const auto shrunk = ShrinkRecoveries(shrinkRows);
    for (std::size_t i = 0; i < family.size(); ++i) {
        const Member& m = family[i];
        FamilyRowFigures row;
        row.code = m.pattern->code;
        if (out.criticalValue) {
            row.recoveryLowAdjusted = AdjustedLowerBound(m.ratio, m.standardError, c);
            row.significant = *row.recoveryLowAdjusted > 100;
        }
        if (const auto& e = shrunk[distinctOf[i]]) {
            row.expectedRecovery = e->expected * 100;
            row.probabilityAbove100 = e->probabilityAbove100;
        }
        out.rows.push_back(std::move(row));
    }
    std::sort(out.rows.begin(), out.rows.end(),
              [](const FamilyRowFigures& a, const FamilyRowFigures& b) { return a.code < b.code; });
    return out;
}

void ApplyFamilyFigures(std::vector<PatternRanking>& patterns, const FamilyFigures& figures) {
    for (PatternRanking& p : patterns) {
        BetSpread& spread = p.earlier.spreads[Index(figures.bet)];
        spread.recoveryLowAdjusted.reset();
        spread.significant = false;
        spread.expectedRecovery.reset();
        spread.probabilityAbove100.reset();
        const auto found = std::lower_bound(
            figures.rows.begin(), figures.rows.end(), p.code,
            [](const FamilyRowFigures& row, const std::string& code) { return row.code < code; });
        if (found == figures.rows.end() || found->code != p.code) continue;
        spread.recoveryLowAdjusted = found->recoveryLowAdjusted;
        spread.significant = found->significant;
        spread.expectedRecovery = found->expectedRecovery;
        spread.probabilityAbove100 = found->probabilityAbove100;
    }
}

void SortByExpected(std::vector<PatternRanking>& patterns, BetType bet) {
    SortByRecovery(patterns, bet);
    std::stable_sort(patterns.begin(), patterns.end(),
                     [bet](const PatternRanking& a, const PatternRanking& b) {
                         const auto& x = a.earlier.Spread(bet).expectedRecovery;
                         const auto& y = b.earlier.Spread(bet).expectedRecovery;
                         if (a.Ranked() != b.Ranked()) return a.Ranked();
                         if (x.has_value() != y.has_value()) return x.has_value();
                         return x && *x > *y;
                     });
}

}  // namespace lomi
