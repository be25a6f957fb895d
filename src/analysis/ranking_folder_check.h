#pragma once

#include <string>

#include "analysis/pattern_ranking.h"

namespace lomi {

// "ﾌｫﾙﾀﾞ「folder」の中を読めません（reason）。"
std::string FolderUnreadableMessage(const std::string& folder, const std::string& reason);

// Files that could not be read during a ranking may mean the folder itself
// went away (renamed, removed, its drive unplugged). When any pattern
// failed and the folder can no longer be listed, the run ends as Failed
// with the folder's message, whatever was read before: the figures of the
// patterns read until then are not the folder's ranking.
void EndOnMissingFolder(const std::string& folder, RankingResult& result);

}  // namespace lomi
