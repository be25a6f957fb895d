#include "dialogs/fm98con.h"

#include <string>
#include <utility>
#include <vector>

#include <QGroupBox>
#include <QPushButton>

#include "analysis/pattern_analysis.h"
#include "ui/combo_box.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/twips.h"

namespace lomi {

namespace {

void FillList(ui::ComboBox* combo, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        combo->AddItem(ui::FromUtf8(names[i]));
        combo->SetItemData(combo->NewIndex(), static_cast<std::int32_t>(i + 1));
    }
}

// A stored selection is the item's position; one that no item has shows as
// no choice.
void SelectPosition(ui::ComboBox* combo, std::int16_t position) {
    const bool valid = position >= 1 && position <= combo->ListCount();
    combo->SetListIndex(valid ? position - 1 : -1);
}

std::int16_t ChosenSelection(const ui::ComboBox& combo) {
    return static_cast<std::int16_t>(combo.ItemData(combo.ListIndex()));
}

}  // namespace

Fm98Con::Fm98Con(ProgramState& state, PatternOpener opener, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      opener_(std::move(opener)) {
    ui::UseInterfaceFont();
    setObjectName("Fm98Con");
    setWindowTitle(QString::fromUtf8("ﾌｧｲﾙを開く"));
    setModal(true);
    CreateControls();
    setFixedSize(ui::TwipsSize(3360, 2430));
    Form_Load();
}

void Fm98Con::CreateControls() {
    frame1_ = new QGroupBox(QString::fromUtf8("軸馬"), this);
    frame1_->setObjectName("Frame1");
    ui::PlaceTwips(frame1_, 150, 150, 3060, 780);
    frame2_ = new QGroupBox(QString::fromUtf8("ひも"), this);
    frame2_->setObjectName("Frame2");
    ui::PlaceTwips(frame2_, 150, 1050, 3060, 780);

    QGroupBox* frameOf[4] = {frame1_, frame1_, frame2_, frame2_};
    // The frame's caption is each selector's label for a screen reader; the
    // name and the description tell the two selectors of a frame apart.
    const char* purpose[4] = {"軸馬の指数", "軸馬の順位", "ひもの指数", "買い方"};
    for (int i = 0; i < 4; ++i) {
        combos_[i] = new ui::ComboBox(frameOf[i]);
        combos_[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
        combos_[i]->setAccessibleName(QString::fromUtf8(purpose[i]));
        combos_[i]->setAccessibleDescription(QString::fromUtf8(purpose[i]));
        const bool left = i % 2 == 0;
        ui::PlaceTwips(combos_[i], left ? 180 : 1755, 315, left ? 1500 : 1140, 300);
    }

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName("Command1");
    ui::PlaceTwips(command1_, 195, 1995, 1500, 360);
    connect(command1_, &QPushButton::clicked, this, &Fm98Con::Command1_Click);

    command2_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    command2_->setObjectName("Command2");
    ui::PlaceTwips(command2_, 1710, 1995, 1500, 360);
    connect(command2_, &QPushButton::clicked, this, &Fm98Con::Command2_Click);

    // No default button: Enter presses the button that has the focus, and
    // the focus starts on ｷｬﾝｾﾙ.
    command1_->setDefault(false);
    command2_->setDefault(false);
    setTabOrder(command2_, command1_);
    setTabOrder(command1_, combos_[0]);
    setTabOrder(combos_[0], combos_[1]);
    setTabOrder(combos_[1], combos_[2]);
    setTabOrder(combos_[2], combos_[3]);
    command2_->setFocus();
}

ui::ComboBox* Fm98Con::Combo(int number) const { return combos_[number - 1]; }

void Fm98Con::Form_Load() {
    FillList(combos_[0], IndexKindNames());
    FillList(combos_[1], AxisRankNames());
    FillList(combos_[2], IndexKindNames());
    FillList(combos_[3], BetStyleNames());
    SelectPosition(combos_[0], state_.Con1);
    SelectPosition(combos_[1], state_.Con2);
    SelectPosition(combos_[2], state_.Con3);
    SelectPosition(combos_[3], state_.Con4);
}

void Fm98Con::Command1_Click() {
    if (opening_) return;
    for (const ui::ComboBox* combo : combos_) {
        if (combo->ListIndex() == -1) {
            ui::ShowMessage(this, QString::fromUtf8("選択されていない項目があります。"));
            return;
        }
    }

    const PatternSelections chosen{ChosenSelection(*combos_[0]), ChosenSelection(*combos_[1]),
                                   ChosenSelection(*combos_[2]), ChosenSelection(*combos_[3])};
    SelectPattern(state_, chosen);

    // The opener tests that files exist and loads them; on any failure it
    // has said why (or the user cancelled) and the dialog stays open.
    opening_ = true;
    const bool opened = opener_ && opener_(chosen, this);
    opening_ = false;
    if (!opened) return;
    chosen_ = chosen;
    accept();
}

void Fm98Con::Command2_Click() {
    if (opening_) return;
    QDialog::reject();
}

void Fm98Con::reject() { Command2_Click(); }

}  // namespace lomi
