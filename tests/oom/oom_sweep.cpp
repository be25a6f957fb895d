// Out of memory at every allocation: each operation below runs once for
// every n, with the n-th call of operator new failing (first pass), then
// with the n-th and every later call failing (second pass). In the first
// pass each run must end as it would have, or as a failure with a message,
// leaving the loaded data as it was; in neither pass may the program end.
// The operations: loading a pattern, ranking every pattern on one thread
// (so that the n-th allocation is the same one every run), and the
// worker's side of a background run up to its hand-over.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <string>

#include "analysis/overfitting.h"
#include "analysis/pattern_analysis.h"
#include "analysis/pattern_ranking.h"
#include "app/worked_example.h"
#include "support/temp_folder.h"
#include "ui/worker_task.h"

namespace {

// The allocation counter: calls since the last Arm; the call that fails
// (0: none), and whether every later one fails too.
std::atomic<long> calls{0};
std::atomic<long> failAt{0};
std::atomic<bool> failLater{false};

void Arm(long at, bool later) {
    failLater = later;
    calls = 0;
    failAt = at;
}
long Disarm() {
    failAt = 0;
    return calls;
}

bool ShouldFail() {
    const long n = ++calls;
    const long at = failAt.load(std::memory_order_relaxed);
    return at != 0 && (n == at || (n > at && failLater.load(std::memory_order_relaxed)));
}

void* Allocate(std::size_t size) {
    if (ShouldFail()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    if (ShouldFail()) return nullptr;
    const auto alignment = static_cast<std::size_t>(align);
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = AllocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

namespace t = lomi::test;
using Clock = std::chrono::steady_clock;

constexpr long kEveryCallUpTo = 20000;
constexpr double kSecondsPerSweep = 60;

// Two patterns over six race days.
void WriteFolder(const std::filesystem::path& folder) {
    for (int day = 1; day <= 6; ++day) {
        for (const char* pattern : {"Q1RN", "T2FB"}) {
            t::WriteTicketFile(folder, "P0104" + std::to_string(10 + day) + pattern + ".txt",
                               {t::HeaderLine(2001, 4, 10 + day),
                                t::Race(5, 11, 16, 4, 6, 1, 16, day % 2 ? "0023" : "0000", "0012",
                                        "00000", "00000", 3),
                                t::Race(6, 10, 12, 4, 5, 2, 14, day % 3 ? "0000" : "0450", "0000",
                                        "00000", "00000", 3)});
        }
    }
}

// One operation: runs it armed and says whether its outcome is allowed
// (in the first pass; the second only asks that it end).
struct Operation {
    const char* name;
    std::function<bool(long n, bool later)> run;
};

// Sweeps n from 1 to the calls of an unhindered run, in steps that keep
// each pass within kSecondsPerSweep. False on a disallowed outcome.
bool Sweep(const Operation& op) {
    const auto started = Clock::now();
    op.run(0, false);
    const long total = calls;
    const double once = std::chrono::duration<double>(Clock::now() - started).count();
    long stride = 1;
    if (total > kEveryCallUpTo) {
        stride = std::max<long>(1, static_cast<long>(total * once * 2 / kSecondsPerSweep));
    }
    std::printf("%s: %ld allocations, every %ld%s\n", op.name, total, stride,
                stride == 1 ? " (all)" : "");
    std::fflush(stdout);
    for (const bool later : {false, true}) {
        for (long n = 1; n <= total; n += stride) {
            if (!op.run(n, later) && !later) {
                std::printf("%s: run failing at allocation %ld ended wrongly\n", op.name, n);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int main() {
    t::TempFolder folder;
    WriteFolder(folder.Path());
    const std::string dataFolder = folder.PathText();
    const std::string mask = "P*Q1RN.txt";

    const lomi::PatternLoad reference = lomi::LoadPattern(dataFolder, mask);
    lomi::RankingOptions options;
    options.threads = 1;
    const lomi::RankingResult ranked = lomi::RankAllPatterns(dataFolder, options);
    if (reference.status != lomi::LoadStatus::Loaded || ranked.patterns.size() != 2 ||
        !lomi::EstimateOverfitting(ranked.patterns, lomi::BetType::Win, 0).Estimated()) {
        std::printf("the folder does not give two ranked patterns with an estimate\n");
        return 1;
    }
    const std::size_t records = reference.data.Records.Size();

    // A loaded pattern a failed load must leave as it is.
    lomi::ProgramState state;
    lomi::CommitLoad(state, lomi::LoadPattern(dataFolder, "P*T2FB.txt"));
    const auto kept = state.RecordCount();

    const auto failedWithMessage = [](const std::string& message, long n) {
        return !message.empty() || n == 1;
    };
    const Operation operations[] = {
        {"LoadPattern",
         [&](long n, bool later) {
             Arm(n, later);
             lomi::PatternLoad load = lomi::LoadPattern(dataFolder, mask);
             Disarm();
             if (load.status == lomi::LoadStatus::Loaded)
                 return load.data.Records.Size() == records;
             const bool told =
                 load.status == lomi::LoadStatus::Failed && failedWithMessage(load.message, n);
             return told && !lomi::CommitLoad(state, std::move(load)) &&
                    state.RecordCount() == kept;
         }},
        {"RankAllPatterns",
         [&](long n, bool later) {
             Arm(n, later);
             const lomi::RankingResult result = lomi::RankAllPatterns(dataFolder, options);
             Disarm();
             // Each pattern ranked as before, or marked with why it could not be.
             if (result.status == lomi::RankingStatus::Ranked) {
                 if (result.patterns.size() != ranked.patterns.size()) return false;
                 for (std::size_t i = 0; i < ranked.patterns.size(); ++i) {
                     const lomi::PatternRanking& p = result.patterns[i];
                     const lomi::PatternRanking& expected = ranked.patterns[i];
                     if (p.code != expected.code) return false;
                     if (p.Ranked() && p.earlier.days.size() != expected.earlier.days.size())
                         return false;
                 }
                 return true;
             }
             return result.status == lomi::RankingStatus::Failed &&
                    failedWithMessage(result.message, n);
         }},
        {"WorkerTask::RunWork",
         [&](long n, bool later) {
             const auto run = lomi::ui::WorkerTask::PrepareRun("パターンの読み込み");
             auto loaded = std::make_shared<std::size_t>(0);
             const lomi::ui::WorkerTask::Work work = [&, loaded](std::stop_token stop) {
                 auto load = std::make_shared<lomi::PatternLoad>(
                     lomi::LoadPattern(dataFolder, mask, {}, stop));
                 return lomi::ui::WorkerTask::Delivery(
                     [loaded, load] { *loaded = load->data.Records.Size(); });
             };
             Arm(n, later);
             lomi::ui::WorkerTask::RunWork(*run, work, {});
             Disarm();
             if (lomi::ui::WorkerTask::Failed(*run))
                 return !lomi::ui::WorkerTask::FailureMessage(*run).empty();
             return true;
         }},
    };
    bool passed = true;
    for (const Operation& op : operations) passed = Sweep(op) && passed;
    std::printf(passed ? "every run ended as allowed\n" : "FAILED\n");
    return passed ? 0 : 1;
}
