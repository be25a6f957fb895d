#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "analysis/pattern_analysis.h"
#include "data/program_state.h"
#include "dialogs/analysis_choices.h"
#include "ui/pattern_loader.h"
#include "ui/worker_task.h"

class QAction;
class QCloseEvent;
class QLabel;
class QMenu;
class QPushButton;

namespace lomi::ui {
class CheckBox;
class ProgressWindow;
class ComboBox;
class TextBox;
}  // namespace lomi::ui

namespace lomi {

class PatternDialog;
class RankingWindow;
class BreakdownWindow;
class ProfitChartWindow;

// The main window: eight race-condition selectors, the "以上" box, the
// pattern description, the report box and the tally button. It shows the
// program state it is given and saves the settings when it closes.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // iniPath is the settings file written when the window closes; load
    // reads a pattern (LoadPattern, or a test's stand-in).
    MainWindow(ProgramState& state, std::string iniPath, QWidget* parent = nullptr,
               ui::PatternLoader::LoadFunction load = LoadPattern);
    // The analysis windows still open go with it.
    ~MainWindow() override;

    ProgramState& State() { return state_; }

    // The condition selectors by their number, 1 (開催) … 8 (日付).
    ui::ComboBox* ConditionSelector(int number) const;
    QLabel* PatternDescription() const { return patternDescription_; }
    ui::TextBox* ReportBox() const { return reportBox_; }
    ui::CheckBox* OrMoreBox() const { return orMoreBox_; }

    // Tallies the loaded races under the selectors' conditions and writes the
    // report into the report box; "FILE NOT OPEN." in the description when nothing is loaded.
    // Does nothing while a load runs.
    void RunTally();

    // Starts loading the pattern that the pattern selection and
    // PatternFileMask hold, and returns at once: the existence test and the
    // load run on a worker thread, with the progress window and any message
    // shown over over (the main window once over has closed). Meanwhile 開く,
    // the tally and the analysis menu are disabled. A load that fails or is
    // cancelled keeps the previous data (a cancelled one without a message).
    // When it succeeds the data becomes the program's, the window is
    // prepared for it and tallied (by the pattern dialog's closing, when it
    // was asked from there). Returns whether the load started; refused
    // while another load runs.
    bool StartPatternLoad(QWidget* over);
    bool LoadRunning() const { return loader_->Running(); }
    // The load's progress window while it shows.
    ui::ProgressWindow* LoadProgressWindow() const { return loader_->Progress(); }
    // The pattern dialog while it is open.
    PatternDialog* OpenPatternDialog() const;

    // The conditions the selectors and the "以上" box give now (no
    // restriction where a selector has no choice, as before any load).
    RaceConditions CurrentConditions() const;

    // 全パターン and 分析 → 全パターン集計: the ranking of every pattern of
    // the data folder under the conditions of the latest tally, in a window
    // of its own (no parent, so that no dialog of this window blocks it); an
    // open one is brought to the front and runs again unless its run is of
    // the current folder and conditions. A pattern chosen there opens as the
    // pattern dialog's OK opens it, and this window comes to the front.
    RankingWindow* OpenRankingWindow();
    RankingWindow* Ranking() const;
    void OpenChosenPattern(const PatternSelections& selections);
    void RankingMenuChosen();
    QAction* MenuRanking() const { return menuRanking_; }

    // The data folder changed (ﾌｫﾙﾀﾞの設定): the analysis windows mark what
    // they show as out of date.
    void DataFolderChanged();
    // 内訳 or 損益グラフ asked for the pattern to be read from the new folder.
    // It starts as StartPatternLoad does, its messages over messageParent.
    void ReloadFromDataFolder(QWidget* messageParent);

    // Empties the report, describes the pattern in the description bar and refills the
    // eight selectors, each headed by "全抽出" and left on it.
    void PrepareMainWindowAfterLoad(const LoadedView& view);

    // Command handlers, named after the control they belong to.
    void TallyButtonClicked();
    void OpenButtonClicked();
    void OpenMenuChosen();
    void ExitMenuChosen();
    void FolderMenuChosen();

    // 分析(A): 内訳..., 損益グラフ... and 結果を保存..., for the latest tally;
    // enabled once a pattern's races are tallied. The windows follow every
    // later tally.
    void BreakdownMenuChosen();
    void ChartMenuChosen();
    void SaveMenuChosen();
    QAction* MenuBreakdown() const { return menuBreakdown_; }
    QAction* MenuChart() const { return menuChart_; }
    QAction* MenuSave() const { return menuSave_; }
    BreakdownWindow* Breakdown() const;
    ProfitChartWindow* Chart() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls(QWidget* client);
    void CreateMenus();
    void SetTabOrder();
    void ClearSelectorsAndTitle();
    void SaveSettingsOnce();
    void ShowPatternDialog();
    void PatternDialogClosed(PatternDialog* dialog, int result);
    void LoadEnded(PatternLoad load);
    // 開く, the tally and the analysis menu take no command while a load runs.
    void EnableCommands(bool enabled);
    // Shows the folder settings dialog modelessly, or brings it to the front.
    void ShowFolderSettings();
    void CreateAnalysisMenu();
    // 設定 → キャッシュを削除: the record cache's size in the question, then
    // its records folder removed, both counted and removed off this thread.
    void ClearCacheMenuChosen();
    void AskToClearCache(const std::string& folder, std::uint64_t bytes);
    // The latest tally (none when nothing is loaded) to the analysis
    // windows and the menu.
    void ShowTallyInAnalysis(const RaceConditions* conditions, std::string report);
    // What the analysis windows analyse now, to each open one.
    void FollowInAnalysis();
    void CloseAnalysisWindows();

    ProgramState& state_;
    std::string iniPath_;
    bool unloaded_ = false;
    ui::PatternLoader* loader_ = nullptr;
    std::unique_ptr<ui::WorkerTask> cacheTask_;  // the cache's size, then its removal
    QPointer<QWidget> loadOver_;                 // where the load in hand was asked from
    QPointer<QWidget> focusBeforeLoad_;          // this window's focus when the load began
    std::string loadFolder_;                     // the data folder the load in hand reads
    QPointer<PatternDialog> patternDialog_;      // while it is open
    QPointer<RankingWindow> ranking_;

    std::array<ui::ComboBox*, 8> conditionSelectors_{};
    std::array<QLabel*, 8> selectorLabels_{};
    QLabel* patternDescription_ = nullptr;
    ui::TextBox* reportBox_ = nullptr;
    ui::CheckBox* orMoreBox_ = nullptr;
    QPushButton* tallyButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QAction* openAction_ = nullptr;
    QMenu* analysisMenu_ = nullptr;

    // The analysis windows and what they show.
    QAction* menuBreakdown_ = nullptr;
    QAction* menuChart_ = nullptr;
    QAction* menuSave_ = nullptr;
    QAction* menuRanking_ = nullptr;
    QPointer<BreakdownWindow> breakdown_;
    QPointer<ProfitChartWindow> chart_;
    AnalysisChoices choices_;  // kept from one opening of a window to the next
    RaceConditions tallied_;
    std::string loadedFolder_;  // where the loaded pattern was read from
    std::string report_;
};

}  // namespace lomi
