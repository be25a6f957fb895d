#include "analysis/ranking_folder_check.h"

#include <algorithm>

#include "data/folder_listing.h"

namespace lomi {

std::string FolderUnreadableMessage(const std::string& folder, const std::string& reason) {
    return "ﾌｫﾙﾀﾞ「" + folder + "」の中を読めません（" + reason + "）。";
}

void EndOnMissingFolder(const std::string& folder, RankingResult& result) {
    if (result.status == RankingStatus::Failed || result.status == RankingStatus::NotFound) return;
    const bool anyFailed = std::any_of(result.patterns.begin(), result.patterns.end(),
                                       [](const PatternRanking& p) { return !p.Ranked(); });
    if (!anyFailed) return;
    const std::string problem = FolderProblem(folder);
    if (problem.empty()) return;
    result.status = RankingStatus::Failed;
    result.message = FolderUnreadableMessage(folder, problem);
}

}  // namespace lomi
