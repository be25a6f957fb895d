#pragma once

#include <cstdint>
#include <string>

#include "data/program_state.h"

namespace lomi {

class Fm98List;

// Brings the main window into line with freshly loaded data: empties the
// report, describes the pattern in Label2 and refills the eight selectors,
// each headed by "全抽出" and left on it. The texts are those of the items
// chosen in the pattern dialog.
void PrepareMainWindowAfterLoad(Fm98List& window, const LoadedData& data,
                                const std::string& axisIndex, const std::string& axisRank,
                                const std::string& partnerIndex, const std::string& betStyle,
                                std::int16_t con4);

}  // namespace lomi
