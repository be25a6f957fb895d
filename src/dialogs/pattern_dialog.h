#pragma once

#include <functional>

#include <QDialog>
#include <QPointer>

#include "data/program_state.h"
#include "tally/pattern_names.h"

class QGroupBox;
class QPushButton;

namespace lomi {

class RankingWindow;

namespace ui {
class ComboBox;
}

// The pattern dialog: four selectors (axis index, axis rank, partner index,
// bet style). OK checks that each has a choice, stores it as Con1..Con4 and
// the file mask, and hands the choice to the opener, which loads the
// pattern and prepares the main window; when that succeeds the dialog
// closes with Accepted, otherwise it stays open. ｷｬﾝｾﾙ, Esc and the close box
// change nothing. 全パターン opens the ranking of every pattern, 中止 stops
// its run; a pattern chosen there opens as OK opens it.
class PatternDialog : public QDialog {
    Q_OBJECT

public:
    // Runs the existence test and the load of the pattern state now holds,
    // shows any message over dialog and, when the pattern opened, prepares
    // the main window. Returns whether the pattern opened.
    using PatternOpener = std::function<bool(const PatternSelections& chosen, QWidget* dialog)>;

    // Opens the ranking window over dialog (so it takes input while the
    // dialog is modal); nothing when it cannot.
    using RankingOpener = std::function<RankingWindow*(QWidget* dialog)>;

    PatternDialog(ProgramState& state, PatternOpener opener, QWidget* parent = nullptr,
            RankingOpener rankingOpener = {});

    // Combo1 … Combo4 by their number.
    ui::ComboBox* Combo(int number) const;
    // The selections OK accepted last (Con1..Con4 as stored).
    const PatternSelections& Chosen() const { return chosen_; }
    // True while OK's opener runs; the dialog takes no other command then.
    bool Opening() const { return opening_; }

    void Command1_Click();  // OK
    void Command2_Click();  // ｷｬﾝｾﾙ
    void Command3_Click();  // 全パターン
    void Command4_Click();  // 中止

    // Puts the selections into Combo1..Combo4 and presses OK.
    void ChoosePattern(const PatternSelections& selections);
    // The ranking window 全パターン opened, while it is open.
    RankingWindow* Ranking() const;

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

private:
    void CreateControls();
    void Form_Load();
    void UpdateCommand4();

    ProgramState& state_;
    PatternOpener opener_;
    RankingOpener rankingOpener_;
    QPointer<RankingWindow> ranking_;
    PatternSelections chosen_{};
    bool opening_ = false;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    ui::ComboBox* combos_[4] = {};
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
};

}  // namespace lomi
