#include "dialogs/suggested_names.h"

#include "tally/condition_names.h"
#include "tally/pattern_names.h"
#include "ui/save_file.h"
#include "ui/text.h"

namespace lomi {

QString SuggestedFileName(const QString& what, const ProgramState& state,
                          const RaceConditions& conditions, const QString& extension) {
    const PatternSelections& p = state.Pattern;
    const std::string period = PeriodText(conditions);
    return ui::FileNameOf(
        {what,
         ui::FromUtf8(
             PatternCode(p.axisIndex, p.axisRank, p.partnerIndex, p.betStyle).value_or("")),
         period.empty() ? QString::fromUtf8("全期間") : ui::FromUtf8(period)},
        extension);
}

}  // namespace lomi
