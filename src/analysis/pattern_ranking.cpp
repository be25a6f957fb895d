#include "analysis/pattern_ranking.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "analysis/pattern_analysis.h"
#include "data/file_mask.h"
#include "data/folder_listing.h"
#include "data/record_layout.h"
#include "tally/race_filter.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

// "P" + code + ".txt": the shortest name a pattern's mask takes.
constexpr std::size_t kShortestName = 9;
constexpr std::size_t kCodeChars = 4;
constexpr std::string_view kExtension = ".txt";
// Two-sided 95% point of the normal distribution.
constexpr double kNormal95 = 1.959963984540054;

// The pattern whose mask the name fits, if any.
std::optional<std::string> PatternCodeOfName(std::string_view name) {
    if (name.size() < kShortestName) return std::nullopt;
    const std::string_view code =
        name.substr(name.size() - kExtension.size() - kCodeChars, kCodeChars);
    const auto selections = ParsePatternCode(code);
    if (!selections) return std::nullopt;
    const auto mask = BuildPatternFileMask(selections->con1, selections->con2, selections->con3,
                                           selections->con4);
    if (!mask || !MatchesFileMask(name, *mask)) return std::nullopt;
    return PatternCode(selections->con1, selections->con2, selections->con3, selections->con4);
}

// A record's date characters (31-38), as the race filter reads them.
std::string_view RecordDate(std::string_view text, bool plain) {
    if (plain) return text.substr(record::kDate.start, record::kDate.width);
    return CharSlice(text, record::kDate.start + 1, record::kDate.width);
}

// What one counted race paid and cost, per bet type, for the interval and
// the drawdown. The date points into the pattern's records.
struct RaceLine {
    std::string_view date;
    bool later = false;
    std::array<double, 4> payout;  // yen
    std::array<double, 4> stake;   // yen
};

// The ratio estimator's interval: R = Σpayout / Σstake, its standard error
// from the deviations payout_i - R·stake_i.
void AddInterval(const std::vector<const RaceLine*>& races, std::size_t k, double payoutSum,
                 double stakeSum, BetSpread& spread) {
    const double n = static_cast<double>(races.size());
    if (races.size() < 2 || stakeSum <= 0) return;
    const double ratio = payoutSum / stakeSum;
    double squares = 0;
    for (const RaceLine* race : races) {
        const double deviation = race->payout[k] - ratio * race->stake[k];
        squares += deviation * deviation;
    }
    const double error = std::sqrt(squares * n / (n - 1)) / stakeSum;
    spread.recoveryLow = std::max(0.0, ratio - kNormal95 * error) * 100;
    spread.recoveryHigh = (ratio + kNormal95 * error) * 100;
}

std::int64_t MaxDrawdown(const std::vector<const RaceLine*>& races, std::size_t k) {
    double profit = 0, peak = 0, deepest = 0;
    for (const RaceLine* race : races) {
        profit += race->payout[k] - race->stake[k];
        peak = std::max(peak, profit);
        deepest = std::max(deepest, peak - profit);
    }
    return std::llround(deepest);
}

void FinishPart(std::int64_t records, const TallyAccumulators& tally,
                const std::vector<const RaceLine*>& races, RankedPart& part) {
    part.recordCount = records;
    part.tally = tally;
    part.figures = ComputeFigures(records, tally);
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        const BetFigures& f = part.figures.Bet(bet);
        AddInterval(races, k, static_cast<double>(f.payout), static_cast<double>(f.stake),
                    part.spreads[k]);
        part.spreads[k].maxDrawdown = MaxDrawdown(races, k);
    }
}

// One pattern's loaded records tallied, and split when asked.
void TallyPattern(const LoadedData& data, const RaceFilter& filter, const std::string& split,
                  std::vector<RaceLine>& lines, PatternRanking& out) {
    const bool splitting = !split.empty();
    TallyAccumulators tallies[2];
    std::int64_t records[2] = {0, 0};
    lines.clear();
    data.Records.ForEach([&](std::string_view text, bool plain) {
        RaceOutcome race;
        if (!filter.Evaluate(text, plain, race)) {
            if (splitting) ++records[RecordDate(text, plain) >= split];
            return;
        }
        // Ordinal comparison of the date characters, as the period's bounds
        // are compared: the later part is what --from split would count.
        const bool later = splitting && race.date >= split;
        ++records[later];
        AddOutcome(tallies[later], race);
        RaceLine line{race.date, later, {}, {}};
        for (std::size_t k = 0; k < 4; ++k) {
            const PayoutValue value = race.Payout(k);
            line.payout[k] = value.whole ? static_cast<double>(value.units) * 10 : value.value * 10;
            line.stake[k] = k < 2 ? 100.0 : 100.0 * race.slotCount;
        }
        lines.push_back(line);
    });
    if (!splitting) records[0] = static_cast<std::int64_t>(data.Records.Size());

    // Date order for the drawdown; races of one day keep their reading order.
    std::vector<const RaceLine*> parts[2];
    for (const RaceLine& line : lines) parts[line.later].push_back(&line);
    for (auto& part : parts) {
        std::stable_sort(part.begin(), part.end(),
                         [](const RaceLine* a, const RaceLine* b) { return a->date < b->date; });
    }
    FinishPart(records[0], tallies[0], parts[0], out.earlier);
    if (splitting) {
        out.later.emplace();
        FinishPart(records[1], tallies[1], parts[1], *out.later);
    }
}

// The run's shared state: the next pattern to take and the progress.
class RankingRun {
public:
    RankingRun(const std::string& folder, const std::vector<PatternFiles>& patterns,
               const RankingOptions& options, const LoadProgress& progress, std::stop_token stop)
        : folder_(folder),
          patterns_(patterns),
          options_(options),
          filter_(options.conditions),
          progress_(progress),
          stop_(std::move(stop)),
          results_(patterns.size()),
          finished_(patterns.size(), false) {
        for (const PatternFiles& pattern : patterns) total_ += pattern.files.size();
    }

    std::size_t Total() const { return total_; }
    std::size_t Done() const { return done_.load(); }

    void Work() {
        LoadedData data;
        std::vector<RaceLine> lines;
        for (;;) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= patterns_.size() || stop_.stop_requested()) return;
            if (RankOne(patterns_[i], data, lines, results_[i])) finished_[i] = true;
        }
    }

    void Report(std::size_t done) {
        if (!progress_) return;
        const std::lock_guard lock(progressMutex_);
        progress_(done, total_);
    }

    // The patterns that were finished, in listing order.
    std::vector<PatternRanking> Finished() {
        std::vector<PatternRanking> out;
        for (std::size_t i = 0; i < results_.size(); ++i) {
            if (finished_[i]) out.push_back(std::move(results_[i]));
        }
        return out;
    }

private:
    // False when the run was stopped before the pattern was read whole.
    bool RankOne(const PatternFiles& pattern, LoadedData& data, std::vector<RaceLine>& lines,
                 PatternRanking& out) {
        out.code = pattern.code;
        out.selections = pattern.selections;
        out.description = DescribeSelections(pattern.selections.con1, pattern.selections.con2,
                                             pattern.selections.con3, pattern.selections.con4)
                              .value_or("");
        out.files = pattern.files.size();
        std::size_t counted = 0;
        const LoadResult load = ReadListedFiles(
            folder_, pattern.files, data,
            [&](std::size_t done, std::size_t) {
                if (done == 0) return;
                ++counted;
                Report(done_.fetch_add(1) + 1);
            },
            stop_);
        if (load.cancelled) return false;
        if (!load.ok) {
            out.failure = load.message;
            // The files it did not get to count as done.
            Report(done_.fetch_add(pattern.files.size() - counted) + pattern.files.size() -
                   counted);
            return true;
        }
        TallyPattern(data, filter_, options_.splitDate, lines, out);
        return true;
    }

    const std::string& folder_;
    const std::vector<PatternFiles>& patterns_;
    const RankingOptions& options_;
    const RaceFilter filter_;
    const LoadProgress& progress_;
    const std::stop_token stop_;
    std::vector<PatternRanking> results_;
    std::vector<char> finished_;  // written by one thread each, read after the join
    std::size_t total_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::mutex progressMutex_;
};

}  // namespace

std::optional<std::vector<PatternFiles>> ListAllPatternFiles(const std::string& folder) {
    std::map<std::string, std::vector<std::string>> byCode;
    const auto names = ListPlainFiles(folder, [&](std::string_view name) {
        const auto code = PatternCodeOfName(name);
        if (code) byCode[*code];
        return code.has_value();
    });
    if (!names) return std::nullopt;
    for (const std::string& name : *names) byCode[*PatternCodeOfName(name)].push_back(name);
    std::vector<PatternFiles> patterns;
    for (auto& [code, files] : byCode) {
        if (files.empty()) continue;  // wanted, but not a plain file
        SortInReadingOrder(files);
        patterns.push_back(PatternFiles{code, *ParsePatternCode(code), std::move(files)});
    }
    return patterns;
}

RankingResult RankAllPatterns(const std::string& folder, const RankingOptions& options,
                              const LoadProgress& progress, std::stop_token stop) {
    RankingResult result;
    const auto patterns = ListAllPatternFiles(folder);
    if (!patterns) {
        result.status = RankingStatus::Failed;
        result.message = "フォルダー「" + folder + "」の中を読めません。";
        return result;
    }
    if (patterns->empty()) {
        result.status = RankingStatus::NotFound;
        result.message = kFileNotFound;
        return result;
    }

    RankingRun run(folder, *patterns, options, progress, stop);
    run.Report(0);
    unsigned threads = options.threads != 0 ? options.threads : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(patterns->size()));
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back([&] { run.Work(); });
        run.Work();
    }
    result.patterns = run.Finished();
    result.filesDone = run.Done();
    result.filesTotal = run.Total();
    if (stop.stop_requested() && result.patterns.size() < patterns->size()) {
        result.status = RankingStatus::Cancelled;
    }
    return result;
}

void SortByRecovery(std::vector<PatternRanking>& patterns, BetType bet) {
    std::sort(patterns.begin(), patterns.end(),
              [bet](const PatternRanking& a, const PatternRanking& b) {
                  if (a.Ranked() != b.Ranked()) return a.Ranked();
                  const Percent& ra = a.earlier.figures.Bet(bet).recovery;
                  const Percent& rb = b.earlier.figures.Bet(bet).recovery;
                  if (ra != rb) return ra > rb;
                  return a.code < b.code;
              });
}

}  // namespace lomi
