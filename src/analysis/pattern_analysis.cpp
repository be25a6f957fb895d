#include "analysis/pattern_analysis.h"

#include <utility>

#include "analysis/task_failure.h"
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

PatternLoad LoadPatternOrThrow(const std::string& folder, const std::string& mask,
                               const LoadProgress& progress, const std::stop_token& stop,
                               const RecordCacheOptions& cache) {
    PatternLoad load;
    if (PatternFilesMissing(folder, mask)) {
        load.status = LoadStatus::NotFound;
        load.message = kFileNotFound;
        return load;
    }
    const LoadResult result = ReadPatternFiles(folder, mask, load.data, progress, stop, cache);
    if (!result.ok) {
        load.status = result.cancelled ? LoadStatus::Cancelled : LoadStatus::Failed;
        load.message = result.message;
        load.data = LoadedData();
    }
    return load;
}

}  // namespace

PatternLoad LoadPattern(const std::string& folder, const std::string& mask,
                        const LoadProgress& progress, std::stop_token stop,
                        const RecordCacheOptions& cache) noexcept {
    try {
        return LoadPatternOrThrow(folder, mask, progress, stop, cache);
    } catch (...) {
        PatternLoad failed;
        failed.status = LoadStatus::Failed;
        failed.message = DescribeTaskFailure("パターンの読み込み", std::current_exception());
        return failed;
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
