#include "analysis/pattern_analysis.h"

#include <utility>

#include "tally/race_filter.h"
#include "tally/tally_report.h"

namespace lomi {

bool SelectPattern(ProgramState& state, const PatternSelections& selections) {
    state.Con1 = selections.con1;
    state.Con2 = selections.con2;
    state.Con3 = selections.con3;
    state.Con4 = selections.con4;
    const auto mask =
        BuildPatternFileMask(selections.con1, selections.con2, selections.con3, selections.con4);
    state.PatternFileMask = mask.value_or("");
    return mask.has_value();
}

PatternLoad LoadPattern(const std::string& folder, const std::string& mask,
                        const LoadProgress& progress, std::stop_token stop) {
    PatternLoad load;
    if (PatternFilesMissing(folder, mask)) {
        load.status = LoadStatus::NotFound;
        load.message = kFileNotFound;
        return load;
    }
    const LoadResult result = ReadPatternFiles(folder, mask, load.data, progress, stop);
    if (!result.ok) {
        load.status = result.cancelled ? LoadStatus::Cancelled : LoadStatus::Failed;
        load.message = result.message;
        load.data = LoadedData();
    }
    return load;
}

bool CommitLoad(ProgramState& state, PatternLoad&& load) {
    if (load.status != LoadStatus::Loaded) return false;
    state.Loaded = std::move(load.data);
    return true;
}

std::string DescribeCurrentPattern(const ProgramState& state) {
    return DescribeSelections(state.Con1, state.Con2, state.Con3, state.Con4).value_or("");
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
