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

#include "analysis/drawdown.h"
#include "analysis/pattern_analysis.h"
#include "analysis/recovery_interval.h"
#include "data/task_failure.h"
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
    return ((static_cast<std::size_t>(s.axisIndex - 1) * 5 + (s.axisRank - 1)) * 7 +
            (s.partnerIndex - 1)) *
               2 +
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

// A date text as RaceDaySums keeps it: its first eight bytes, big-endian.
std::uint64_t DateKey(std::string_view date) {
    if (date.size() >= 8) return LoadOrderedWord(date.data());
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        key = key << 8 | (i < date.size() ? static_cast<unsigned char>(date[i]) : 0u);
    }
    return key;
}

// One bet type's running sums of the interval over the races that add to
// its stake or payout. One bet type at a time in scalars: packing the four
// into vectors stalls on loads of values just stored one by one.
struct BetStream {
    double squaredPayout = 0, payoutTimesStake = 0, squaredStake = 0;
    std::int64_t samples = 0;

    void Add(double paid, double stake) {
        // A race without a pair ticket and without a payout is no bet at all.
        if (stake == 0 && paid == 0) return;
        ++samples;
        squaredPayout += paid * paid;
        payoutTimesStake += paid * stake;
        squaredStake += stake * stake;
    }
};

// The counted races of one part as they stream past.
struct PartStream {
    std::int64_t records = 0;
    TallyAccumulators tally;
    std::array<BetStream, 4> bets;
    std::vector<RaceDaySums> days;  // the last one still filling
    TallyAccumulators dayStart;     // the tally when the last day began
    bool ordered = true;            // dates never went back: days are in order

    // The last day's sums: what the tally grew by since it began. Taken
    // once a day, so that a record costs no more than a look at its date.
    void CloseDay() {
        if (days.empty()) return;
        RaceDaySums& day = days.back();
        day.races = static_cast<std::int32_t>(tally.ExtractedRaces - dayStart.ExtractedRaces);
        day.pairTickets = static_cast<std::int32_t>(tally.PairTickets - dayStart.PairTickets);
        day.payout[0] = SaturatingSub(tally.WinPayout, dayStart.WinPayout);
        day.payout[1] = SaturatingSub(tally.PlacePayout, dayStart.PlacePayout);
        day.payout[2] = SaturatingSub(tally.QuinellaPayout, dayStart.QuinellaPayout);
        day.payout[3] = SaturatingSub(tally.WidePayout, dayStart.WidePayout);
    }
};

// What a counted race paid on bet type k, and what it cost, in yen.
double RacePaid(const RaceOutcome& race, std::size_t k) {
    return race.whole ? static_cast<double>(race.units[k]) * 10 : race.values[k] * 10;
}
double RaceCost(const RaceOutcome& race, std::size_t k) {
    return static_cast<double>(RaceTickets(race, k) * kTicketYen);
}

// Days sorted by date, those of one date merged, when the races came out
// of date order.
void SortDays(std::vector<RaceDaySums>& days) {
    std::stable_sort(days.begin(), days.end(),
                     [](const RaceDaySums& a, const RaceDaySums& b) { return a.date < b.date; });
    std::vector<RaceDaySums> merged;
    for (const RaceDaySums& day : days) {
        if (merged.empty() || merged.back().date != day.date) {
            merged.push_back(day);
            continue;
        }
        RaceDaySums& into = merged.back();
        into.races += day.races;
        into.pairTickets += day.pairTickets;
        for (std::size_t k = 0; k < 4; ++k)
            into.payout[k] = SaturatingAdd(into.payout[k], day.payout[k]);
    }
    days = std::move(merged);
}

void FinishPart(PartStream& stream, RankedPart& part) {
    part.recordCount = stream.records;
    part.tally = stream.tally;
    part.figures = ComputeFigures(stream.records, stream.tally);
    stream.CloseDay();
    if (!stream.ordered) SortDays(stream.days);
    part.days = std::move(stream.days);
    part.days.shrink_to_fit();
    for (const BetType bet : kBetTypes) {
        const std::size_t k = Index(bet);
        const BetFigures& f = part.figures.Bet(bet);
        const BetStream& sums = stream.bets[k];
        const RatioInterval interval = EstimateRatioInterval(
            {sums.samples, static_cast<double>(f.payout), static_cast<double>(f.stake),
             sums.squaredPayout, sums.payoutTimesStake, sums.squaredStake});
        BetSpread& spread = part.spreads[k];
        spread.samples = sums.samples;
        spread.standardError = interval.standardError;
        spread.recoveryLow = interval.low;
        spread.recoveryHigh = interval.high;
        DrawdownTracker fall;
        for (const RaceDaySums& day : part.days) fall.Step(day.Bet(bet).profit, 0);
        spread.maxDrawdown = fall.deepest;
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
        // A part's races come a day at a time: a new date closes the day
        // before and opens its own.
        const std::uint64_t date = DateKey(race.date);
        if (part.days.empty() || part.days.back().date != date) {
            part.CloseDay();
            if (!part.days.empty() && date < part.days.back().date) part.ordered = false;
            part.days.push_back({date, 0, 0, {}});
            part.dayStart = part.tally;
        }
        AddOutcome(part.tally, race);
        for (std::size_t k = 0; k < 4; ++k) part.bets[k].Add(RacePaid(race, k), RaceCost(race, k));
    }

    void Finish(PatternRanking& out) {
        FinishPart(parts_[0], out.earlier);
        if (!split_.empty()) {
            out.later.emplace();
            FinishPart(parts_[1], *out.later);
        }
    }

private:
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
        out.description =
            DescribeSelections(pattern.selections.axisIndex, pattern.selections.axisRank,
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
// found, 0). Without alongside (a run on one thread) the names are grouped
// on this thread as they come.
std::optional<std::vector<PatternFiles>> ListGroupedAlongside(const std::string& folder,
                                                              const LoadProgress& progress,
                                                              const std::stop_token& stop,
                                                              std::string& reason,
                                                              bool alongside) {
    constexpr std::size_t kBatchBytes = 64 * 1024;
    PatternGroups groups;
    if (!alongside) {
        // One thread: the names are grouped as they come, in a repeatable order.
        if (progress) progress(0, 0);
        if (!ForEachPlainFile(folder, CarriesCode, [&](std::string_view name) { groups.Add(name); },
                              reason, stop))
            return std::nullopt;
        return groups.Take(false);
    }
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

// failureMessage, made ahead, tells a failure of the run.
RankingResult RankListedPatterns(const std::string& folder, const RankingOptions& options,
                                 const LoadProgress& progress, const std::stop_token& stop,
                                 std::string& failureMessage) {
    RankingResult result;
    // Each worker sorts its pattern's files, so the sorting is shared out too.
    std::string reason;
    auto patterns = ListGroupedAlongside(folder, progress, stop, reason, options.threads != 1);
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
        WriteTaskFailure(failureMessage, kRankingWork, failure);
        result.message = std::move(failureMessage);
    } else if (stop.stop_requested() && result.patterns.size() < patterns->size()) {
        result.status = RankingStatus::Cancelled;
    }
    return result;
}

}  // namespace

RankingResult RankAllPatterns(const std::string& folder, const RankingOptions& options,
                              const LoadProgress& progress, std::stop_token stop) noexcept {
    // The failure's message is made first, so that telling it needs no memory.
    RankingResult failed;
    failed.status = RankingStatus::Failed;
    if (!PrepareFailureMessage(failed.message, kRankingWork)) return failed;
    try {
        return RankListedPatterns(folder, options, progress, stop, failed.message);
    } catch (...) {
        WriteTaskFailure(failed.message, kRankingWork, std::current_exception());
        return failed;
    }
}

std::string DefaultSplitDate(const std::vector<PatternRanking>& patterns) {
    std::vector<std::uint64_t> days;
    const auto add = [&](const RankedPart& part) {
        for (const RaceDaySums& day : part.days) days.push_back(day.date);
    };
    for (const PatternRanking& pattern : patterns) {
        add(pattern.earlier);
        if (pattern.later) add(*pattern.later);
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    if (days.empty()) return {};
    return RaceDaySums{days[days.size() * 2 / 3]}.DateText();
}

bool TakesPart(const PatternRanking& pattern, BetType bet, std::int64_t minRaces) {
    return pattern.Ranked() && pattern.earlier.figures.Bet(bet).stake > 0 &&
           pattern.earlier.tally.ExtractedRaces >= minRaces;
}

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
