// MainWindow::RunTally: the tally behind the main window's button and the end
// of a pattern load.

#include <QLabel>

#include "analysis/pattern_analysis.h"
#include "app/main_window.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/text_box.h"

namespace lomi {

namespace {

std::int32_t ChosenData(const ui::ComboBox& combo) { return combo.ItemData(combo.ListIndex()); }

}  // namespace

void MainWindow::RunTally() {
    if (LoadRunning()) return;
    if (state_.RecordCount() == 0) {
        patternDescription_->setText(QStringLiteral("FILE NOT OPEN."));
        ShowTallyInAnalysis(nullptr, {});
        return;
    }
    // Text typed into a selector chooses no condition; say so instead of
    // guessing one, and keep the report as it is.
    for (const ui::ComboBox* combo : conditionSelectors_) {
        if (combo->ListIndex() == -1) {
            ui::ShowMessage(this, QString::fromUtf8("選択されていない項目があります。"));
            return;
        }
    }

    const RaceConditions conditions = CurrentConditions();
    std::string report = TallyLoaded(state_, conditions).report;
    reportBox_->SetText(ui::FromUtf8(report));
    ShowTallyInAnalysis(&conditions, std::move(report));
}

RaceConditions MainWindow::CurrentConditions() const {
    RaceConditions conditions;
    std::int32_t* codes[] = {&conditions.venue,   &conditions.race,      &conditions.runners,
                             &conditions.age,     &conditions.raceClass, &conditions.surface,
                             &conditions.distance};
    for (int i = 0; i < 7; ++i) {
        if (ConditionSelector(i + 1)->ListIndex() >= 0)
            *codes[i] = ChosenData(*ConditionSelector(i + 1));
    }
    if (ConditionSelector(8)->ListIndex() >= 0)
        conditions.date = ui::ToUtf8(ConditionSelector(8)->List(ConditionSelector(8)->ListIndex()));
    conditions.runnersOrMore = static_cast<std::int16_t>(orMoreBox_->Value());
    return conditions;
}

}  // namespace lomi
