// Fm98List::RunTally: the tally behind the main window's button and the end
// of a pattern load.
#include <QLabel>

#include "analysis/pattern_analysis.h"
#include "app/fm98list.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/text_box.h"

namespace lomi {

namespace {

std::int32_t ChosenData(const ui::ComboBox& combo) { return combo.ItemData(combo.ListIndex()); }

}  // namespace

void Fm98List::RunTally() {
    if (loading_) return;
    if (state_.RecordCount() == 0) {
        label2_->setText(QStringLiteral("FILE NOT OPEN."));
        ShowTallyInAnalysis(nullptr, {});
        return;
    }
    // Text typed into a selector chooses no condition; say so instead of
    // guessing one, and keep the report as it is.
    for (const ui::ComboBox* combo : combos_) {
        if (combo->ListIndex() == -1) {
            ui::ShowMessage(this, QString::fromUtf8("選択されていない項目があります。"));
            return;
        }
    }

    RaceConditions conditions;
    conditions.venue = ChosenData(*Combo(1));
    conditions.race = ChosenData(*Combo(2));
    conditions.runners = ChosenData(*Combo(3));
    conditions.age = ChosenData(*Combo(4));
    conditions.raceClass = ChosenData(*Combo(5));
    conditions.surface = ChosenData(*Combo(6));
    conditions.distance = ChosenData(*Combo(7));
    conditions.date = ui::ToUtf8(Combo(8)->List(Combo(8)->ListIndex()));
    conditions.runnersOrMore = static_cast<std::int16_t>(check1_->Value());

    std::string report = TallyLoaded(state_, conditions).report;
    text1_->SetText(ui::FromUtf8(report));
    ShowTallyInAnalysis(&conditions, std::move(report));
}

}  // namespace lomi
