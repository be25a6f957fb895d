#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include <QMetaType>
#include <QWidget>

#include "analysis/pattern_ranking.h"
#include "dialogs/analysis_choices.h"
#include "tally/pattern_names.h"
#include "tally/race_conditions.h"
#include "ui/worker_task.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

namespace lomi {

class OutOfDateBar;
class OverfittingPanel;
class RankingModel;
class RankingFilter;

// 全パターン集計: every pattern of the data folder ranked under the main
// window's conditions. The run goes on a worker thread with a progress bar;
// 中止 stops it and keeps the patterns done. The bet type and the minimum
// of races change the table at once; a new split date runs again. The
// split date belongs to the ranked days: it starts after about two thirds
// of them, follows them while it was not chosen, and a chosen one outside
// them is put back inside with a notice. When the folder or the conditions
// to rank change (Follow), the window marks its figures out of date, and
// 再集計 ranks the new ones. Double-clicking a row, or Enter on it, asks for
// that pattern to be opened.
class RankingWindow : public QWidget {
    Q_OBJECT

public:
    // What ranks the patterns: RankAllPatterns, or a stand-in (a test's).
    using Ranker = std::function<RankingResult(const std::string& folder, const RankingOptions&,
                                               const LoadProgress&, std::stop_token)>;

    // choices: 券種, 最低ﾚｰｽ数, the split and the save folder, kept for the
    // next window.
    RankingWindow(std::string folder, RaceConditions conditions, QWidget* parent = nullptr,
                  AnalysisChoices* choices = nullptr, Ranker ranker = RankAllPatterns);
    ~RankingWindow() override;
    // The record cache the rankings read through (none by default).
    void SetRecordCache(RecordCacheOptions cache) { cache_ = std::move(cache); }

    // What is to be ranked from now on: the data folder and the conditions
    // of the main window's latest tally. Figures of others are marked out of
    // date until the next run.
    void Follow(const std::string& folder, const RaceConditions& conditions);
    bool OutOfDate() const;
    QString OutOfDateText() const;

    // Runs the ranking of what Follow gave last (after a change of the split
    // date, 再集計).
    void Start();
    // 中止: the run stops before its next file.
    void Cancel();
    bool Running() const { return running_; }
    // A stop was asked for and the run has not ended yet.
    bool Stopping() const { return running_ && worker_.StopRequested(); }

    // The table as shown (filtered and sorted) into a CSV file, UTF-8 with a
    // byte order mark. False, after a message, when it cannot be saved.
    bool SaveCsv(const QString& path);

    RankingModel* Model() const { return model_; }
    RankingFilter* Filter() const { return filter_; }
    QTableView* Table() const { return table_; }
    OverfittingPanel* Overfitting() const { return overfitting_; }

signals:
    // A row was double-clicked: open this pattern as the pattern dialog's OK does.
    void patternChosen(lomi::PatternSelections selections);
    // A run began; a run ended, finished or stopped.
    void started();
    void finished();
    // The figures that depend on the bet type and the minimum of races
    // (PBO, 補正下限, 期待回収率) are shown, or why they are not.
    void figuresShown();

private:
    void CreateControls();
    void ShowProgress();
    void ShowResult(const RankingResult& result);
    void ChooseRow(const QModelIndex& index);
    void AskAndSaveCsv();
    void UpdateCount();
    void UpdateRankingFigures();
    void UpdateOutOfDate();
    void ShowSubject();
    // Puts the split date inside the ranked days; true when it changed.
    bool FitSplitDate(const std::vector<PatternRanking>& patterns);
    std::string SplitDate() const;
    void KeepChoices();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The run on screen (or going), and what the next run ranks.
    std::string folder_;
    RaceConditions conditions_;
    std::string nextFolder_;
    RaceConditions nextConditions_;
    AnalysisChoices* choices_ = nullptr;
    bool running_ = false;
    Ranker ranker_;
    RecordCacheOptions cache_;
    // The counts as the run goes, shared with a run that may outlive the window.
    struct Counts {
        std::atomic<std::size_t> done{0};
        std::atomic<std::size_t> total{0};
    };
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
    ui::WorkerTask worker_{this};
    // PBO, the corrected bounds and the expected recoveries of the bet type
    // and minimum shown, worked out off the window's thread.
    ui::WorkerTask figuresTask_{this};

    RankingModel* model_ = nullptr;
    RankingFilter* filter_ = nullptr;
    QComboBox* betCombo_ = nullptr;
    QSpinBox* minRaces_ = nullptr;
    QCheckBox* splitCheck_ = nullptr;
    QDateEdit* splitDate_ = nullptr;
    QPushButton* runButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTableView* table_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* count_ = nullptr;
    QTimer* timer_ = nullptr;
    QTimer* splitRestart_ = nullptr;
    // Where the split date shown came from: none yet, the ranked days, or
    // the user (here or in a former window).
    enum class SplitSource { None, Data, User };
    SplitSource splitSource_ = SplitSource::None;
    QString splitNotice_;     // shown with the next run's result
    QLabel* hint_ = nullptr;  // why the table is empty
    OutOfDateBar* outOfDate_ = nullptr;
    OverfittingPanel* overfitting_ = nullptr;
    // Spinning the minimum of races works the figures out once it settles,
    // not at every step.
    QTimer* overfittingTimer_ = nullptr;
};

}  // namespace lomi

Q_DECLARE_METATYPE(lomi::PatternSelections)
