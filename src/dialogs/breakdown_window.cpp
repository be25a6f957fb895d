#include "dialogs/breakdown_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/pattern_analysis.h"
#include "analysis/result_files.h"
#include "dialogs/breakdown_model.h"
#include "dialogs/out_of_date_bar.h"
#include "dialogs/period_selector.h"
#include "dialogs/suggested_names.h"
#include "tally/condition_names.h"
#include "ui/save_file.h"
#include "ui/text.h"
#include "ui/window_keys.h"
#include "ui/window_role.h"

namespace lomi {

BreakdownWindow::BreakdownWindow(const ProgramState& state, QWidget* parent, QString* folder)
    : QWidget(parent, Qt::Window), state_(state), folder_(folder) {
    setObjectName("BreakdownWindow");
    setWindowTitle(QString::fromUtf8("内訳"));
    ui::ExposeAsWindow(this);

    auto* top = new QHBoxLayout;
    auto* axisLabel = new QLabel(QString::fromUtf8("分類(&K)"), this);
    top->addWidget(axisLabel);
    axisCombo_ = new QComboBox(this);
    axisCombo_->setObjectName("AxisCombo");
    axisCombo_->setAccessibleName(QString::fromUtf8("分類"));
    axisLabel->setBuddy(axisCombo_);
    for (const BreakdownAxis axis : kBreakdownAxes) {
        axisCombo_->addItem(QString::fromUtf8(AxisName(axis)), static_cast<int>(axis));
    }
    top->addWidget(axisCombo_);
    top->addSpacing(16);
    period_ = new PeriodSelector(this);
    top->addWidget(period_, 1);
    csvButton_ = new QPushButton(QString::fromUtf8("CSV保存(&S)..."), this);
    csvButton_->setObjectName("CsvButton");
    top->addWidget(csvButton_);

    description_ = new QLabel(this);
    description_->setObjectName("Description");

    model_ = new BreakdownModel(this);
    sorted_ = new BreakdownSortModel(this);
    sorted_->setSourceModel(model_);
    table_ = new QTableView(this);
    table_->setObjectName("Table");
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setTabKeyNavigation(false);  // Tab moves on to the next control

    auto* layout = new QVBoxLayout(this);
    outOfDate_ = new OutOfDateBar(QString::fromUtf8("読み直す(&L)"), this);
    connect(outOfDate_, &OutOfDateBar::actionClicked, this, &BreakdownWindow::reloadRequested);
    layout->addLayout(top);
    layout->addWidget(outOfDate_);
    layout->addWidget(description_);
    layout->addWidget(table_, 1);
    resize(960, 420);

    connect(axisCombo_, &QComboBox::currentIndexChanged, this, &BreakdownWindow::Refresh);
    connect(period_, &PeriodSelector::Changed, this, &BreakdownWindow::Refresh);
    connect(csvButton_, &QPushButton::clicked, this, &BreakdownWindow::AskAndSaveCsv);
    ui::CloseWithKeys(this);
    Refresh();
}

void BreakdownWindow::ShowTally(const RaceConditions& conditions) {
    conditions_ = conditions;
    period_->SetDates(state_.Loaded.DateList);
    Refresh();
}

void BreakdownWindow::Refresh() {
    const auto axis = static_cast<BreakdownAxis>(axisCombo_->currentData().toInt());
    breakdown_ = BuildBreakdown(state_.Loaded.Records, period_->Narrow(conditions_), axis);
    if (state_.Loaded.Records.Empty()) breakdown_.groups.clear();
    model_->SetBreakdown(breakdown_);
    description_->setText(ui::FromUtf8(DescribeCurrentPattern(state_)) +
                          QString::fromUtf8("　条件: ") +
                          ui::FromUtf8(ConditionsText(period_->Narrow(conditions_))));
    csvButton_->setEnabled(!state_.Loaded.Records.Empty());
}

bool BreakdownWindow::SaveCsv(const QString& path) {
    return ui::SaveWholeFile(this, path, BreakdownCsvFile(breakdown_));
}

void BreakdownWindow::AskAndSaveCsv() {
    const QString name =
        SuggestedFileName(QString::fromUtf8("内訳_") + QString::fromUtf8(AxisName(breakdown_.axis)),
                          state_, period_->Narrow(conditions_), QStringLiteral("csv"));
    const QString path = ui::AskSavePath(this, QString::fromUtf8("内訳をCSVで保存"), name,
                                         QString::fromUtf8("CSV (*.csv)"), folder_,
                                         state_.DataFolder);
    if (!path.isEmpty()) SaveCsv(path);
}

void BreakdownWindow::SetFolderChanged(const std::string& newFolder) {
    outOfDate_->MarkFolderChanged(newFolder);
}

}  // namespace lomi
