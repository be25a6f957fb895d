#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

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

class OverfittingPanel;
class RankingModel;
class RankingFilter;

// 全パターン集計: every pattern of the data folder ranked under the main
// window's conditions. The run goes on a worker thread with a progress bar;
// 中止 stops it and keeps the patterns done. The bet type and the minimum
// of races change the table at once; a new split date runs again. The
// split date starts inside the data, after about two thirds of its days.
// Double-clicking a row, or Enter on it, asks for that pattern to be opened.
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

    // Runs the ranking again (after a change of the split date).
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

private:
    void CreateControls();
    void ShowProgress();
    void ShowResult(const RankingResult& result);
    void ChooseRow(const QModelIndex& index);
    void AskAndSaveCsv();
    void UpdateCount();
    void UpdateOverfitting();
    std::string SplitDate() const;
    void KeepChoices();
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::string folder_;
    RaceConditions conditions_;
    AnalysisChoices* choices_ = nullptr;
    bool running_ = false;
    Ranker ranker_;
    // The counts as the run goes, shared with a run that may outlive the window.
    struct Counts {
        std::atomic<std::size_t> done{0};
        std::atomic<std::size_t> total{0};
    };
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
    ui::WorkerTask worker_{this};

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
    bool splitDateSet_ = false;  // by the data, the user or a former window
    OverfittingPanel* overfitting_ = nullptr;
    // Spinning the minimum of races estimates once it settles, not at every step.
    QTimer* overfittingTimer_ = nullptr;
};

}  // namespace lomi

Q_DECLARE_METATYPE(lomi::PatternSelections)
