// MainWindow's 分析(A) menu: the breakdown, the profit chart and saving the
// results of the latest tally, and the ranking of every pattern; what the
// analysis windows analyse.
#include <utility>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/main_window.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/profit_chart_window.h"
#include "dialogs/ranking_window.h"
#include "dialogs/save_results.h"

namespace lomi {

void MainWindow::CreateAnalysisMenu() {
    QMenu* analysis = menuBar()->addMenu(QString::fromUtf8("分析(&A)"));
    analysis->setObjectName("AnalysisMenu");
    analysisMenu_ = analysis;
    const auto add = [&](const char* text, const char* name, void (MainWindow::*handler)()) {
        QAction* action = analysis->addAction(QString::fromUtf8(text));
        action->setObjectName(name);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    menuBreakdown_ = add("内訳(&U)...", "BreakdownAction", &MainWindow::BreakdownMenuChosen);
    menuChart_ = add("損益グラフ(&G)...", "ChartAction", &MainWindow::ChartMenuChosen);
    menuSave_ = add("結果を保存(&S)...", "SaveAction", &MainWindow::SaveMenuChosen);
    analysis->addSeparator();
    // A ranking reads the folder itself: it needs no loaded pattern.
    menuRanking_ = add("全パターン集計(&P)...", "RankingAction", &MainWindow::RankingMenuChosen);
    menuRanking_->setEnabled(true);
}

BreakdownWindow* MainWindow::Breakdown() const { return breakdown_; }
ProfitChartWindow* MainWindow::Chart() const { return chart_; }

void MainWindow::ShowTallyInAnalysis(const RaceConditions* conditions, std::string report) {
    const bool tallied = conditions != nullptr;
    tallied_ = tallied ? *conditions : RaceConditions();
    report_ = std::move(report);
    for (QAction* action : {menuBreakdown_, menuChart_, menuSave_}) action->setEnabled(tallied);
    if (breakdown_) breakdown_->ShowTally(tallied_);
    if (chart_) chart_->ShowTally(tallied_);
    FollowInAnalysis();
}

void MainWindow::FollowInAnalysis() {
    if (ranking_) ranking_->Follow(state_.DataFolder, tallied_);
    const bool moved = state_.RecordCount() > 0 && loadedFolder_ != state_.DataFolder;
    const std::string changed = moved ? state_.DataFolder : std::string();
    if (breakdown_) breakdown_->SetFolderChanged(changed);
    if (chart_) chart_->SetFolderChanged(changed);
}

void MainWindow::ReloadFromDataFolder(QWidget* messageParent) { StartPatternLoad(messageParent); }

void MainWindow::CloseAnalysisWindows() {
    if (ranking_) ranking_->close();
    if (breakdown_) breakdown_->close();
    if (chart_) chart_->close();
    // Closed windows are deleted later; a window closing with the program goes at once.
    delete ranking_.data();
    delete breakdown_.data();
    delete chart_.data();
}

namespace {

// Opens a window of its own the first time, or brings the open one to the
// front. It has no parent, so that no dialog of the main window blocks it;
// the main window closes it.
template <class Window>
Window* ShowAnalysisWindow(QPointer<Window>& window, const ProgramState& state,
                           const RaceConditions& conditions, MainWindow* owner, QString* folder) {
    if (!window) {
        window = new Window(state, nullptr, folder);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->ShowTally(conditions);
        Window* opened = window;
        QObject::connect(opened, &Window::reloadRequested, owner,
                         [owner, opened] { owner->ReloadFromDataFolder(opened); });
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace

void MainWindow::BreakdownMenuChosen() {
    ShowAnalysisWindow(breakdown_, state_, tallied_, this, &choices_.saveFolder);
    FollowInAnalysis();
}

void MainWindow::ChartMenuChosen() {
    ShowAnalysisWindow(chart_, state_, tallied_, this, &choices_.saveFolder);
    FollowInAnalysis();
}

void MainWindow::SaveMenuChosen() {
    // On the heap: closing this window while the dialog waits deletes it too.
    const QPointer<SaveResults> dialog = new SaveResults(state_, this, &choices_);
    dialog->SetResults(report_, tallied_);
    dialog->exec();
    delete dialog.data();
}

}  // namespace lomi
