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
// bet style). OK checks that each has a choice, stores it as the pattern
// selection and the file mask, and hands the choice to the opener, which
// starts loading the pattern and returns; OpenEnded tells the dialog how
// the load ended: it closes with Accepted when the pattern opened,
// otherwise it stays open. ｷｬﾝｾﾙ, Esc and the close box change nothing;
// during a load they abandon it (openAbandoned). 全パターン opens the
// ranking of every pattern, 中止 stops its run; a pattern chosen there opens
// as OK opens it.
class PatternDialog : public QDialog {
    Q_OBJECT

public:
    // Starts the existence test and the load of the pattern state now
    // holds, with any message shown over dialog, and returns whether the
    // load started; its end comes through OpenEnded.
    using PatternOpener = std::function<bool(const PatternSelections& chosen, QWidget* dialog)>;

    // Opens the ranking window, a window of its own that takes input while
    // the dialog is open; nothing when it cannot.
    using RankingOpener = std::function<RankingWindow*(QWidget* dialog)>;

    PatternDialog(ProgramState& state, PatternOpener opener, QWidget* parent = nullptr,
                  RankingOpener rankingOpener = {});

    // The four selectors by their number: axis index, axis rank, partner index, bet style.
    ui::ComboBox* Selector(int number) const;
    // The selections OK accepted last (the pattern selection as stored).
    const PatternSelections& Chosen() const { return chosen_; }
    // True while OK's load runs; the dialog takes no other command then.
    bool Opening() const { return opening_; }

    void OkClicked();           // OK
    void CancelClicked();       // ｷｬﾝｾﾙ
    void AllPatternsClicked();  // 全パターン
    void StopClicked();         // 中止

    // Puts the selections into the four selectors and presses OK.
    void ChoosePattern(const PatternSelections& selections);
    // The ranking window 全パターン opened, while it is open.
    RankingWindow* Ranking() const;
    // A ranking window already open (from an earlier dialog): 中止 stops its
    // run, and 全パターン brings it to the front.
    void FollowRanking(RankingWindow* ranking);

    // How the load OK started ended: the dialog closes when it opened.
    void OpenEnded(bool opened);

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

signals:
    // ｷｬﾝｾﾙ, Esc or the close box during OK's load: the load is to be abandoned.
    void openAbandoned();

private:
    void CreateControls();
    void SelectStoredPattern();
    void UpdateStopButton();

    ProgramState& state_;
    PatternOpener opener_;
    RankingOpener rankingOpener_;
    QPointer<RankingWindow> ranking_;
    PatternSelections chosen_{};
    PatternSelections pending_{};  // what OK's load opens
    bool opening_ = false;
    QGroupBox* axisFrame_ = nullptr;
    QGroupBox* partnerFrame_ = nullptr;
    ui::ComboBox* selectors_[4] = {};
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* allPatternsButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};

}  // namespace lomi
