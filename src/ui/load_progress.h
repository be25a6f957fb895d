#pragma once

#include <string>

#include "analysis/pattern_analysis.h"

class QWidget;

namespace lomi::ui {

// LoadPattern with a wait cursor from the start and, when the load lasts
// longer than showAfterMilliseconds (or is expected to), a progress dialog
// over parent counting the files read.
PatternLoad LoadPatternWithProgress(const std::string& folder, const std::string& mask,
                                    QWidget* parent, int showAfterMilliseconds = 500);

}  // namespace lomi::ui
