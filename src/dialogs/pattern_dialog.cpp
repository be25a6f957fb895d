#include "dialogs/pattern_dialog.h"

#include <string>
#include <utility>
#include <vector>

#include <QGroupBox>
#include <QPushButton>

#include "analysis/pattern_analysis.h"
#include "dialogs/ranking_window.h"
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

PatternDialog::PatternDialog(ProgramState& state, PatternOpener opener, QWidget* parent,
                 RankingOpener rankingOpener)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      opener_(std::move(opener)),
      rankingOpener_(std::move(rankingOpener)) {
    ui::UseInterfaceFont();
    setObjectName("PatternDialog");
    setWindowTitle(QString::fromUtf8("ﾌｧｲﾙを開く"));
    setModal(true);
    CreateControls();
    // Taller than the form's 2430 by the row of 全パターン and 中止.
    setFixedSize(ui::TwipsSize(3360, 2925));
    Form_Load();
}

void PatternDialog::CreateControls() {
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
    connect(command1_, &QPushButton::clicked, this, &PatternDialog::Command1_Click);

    command2_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    command2_->setObjectName("Command2");
    ui::PlaceTwips(command2_, 1710, 1995, 1500, 360);
    connect(command2_, &QPushButton::clicked, this, &PatternDialog::Command2_Click);

    command3_ = new QPushButton(QString::fromUtf8("全パターン"), this);
    command3_->setObjectName("Command3");
    ui::PlaceTwips(command3_, 180, 2490, 1500, 360);
    connect(command3_, &QPushButton::clicked, this, &PatternDialog::Command3_Click);
    command3_->setEnabled(static_cast<bool>(rankingOpener_));

    command4_ = new QPushButton(QString::fromUtf8("中止"), this);
    command4_->setObjectName("Command4");
    ui::PlaceTwips(command4_, 1695, 2490, 1500, 360);
    connect(command4_, &QPushButton::clicked, this, &PatternDialog::Command4_Click);
    command4_->setEnabled(false);

    // No default button: Enter presses the button that has the focus, and
    // the focus starts on ｷｬﾝｾﾙ.
    for (QPushButton* button : {command1_, command2_, command3_, command4_}) {
        button->setDefault(false);
    }
    setTabOrder(command2_, command1_);
    setTabOrder(command1_, command3_);
    setTabOrder(command3_, command4_);
    setTabOrder(command4_, combos_[0]);
    setTabOrder(combos_[0], combos_[1]);
    setTabOrder(combos_[1], combos_[2]);
    setTabOrder(combos_[2], combos_[3]);
    command2_->setFocus();
}

ui::ComboBox* PatternDialog::Combo(int number) const { return combos_[number - 1]; }

void PatternDialog::Form_Load() {
    FillList(combos_[0], IndexKindNames());
    FillList(combos_[1], AxisRankNames());
    FillList(combos_[2], IndexKindNames());
    FillList(combos_[3], BetStyleNames());
    SelectPosition(combos_[0], state_.Con1);
    SelectPosition(combos_[1], state_.Con2);
    SelectPosition(combos_[2], state_.Con3);
    SelectPosition(combos_[3], state_.Con4);
}

void PatternDialog::Command1_Click() {
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

void PatternDialog::Command2_Click() {
    if (opening_) return;
    QDialog::reject();
}

void PatternDialog::reject() { Command2_Click(); }

RankingWindow* PatternDialog::Ranking() const { return ranking_; }

void PatternDialog::Command3_Click() {
    if (opening_ || !rankingOpener_) return;
    if (ranking_) {
        ranking_->raise();
        ranking_->activateWindow();
        if (!ranking_->Running()) ranking_->Start();
    } else {
        ranking_ = rankingOpener_(this);
        if (!ranking_) return;
        connect(ranking_, &RankingWindow::started, this, &PatternDialog::UpdateCommand4);
        connect(ranking_, &RankingWindow::finished, this, &PatternDialog::UpdateCommand4);
        connect(ranking_, &QObject::destroyed, this, &PatternDialog::UpdateCommand4);
    }
    UpdateCommand4();
}

void PatternDialog::Command4_Click() {
    if (ranking_) ranking_->Cancel();
    UpdateCommand4();
}

void PatternDialog::UpdateCommand4() {
    command4_->setEnabled(ranking_ && ranking_->Running() && !ranking_->Stopping());
}

void PatternDialog::ChoosePattern(const PatternSelections& selections) {
    if (opening_) return;
    SelectPosition(combos_[0], selections.con1);
    SelectPosition(combos_[1], selections.con2);
    SelectPosition(combos_[2], selections.con3);
    SelectPosition(combos_[3], selections.con4);
    Command1_Click();
}

}  // namespace lomi
