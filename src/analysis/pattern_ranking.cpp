#include "analysis/pattern_ranking.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "analysis/part_sums.h"
#include "analysis/pattern_analysis.h"
#include "analysis/ranking_folder_check.h"
#include "data/task_failure.h"
#include "data/thread_files.h"
#include "tally/race_filter.h"

namespace lomi {
namespace {

// The work a failure message names.
constexpr std::string_view kRankingWork = "全パターンの集計";

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
        PatternSums tally(filter_, options_.splitDate);
        const LoadResult load = StreamListedFiles(
            folder_, pattern.files, data, tally,
            [&](std::size_t done, std::size_t) {
                if (done == 0) return;
                ++read;
                if (watched) countUpTo(read);
            },
            stop_, options_.cache, "P*" + pattern.code + ".txt");
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
        tally.Finish(out.earlier, out.later);
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
    std::size_t reported_ = 0;    // under progressMutex_
    std::exception_ptr failure_;  // under progressMutex_
    std::atomic<bool> failed_{false};
};

// failureMessage, made ahead, tells a failure of the run.
RankingResult RankListedPatterns(const std::string& folder, const RankingOptions& options,
                                 const LoadProgress& progress, const std::stop_token& stop,
                                 std::string& failureMessage) {
    RankingResult result;
    // Each worker sorts its pattern's files, so the sorting is shared out too.
    std::string reason;
    auto patterns = ListPatternFiles(folder, progress, stop, reason, options.threads != 1);
    if (stop.stop_requested()) {
        result.status = RankingStatus::Cancelled;
        return result;
    }
    if (!patterns) {
        result.status = RankingStatus::Failed;
        result.message = FolderUnreadableMessage(folder, reason);
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
        RankingResult result = RankListedPatterns(folder, options, progress, stop, failed.message);
        EndOnMissingFolder(folder, result);
        return result;
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
