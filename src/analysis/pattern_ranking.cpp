#include "analysis/pattern_ranking.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "analysis/pattern_analysis.h"
#include "analysis/task_failure.h"
#include "data/file_mask.h"
#include "data/folder_listing.h"
#include "data/plain_record.h"
#include "data/record_layout.h"
#include "data/thread_files.h"
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
// The work a failure message names.
constexpr std::string_view kRankingWork = "全パターンの集計";

// The masks and codes of all patterns, built once; a pattern's place is
// its selections counted in selector order.
constexpr std::size_t kPatternCount = 7 * 5 * 7 * 2;
struct PatternNames {
    std::array<std::string, kPatternCount> masks;
    std::array<std::string, kPatternCount> codes;
};

std::size_t PlaceOf(const PatternSelections& s) {
    return ((static_cast<std::size_t>(s.axisIndex - 1) * 5 + (s.axisRank - 1)) * 7 + (s.partnerIndex - 1)) * 2 +
           (s.betStyle - 1);
}

const PatternNames& AllPatternNames() {
    static const PatternNames names = [] {
        PatternNames n;
        for (std::int16_t a = 1; a <= 7; ++a) {
            for (std::int16_t r = 1; r <= 5; ++r) {
                for (std::int16_t b = 1; b <= 7; ++b) {
                    for (std::int16_t s = 1; s <= 2; ++s) {
                        const std::size_t place = PlaceOf({a, r, b, s});
                        n.masks[place] = BuildPatternFileMask(a, r, b, s).value_or("");
                        n.codes[place] = PatternCode(a, r, b, s).value_or("");
                    }
                }
            }
        }
        return n;
    }();
    return names;
}

// The place of the pattern whose code the name carries before its
// extension, if any; whether the name fits that pattern's mask is not tested.
std::optional<std::size_t> PlaceOfCodeIn(std::string_view name) {
    if (name.size() < kShortestName) return std::nullopt;
    const auto selections =
        ParsePatternCode(name.substr(name.size() - kExtension.size() - kCodeChars, kCodeChars));
    if (!selections) return std::nullopt;
    return PlaceOf(*selections);
}

// The place of the pattern whose mask the name fits, if any.
std::optional<std::size_t> PatternOfName(std::string_view name) {
    const auto place = PlaceOfCodeIn(name);
    if (!place || !MatchesFileMask(name, AllPatternNames().masks[*place])) return std::nullopt;
    return place;
}

// A record's date characters (31-38), as the race filter reads them.
std::string_view RecordDate(std::string_view text, bool plain) {
    if (plain) return text.substr(record::kDate.start, record::kDate.width);
    return CharSlice(text, record::kDate.start + 1, record::kDate.width);
}

// Ordinal order of date texts, eight-byte dates (nearly all) in one step.
bool DateLess(std::string_view a, std::string_view b) {
    if (a.size() == 8 && b.size() == 8)
        return LoadOrderedWord(a.data()) < LoadOrderedWord(b.data());
    return a < b;
}

// Whether two date texts are the same, eight-byte dates in one step.
bool SameDate(std::string_view a, std::string_view b) {
    if (a.size() == 8 && b.size() == 8) return LoadWord(a.data()) == LoadWord(b.data());
    return a == b;
}

// One bet type's running sums over the races of a part: those of the
// interval, and the cumulative profit with its peak and deepest fall. One
// bet type at a time in scalars: packing the four into vectors stalls on
// loads of values just stored one by one.
struct BetStream {
    double squaredPayout = 0, payoutTimesStake = 0, squaredStake = 0;
    double profit = 0, peak = 0, deepest = 0;

    void Add(double paid, double stake) {
        squaredPayout += paid * paid;
        payoutTimesStake += paid * stake;
        squaredStake += stake * stake;
        Fall(paid - stake);
    }
    void Fall(double change) {
        profit += change;
        peak = std::max(peak, profit);
        deepest = std::max(deepest, peak - profit);
    }
};

// The counted races of one part as they stream past.
struct PartStream {
    std::int64_t records = 0;
    TallyAccumulators tally;
    std::array<BetStream, 4> bets;
    std::string lastDate;  // copied: the reader reuses a record's storage
    bool ordered = true;   // dates never went back, so the drawdown holds
    std::vector<std::string> days;  // a date each time it changed
};

// What a counted race paid on bet type k, and what it cost, in yen.
double RacePaid(const RaceOutcome& race, std::size_t k) {
    return race.whole ? static_cast<double>(race.units[k]) * 10 : race.values[k] * 10;
}
double RaceCost(const RaceOutcome& race, std::size_t k) {
    return static_cast<double>(RaceTickets(race, k) * kTicketYen);
}

// The ratio estimator's interval: R = Σpayout / Σstake, its
// standard error from the deviations d_i = payout_i - R·stake_i, whose
// squares sum to Σp² - 2RΣps + R²Σs².
void SetInterval(const BetStream& sums, std::int64_t races, double payout, double stake,
                 BetSpread& spread) {
    if (races < 2 || stake <= 0) return;
    const double n = static_cast<double>(races);
    const double ratio = payout / stake;
    const double squares = std::max(0.0, sums.squaredPayout - 2 * ratio * sums.payoutTimesStake +
                                             ratio * ratio * sums.squaredStake);
    const double error = std::sqrt(squares * n / (n - 1)) / stake;
    spread.recoveryLow = std::max(0.0, ratio - kNormal95 * error) * 100;
    spread.recoveryHigh = (ratio + kNormal95 * error) * 100;
}

void FinishPart(const PartStream& stream, RankedPart& part) {
    part.recordCount = stream.records;
    part.tally = stream.tally;
    part.figures = ComputeFigures(stream.records, stream.tally);
    part.raceDays = stream.days;
    std::sort(part.raceDays.begin(), part.raceDays.end());
    part.raceDays.erase(std::unique(part.raceDays.begin(), part.raceDays.end()),
                        part.raceDays.end());
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        const BetFigures& f = part.figures.Bet(bet);
        SetInterval(stream.bets[k], stream.tally.ExtractedRaces, static_cast<double>(f.payout),
                    static_cast<double>(f.stake), part.spreads[k]);
        part.spreads[k].maxDrawdown = std::llround(stream.bets[k].deepest);
    }
}

// One pattern's records tallied as the reader hands them over, split when
// asked; nothing of a record is kept.
class PatternTally final : public RecordSink {
public:
    PatternTally(const RaceFilter& filter, const std::string& split)
        : filter_(filter), split_(split) {}

    void Add(std::string_view text) override {
        const bool plain = IsPlainRecord(text);
        RaceOutcome race;
        if (!filter_.Evaluate(text, plain, race)) {
            ++parts_[!split_.empty() && RecordDate(text, plain) >= split_].records;
            return;
        }
        // Ordinal comparison of the date characters, as the period's bounds
        // are compared: the later part is what a period from the split counts.
        PartStream& part = parts_[!split_.empty() && race.date >= split_];
        ++part.records;
        AddOutcome(part.tally, race);
        for (std::size_t k = 0; k < 4; ++k) part.bets[k].Add(RacePaid(race, k), RaceCost(race, k));
        // A part's races come a day at a time: the date is copied once a day.
        if (!SameDate(race.date, part.lastDate)) {
            if (DateLess(race.date, part.lastDate)) part.ordered = false;
            part.lastDate.assign(race.date);
            part.days.push_back(part.lastDate);
        }
    }

    // Whether every part's races came in date order, so that the drawdowns
    // as they streamed are the true ones.
    bool Ordered() const { return parts_[0].ordered && parts_[1].ordered; }

    // The drawdowns again from the pattern's records, for the parts whose
    // races came out of date order.
    void RedoDrawdowns(const LoadedData& data) {
        for (int later = 0; later < 2; ++later) {
            if (!parts_[later].ordered) RedoPart(data, later == 1, parts_[later]);
        }
    }

    void Finish(PatternRanking& out) const {
        FinishPart(parts_[0], out.earlier);
        if (!split_.empty()) {
            out.later.emplace();
            FinishPart(parts_[1], *out.later);
        }
    }

private:
    // Its races sorted by date, those of one day kept in reading order.
    void RedoPart(const LoadedData& data, bool later, PartStream& stream) const {
        struct Race {
            std::string_view date;
            std::array<double, 4> change;  // profit on each bet type
        };
        std::vector<Race> races;
        data.Records.ForEach([&](std::string_view text, bool plain) {
            RaceOutcome race;
            if (!filter_.Evaluate(text, plain, race)) return;
            if ((!split_.empty() && race.date >= split_) != later) return;
            Race r{race.date, {}};
            for (std::size_t k = 0; k < 4; ++k) r.change[k] = RacePaid(race, k) - RaceCost(race, k);
            races.push_back(r);
        });
        std::stable_sort(races.begin(), races.end(),
                         [](const Race& a, const Race& b) { return DateLess(a.date, b.date); });
        for (BetStream& bet : stream.bets) bet.profit = bet.peak = bet.deepest = 0;
        for (const Race& race : races) {
            for (std::size_t k = 0; k < 4; ++k) stream.bets[k].Fall(race.change[k]);
        }
    }

    const RaceFilter& filter_;
    const std::string& split_;
    PartStream parts_[2];
};

// The run's shared state: the next pattern to take and the progress.
class RankingRun {
public:
    RankingRun(const std::string& folder, std::vector<PatternFiles>& patterns,
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

    // Takes patterns until none is left, the run is stopped or a thread
    // failed. What the work throws (memory running out) ends this thread's
    // part and the run, and becomes the run's failure.
    void Work() noexcept {
        try {
            LoadedData data;
            for (;;) {
                const std::size_t i = next_.fetch_add(1);
                if (i >= patterns_.size() || stop_.stop_requested() || failed_.load()) return;
                if (RankOne(patterns_[i], data, results_[i])) finished_[i] = true;
            }
        } catch (...) {
            const std::lock_guard lock(progressMutex_);
            if (!failure_) failure_ = std::current_exception();
            failed_ = true;
        }
    }

    // What a thread threw, if any; read after the threads are joined.
    std::exception_ptr Failure() const { return failure_; }

    // Threads count files in any order; the caller sees the count only grow.
    void Report(std::size_t done) {
        if (!progress_) return;
        const std::lock_guard lock(progressMutex_);
        reported_ = std::max(reported_, done);
        progress_(reported_, total_);
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
    bool RankOne(PatternFiles& pattern, LoadedData& data, PatternRanking& out) {
        SortInReadingOrder(pattern.files);
        out.code = pattern.code;
        out.selections = pattern.selections;
        out.description = DescribeSelections(pattern.selections.axisIndex, pattern.selections.axisRank,
                                             pattern.selections.partnerIndex, pattern.selections.betStyle)
                              .value_or("");
        out.files = pattern.files.size();
        // Files count as done one by one while someone watches the
        // progress, otherwise a pattern at a time: the shared count is then
        // not passed between the threads at every file.
        const bool watched = static_cast<bool>(progress_);
        std::size_t read = 0;      // files of the pattern read so far
        std::size_t reported = 0;  // of those, in done_
        const auto countUpTo = [&](std::size_t files) {
            const std::size_t rest = files - reported;
            reported = files;
            if (rest != 0) Report(done_.fetch_add(rest) + rest);
        };
        PatternTally tally(filter_, options_.splitDate);
        const LoadResult load = StreamListedFiles(
            folder_, pattern.files, data, tally,
            [&](std::size_t done, std::size_t) {
                if (done == 0) return;
                ++read;
                if (watched) countUpTo(read);
            },
            stop_);
        if (load.cancelled) {
            countUpTo(read);
            return false;
        }
        // The files a failed read did not get to count as done too.
        countUpTo(pattern.files.size());
        if (!load.ok) {
            out.failure = load.message;
            return true;
        }
        if (!tally.Ordered()) {
            // Dates that went back (rare): the records are needed in date
            // order, so the pattern is read again, whole this time.
            const LoadResult again = ReadListedFiles(folder_, pattern.files, data, {}, stop_);
            if (again.cancelled) return false;
            if (!again.ok) {
                out.failure = again.message;
                return true;
            }
            tally.RedoDrawdowns(data);
        }
        tally.Finish(out);
        return true;
    }

    const std::string& folder_;
    std::vector<PatternFiles>& patterns_;
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
    std::size_t reported_ = 0;     // under progressMutex_
    std::exception_ptr failure_;   // under progressMutex_
    std::atomic<bool> failed_{false};
};

}  // namespace

namespace {

// Whether a name is worth a closer look: it carries a pattern code before
// its extension. Cheap enough for the thread that reads the folder.
bool CarriesCode(std::string_view name) { return PlaceOfCodeIn(name).has_value(); }

// File names sorted into the patterns whose masks they fit.
class PatternGroups {
public:
    PatternGroups() : byPattern_(kPatternCount) {}

    // A name that fits no pattern's mask is dropped.
    void Add(std::string_view name) {
        if (const auto place = PatternOfName(name)) byPattern_[*place].emplace_back(name);
    }

    // The patterns with files, by code; each pattern's files in reading
    // order when sorted, otherwise as they were added.
    std::vector<PatternFiles> Take(bool sorted) {
        std::vector<PatternFiles> patterns;
        for (std::size_t place = 0; place < kPatternCount; ++place) {
            if (byPattern_[place].empty()) continue;
            if (sorted) SortInReadingOrder(byPattern_[place]);
            const std::string& code = AllPatternNames().codes[place];
            patterns.push_back(
                PatternFiles{code, *ParsePatternCode(code), std::move(byPattern_[place])});
        }
        std::sort(patterns.begin(), patterns.end(),
                  [](const PatternFiles& a, const PatternFiles& b) { return a.code < b.code; });
        return patterns;
    }

private:
    std::vector<std::vector<std::string>> byPattern_;
};

// Batches of names, each name ended by a NUL, passed from the thread that
// reads the folder to the one that groups them.
class NameBatches {
public:
    void Push(std::string batch) {
        {
            const std::lock_guard lock(mutex_);
            batches_.push_back(std::move(batch));
        }
        ready_.notify_one();
    }
    void Close() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }
    // False once closed and emptied.
    bool Pop(std::string& batch) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return closed_ || !batches_.empty(); });
        if (batches_.empty()) return false;
        batch = std::move(batches_.front());
        batches_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> batches_;
    bool closed_ = false;
};

// The ranking's listing: this thread reads the folder while a second one
// matches and groups the names, which would otherwise leave every other
// processor idle until the listing ends. Each pattern's files as listed;
// nothing, and the reason, when the folder cannot be listed. A stop ends
// the listing at the next name; progress hears of the listing as (names
// found, 0).
std::optional<std::vector<PatternFiles>> ListGroupedAlongside(const std::string& folder,
                                                              const LoadProgress& progress,
                                                              const std::stop_token& stop,
                                                              std::string& reason) {
    constexpr std::size_t kBatchBytes = 64 * 1024;
    PatternGroups groups;
    NameBatches batches;
    // What the grouping threw (memory running out), thrown again on this thread.
    std::exception_ptr groupingFailed;
    std::jthread grouper([&] {
        std::string batch;
        try {
            while (batches.Pop(batch)) {
                for (std::size_t at = 0; at < batch.size();) {
                    const std::size_t end = batch.find('\0', at);
                    groups.Add(std::string_view(batch).substr(at, end - at));
                    at = end + 1;
                }
            }
        } catch (...) {
            groupingFailed = std::current_exception();
        }
    });
    // Closed on every way out, so that the grouper ends before it is joined.
    struct Closer {
        NameBatches& batches;
        ~Closer() { batches.Close(); }
    } closer{batches};
    std::string batch;
    std::size_t found = 0;
    if (progress) progress(0, 0);
    const bool listed = ForEachPlainFile(
        folder, CarriesCode,
        [&](std::string_view name) {
            batch.append(name);
            batch.push_back('\0');
            ++found;
            if (batch.size() >= kBatchBytes) {
                batches.Push(std::exchange(batch, {}));
                if (progress) progress(found, 0);
            }
        },
        reason, stop);
    batches.Push(std::move(batch));
    batches.Close();
    grouper.join();
    if (groupingFailed) std::rethrow_exception(groupingFailed);
    if (!listed) return std::nullopt;
    return groups.Take(false);
}

}  // namespace

namespace {

RankingResult RankListedPatterns(const std::string& folder, const RankingOptions& options,
                                 const LoadProgress& progress, const std::stop_token& stop) {
    RankingResult result;
    // Each worker sorts its pattern's files, so the sorting is shared out too.
    std::string reason;
    auto patterns = ListGroupedAlongside(folder, progress, stop, reason);
    if (stop.stop_requested()) {
        result.status = RankingStatus::Cancelled;
        return result;
    }
    if (!patterns) {
        result.status = RankingStatus::Failed;
        result.message = "フォルダー「" + folder + "」の中を読めません（" + reason + "）。";
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
        // The work runs on threads of its own; where the process does
        // nothing else meanwhile, each with its own table of open files: the
        // threads open and close half a million files, and in one shared
        // table they would wait for each other at every one.
        std::vector<std::jthread> pool;
        for (unsigned t = 0; t < threads; ++t) {
            try {
                pool.emplace_back([&] {
                    if (options.ownFileTables) UseOwnFileTable();
                    run.Work();
                });
            } catch (const std::system_error&) {
                break;  // no more threads to be had: fewer do it
            }
        }
        if (pool.empty()) run.Work();
    }
    result.patterns = run.Finished();
    result.filesDone = run.Done();
    result.filesTotal = run.Total();
    if (const std::exception_ptr failure = run.Failure()) {
        result.status = RankingStatus::Failed;
        result.message = DescribeTaskFailure(kRankingWork, failure);
    } else if (stop.stop_requested() && result.patterns.size() < patterns->size()) {
        result.status = RankingStatus::Cancelled;
    }
    return result;
}

}  // namespace

RankingResult RankAllPatterns(const std::string& folder, const RankingOptions& options,
                              const LoadProgress& progress, std::stop_token stop) noexcept {
    try {
        return RankListedPatterns(folder, options, progress, stop);
    } catch (...) {
        RankingResult failed;
        failed.status = RankingStatus::Failed;
        failed.message = DescribeTaskFailure(kRankingWork, std::current_exception());
        return failed;
    }
}

std::string DefaultSplitDate(const std::vector<PatternRanking>& patterns) {
    std::vector<std::string> days;
    for (const PatternRanking& pattern : patterns) {
        days.insert(days.end(), pattern.earlier.raceDays.begin(), pattern.earlier.raceDays.end());
        if (pattern.later) {
            days.insert(days.end(), pattern.later->raceDays.begin(), pattern.later->raceDays.end());
        }
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    if (days.empty()) return {};
    return days[days.size() * 2 / 3];
}

void SortByRecovery(std::vector<PatternRanking>& patterns, BetType bet) {
    std::sort(patterns.begin(), patterns.end(),
              [bet](const PatternRanking& a, const PatternRanking& b) {
                  if (a.Ranked() != b.Ranked()) return a.Ranked();
                  const BetFigures& fa = a.earlier.figures.Bet(bet);
                  const BetFigures& fb = b.earlier.figures.Bet(bet);
                  const auto order = CompareRatios(fa.payout, fa.stake, fb.payout, fb.stake);
                  if (order != 0) return order > 0;
                  return a.code < b.code;
              });
}

}  // namespace lomi
