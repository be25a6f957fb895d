#pragma once

#include <string>

#include "analysis/pattern_analysis.h"

class QWidget;

namespace lomi::ui {

// How long a load runs before its progress window shows.
inline constexpr int kProgressDelayMilliseconds = 500;

// LoadPattern of folder and mask on the worker thread that every load
// shares. Meanwhile the calling
// (user-interface) thread runs its event loop with the wait cursor shown
// and, once the load has lasted showAfterMilliseconds, a progress window
// over parent (window-modal) whose counts are refreshed at most every
// 50 ms. Its ｷｬﾝｾﾙ stops the load: the result is then Cancelled, even when
// the worker had just finished, and holds no data; it returns at once,
// without waiting for the worker to let go of a file it is reading. The
// files are read through cache.
PatternLoad LoadPatternInBackground(const std::string& folder, const std::string& mask,
                                    QWidget* parent,
                                    int showAfterMilliseconds = kProgressDelayMilliseconds,
                                    const RecordCacheOptions& cache = {});

}  // namespace lomi::ui
