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
    // Modal to the main window only: the analysis windows, which have no
    // parent, keep taking input while it is open.
    setWindowModality(Qt::WindowModal);
    CreateControls();
    // Taller than the form's 2430 by the row of 全パターン and 中止.
    setFixedSize(ui::TwipsSize(3360, 2925));
    SelectStoredPattern();
}

void PatternDialog::CreateControls() {
    axisFrame_ = new QGroupBox(QString::fromUtf8("軸馬"), this);
    axisFrame_->setObjectName("AxisFrame");
    ui::PlaceTwips(axisFrame_, 150, 150, 3060, 780);
    partnerFrame_ = new QGroupBox(QString::fromUtf8("ひも"), this);
    partnerFrame_->setObjectName("PartnerFrame");
    ui::PlaceTwips(partnerFrame_, 150, 1050, 3060, 780);

    QGroupBox* frameOf[4] = {axisFrame_, axisFrame_, partnerFrame_, partnerFrame_};
    // The frame's caption is each selector's label for a screen reader; the
    // name and the description tell the two selectors of a frame apart.
    const char* purpose[4] = {"軸馬の指数", "軸馬の順位", "ひもの指数", "買い方"};
    const char* name[4] = {"AxisIndexSelector", "AxisRankSelector", "PartnerIndexSelector",
                           "BetStyleSelector"};
    for (int i = 0; i < 4; ++i) {
        selectors_[i] = new ui::ComboBox(frameOf[i]);
        selectors_[i]->setObjectName(name[i]);
        selectors_[i]->setAccessibleName(QString::fromUtf8(purpose[i]));
        selectors_[i]->setAccessibleDescription(QString::fromUtf8(purpose[i]));
        const bool left = i % 2 == 0;
        ui::PlaceTwips(selectors_[i], left ? 180 : 1755, 315, left ? 1500 : 1140, 300);
    }

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName("OkButton");
    ui::PlaceTwips(okButton_, 195, 1995, 1500, 360);
    connect(okButton_, &QPushButton::clicked, this, &PatternDialog::OkClicked);

    cancelButton_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName("CancelButton");
    ui::PlaceTwips(cancelButton_, 1710, 1995, 1500, 360);
    connect(cancelButton_, &QPushButton::clicked, this, &PatternDialog::CancelClicked);

    allPatternsButton_ = new QPushButton(QString::fromUtf8("全パターン"), this);
    allPatternsButton_->setObjectName("AllPatternsButton");
    ui::PlaceTwips(allPatternsButton_, 180, 2490, 1500, 360);
    connect(allPatternsButton_, &QPushButton::clicked, this, &PatternDialog::AllPatternsClicked);
    allPatternsButton_->setEnabled(static_cast<bool>(rankingOpener_));

    stopButton_ = new QPushButton(QString::fromUtf8("中止"), this);
    stopButton_->setObjectName("StopButton");
    ui::PlaceTwips(stopButton_, 1695, 2490, 1500, 360);
    connect(stopButton_, &QPushButton::clicked, this, &PatternDialog::StopClicked);
    stopButton_->setEnabled(false);

    // No default button: Enter presses the button that has the focus, and
    // the focus starts on ｷｬﾝｾﾙ.
    for (QPushButton* button : {okButton_, cancelButton_, allPatternsButton_, stopButton_}) {
        button->setDefault(false);
    }
    setTabOrder(cancelButton_, okButton_);
    setTabOrder(okButton_, allPatternsButton_);
    setTabOrder(allPatternsButton_, stopButton_);
    setTabOrder(stopButton_, selectors_[0]);
    setTabOrder(selectors_[0], selectors_[1]);
    setTabOrder(selectors_[1], selectors_[2]);
    setTabOrder(selectors_[2], selectors_[3]);
    cancelButton_->setFocus();
}

ui::ComboBox* PatternDialog::Selector(int number) const { return selectors_[number - 1]; }

void PatternDialog::SelectStoredPattern() {
    FillList(selectors_[0], IndexKindNames());
    FillList(selectors_[1], AxisRankNames());
    FillList(selectors_[2], IndexKindNames());
    FillList(selectors_[3], BetStyleNames());
    SelectPosition(selectors_[0], state_.Pattern.axisIndex);
    SelectPosition(selectors_[1], state_.Pattern.axisRank);
    SelectPosition(selectors_[2], state_.Pattern.partnerIndex);
    SelectPosition(selectors_[3], state_.Pattern.betStyle);
}

void PatternDialog::OkClicked() {
    if (opening_) return;
    for (const ui::ComboBox* combo : selectors_) {
        if (combo->ListIndex() == -1) {
            ui::ShowMessage(this, QString::fromUtf8("選択されていない項目があります。"));
            return;
        }
    }

    const PatternSelections chosen{ChosenSelection(*selectors_[0]), ChosenSelection(*selectors_[1]),
                                   ChosenSelection(*selectors_[2]),
                                   ChosenSelection(*selectors_[3])};
    SelectPattern(state_, chosen);

    // The opener starts the existence test and the load; on any failure
    // it says why (or the user cancelled) and the dialog stays open.
    opening_ = true;
    pending_ = chosen;
    if (!opener_ || !opener_(chosen, this)) opening_ = false;
}

void PatternDialog::OpenEnded(bool opened) {
    if (!opening_) return;
    opening_ = false;
    if (!opened) return;
    chosen_ = pending_;
    accept();
}

void PatternDialog::CancelClicked() {
    if (opening_) {
        opening_ = false;
        emit openAbandoned();
        return;
    }
    QDialog::reject();
}

void PatternDialog::reject() { CancelClicked(); }

RankingWindow* PatternDialog::Ranking() const { return ranking_; }

void PatternDialog::AllPatternsClicked() {
    if (opening_ || !rankingOpener_) return;
    if (ranking_) {
        ranking_->raise();
        ranking_->activateWindow();
        if (!ranking_->Running()) ranking_->Start();
    } else {
        FollowRanking(rankingOpener_(this));
    }
    UpdateStopButton();
}

void PatternDialog::FollowRanking(RankingWindow* ranking) {
    if (ranking == nullptr || ranking == ranking_) return;
    ranking_ = ranking;
    connect(ranking_, &RankingWindow::started, this, &PatternDialog::UpdateStopButton);
    connect(ranking_, &RankingWindow::finished, this, &PatternDialog::UpdateStopButton);
    connect(ranking_, &QObject::destroyed, this, &PatternDialog::UpdateStopButton);
    UpdateStopButton();
}

void PatternDialog::StopClicked() {
    if (ranking_) ranking_->Cancel();
    UpdateStopButton();
}

void PatternDialog::UpdateStopButton() {
    stopButton_->setEnabled(ranking_ && ranking_->Running() && !ranking_->Stopping());
}

void PatternDialog::ChoosePattern(const PatternSelections& selections) {
    if (opening_) return;
    SelectPosition(selectors_[0], selections.axisIndex);
    SelectPosition(selectors_[1], selections.axisRank);
    SelectPosition(selectors_[2], selections.partnerIndex);
    SelectPosition(selectors_[3], selections.betStyle);
    OkClicked();
}

}  // namespace lomi
