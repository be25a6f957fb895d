// MainWindow's 分析(A) menu: the breakdown, the profit chart and saving the
// results of the latest tally.
#include <utility>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/main_window.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/profit_chart_window.h"
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
}

namespace {

// Opens a window of its own the first time, or brings the open one to the
// front; it closes with the main window.
template <class Window>
Window* ShowAnalysisWindow(QPointer<Window>& window, const ProgramState& state,
                           const RaceConditions& conditions, QWidget* owner, QString* folder) {
    if (!window) {
        window = new Window(state, owner, folder);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->ShowTally(conditions);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace

void MainWindow::BreakdownMenuChosen() {
    ShowAnalysisWindow(breakdown_, state_, tallied_, this, &choices_.saveFolder);
}

void MainWindow::ChartMenuChosen() {
    ShowAnalysisWindow(chart_, state_, tallied_, this, &choices_.saveFolder);
}

void MainWindow::SaveMenuChosen() {
    // On the heap: closing this window while the dialog waits deletes it too.
    const QPointer<SaveResults> dialog = new SaveResults(state_, this, &choices_);
    dialog->SetResults(report_, tallied_);
    dialog->exec();
    delete dialog.data();
}

}  // namespace lomi
