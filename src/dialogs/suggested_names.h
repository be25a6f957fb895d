#pragma once

#include <QString>

#include "data/program_state.h"
#include "tally/race_conditions.h"

namespace lomi {

// The name a save dialog suggests, carrying what is saved:
// "損益グラフ_Q1RN_2001-04-01～2001-06-30.png"; 全期間 without a period.
QString SuggestedFileName(const QString& what, const ProgramState& state,
                          const RaceConditions& conditions, const QString& extension);

}  // namespace lomi
