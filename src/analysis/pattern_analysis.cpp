#include "analysis/pattern_analysis.h"

#include <utility>

#include "data/folder_listing.h"
#include "data/task_failure.h"
#include "tally/race_filter.h"
#include "tally/tally_report.h"

namespace lomi {

bool SelectPattern(ProgramState& state, const PatternSelections& selections) {
    state.Pattern = selections;
    const auto mask = BuildPatternFileMask(selections.axisIndex, selections.axisRank,
                                           selections.partnerIndex, selections.betStyle);
    state.PatternFileMask = mask.value_or("");
    return mask.has_value();
}

namespace {

constexpr const char* kLoadWork = "パターンの読み込み";

// One listing serves the existence test and the read: a folder that cannot
// be opened, or holds no matching file, is "FILE NOT FOUND."; one whose
// reading fails part way is a failure that says why.
void LoadInto(PatternLoad& load, const std::string& folder, const std::string& mask,
              const LoadProgress& progress, const std::stop_token& stop,
              const RecordCacheOptions& cache) {
    std::string reason;
    const auto names = ListPatternFiles(folder, mask, &reason, stop);
    if (stop.stop_requested()) {
        load.status = LoadStatus::Cancelled;
        return;
    }
    if ((!names && !FolderProblem(folder).empty()) || (names && names->empty())) {
        load.status = LoadStatus::NotFound;
        load.message = kFileNotFound;
        return;
    }
    if (!names) {
        load.status = LoadStatus::Failed;
        load.message = "ﾌｫﾙﾀﾞ「" + folder + "」の中を読めません（" + reason + "）。";
        return;
    }
    const LoadResult result =
        ReadListedFiles(folder, *names, load.data, progress, stop, cache, mask);
    if (!result.ok) {
        load.status = result.cancelled ? LoadStatus::Cancelled : LoadStatus::Failed;
        load.message = result.message;
        load.data = LoadedData();
    }
}

}  // namespace

PatternLoad LoadPattern(const std::string& folder, const std::string& mask,
                        const LoadProgress& progress, std::stop_token stop,
                        const RecordCacheOptions& cache) noexcept {
    // The failure's message is made first, so that telling it needs no memory.
    std::string failure;
    if (!PrepareFailureMessage(failure, kLoadWork)) {
        PatternLoad failed;
        failed.status = LoadStatus::Failed;
        return failed;
    }
    PatternLoad load;
    try {
        LoadInto(load, folder, mask, progress, stop, cache);
        return load;
    } catch (...) {
        WriteTaskFailure(failure, kLoadWork, std::current_exception());
        load.status = LoadStatus::Failed;
        load.message = std::move(failure);
        load.data = LoadedData();
        return load;
    }
}

bool CommitLoad(ProgramState& state, PatternLoad&& load) {
    if (load.status != LoadStatus::Loaded) return false;
    state.Loaded = std::move(load.data);
    return true;
}

std::string DescribeCurrentPattern(const ProgramState& state) {
    const PatternSelections& p = state.Pattern;
    return DescribeSelections(p.axisIndex, p.axisRank, p.partnerIndex, p.betStyle).value_or("");
}

LoadedView DescribeLoaded(const ProgramState& state) {
    return LoadedView{DescribeCurrentPattern(state), BuildSelectorItems(state.Loaded)};
}

TallyResult TallyLoaded(ProgramState& state, const RaceConditions& conditions) {
    TallyResult result;
    if (state.Loaded.Records.Empty()) return result;
    ExtractAndTally(state, conditions);
    result.figures = ComputeFigures(state.RecordCount(), state.Tally);
    result.report = BuildTallyReport(result.figures);
    return result;
}

}  // namespace lomi
