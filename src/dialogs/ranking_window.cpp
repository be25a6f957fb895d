#include "dialogs/ranking_window.h"

#include <utility>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/csv.h"
#include "analysis/overfitting.h"
#include "analysis/ranking_table.h"
#include "data/task_failure.h"
#include "dialogs/overfitting_panel.h"
#include "dialogs/ranking_model.h"
#include "settings/whole_file.h"
#include "tally/condition_names.h"
#include "tally/selector_items.h"
#include "ui/date_edit.h"
#include "ui/message_box.h"
#include "ui/save_file.h"
#include "ui/text.h"
#include "ui/window_keys.h"

namespace lomi {
namespace {

constexpr int kDefaultMinimumRaces = 100;
// Progress is shown at most this often, so the window repaints at a human pace.
constexpr int kProgressMilliseconds = 50;
// A typed date changes digit by digit: the run waits for the last one.
constexpr int kSplitRestartMilliseconds = 400;
// The estimate of overfitting waits this long for the minimum of races to settle.
constexpr int kOverfittingDelayMilliseconds = 150;

}  // namespace

RankingWindow::RankingWindow(std::string folder, RaceConditions conditions, QWidget* parent,
                             AnalysisChoices* choices, Ranker ranker)
    : QWidget(parent, Qt::Window),
      folder_(std::move(folder)),
      conditions_(std::move(conditions)),
      choices_(choices),
      ranker_(std::move(ranker)) {
    setObjectName("RankingWindow");
    setWindowTitle(QString::fromUtf8("全パターン集計"));
    CreateControls();
    auto* where = findChild<QLabel*>("ConditionsLabel");
    where->setText(QString::fromUtf8("フォルダ: ") + ui::FromUtf8(folder_) +
                   QString::fromUtf8("　条件: ") + ui::FromUtf8(ConditionsText(conditions_)));
    resize(1100, 600);
    if (choices_ != nullptr) {
        // As the former window left them; the signals start the run below.
        const QSignalBlocker quietBet(betCombo_), quietRaces(minRaces_), quietSplit(splitCheck_),
            quietDate(splitDate_);
        betCombo_->setCurrentIndex(choices_->betIndex);
        model_->SetBet(kBetTypes[static_cast<std::size_t>(betCombo_->currentIndex())]);
        minRaces_->setValue(choices_->minimumRaces);
        filter_->SetMinimumRaces(minRaces_->value());
        const QDate date = QDate::fromString(choices_->splitDate, QStringLiteral("yyyyMMdd"));
        if (date.isValid()) {
            splitDate_->setDate(date);
            splitDateSet_ = true;
        }
        splitCheck_->setChecked(choices_->split);
        splitDate_->setEnabled(choices_->split);
    }
    Start();
}

RankingWindow::~RankingWindow() {
    // The run, if any, finishes by itself; nobody waits for it.
    worker_.Abandon();
}

void RankingWindow::CreateControls() {
    betCombo_ = new QComboBox(this);
    betCombo_->setObjectName("BetCombo");
    for (const BetType bet : kBetTypes) betCombo_->addItem(QString::fromUtf8(BetName(bet)));
    minRaces_ = new QSpinBox(this);
    minRaces_->setObjectName("MinRaces");
    minRaces_->setRange(0, 9999999);
    minRaces_->setValue(kDefaultMinimumRaces);
    splitCheck_ = new QCheckBox(QString::fromUtf8("検証分割日"), this);
    splitCheck_->setObjectName("SplitCheck");
    // A date inside the data replaces this once the first run has ended.
    splitDate_ = new ui::DateEdit(QDate::currentDate(), this);
    splitDate_->setObjectName("SplitDate");
    splitDate_->setEnabled(false);
    runButton_ = new QPushButton(QString::fromUtf8("再集計"), this);
    runButton_->setObjectName("RunButton");
    cancelButton_ = new QPushButton(QString::fromUtf8("中止"), this);
    cancelButton_->setObjectName("CancelButton");
    saveButton_ = new QPushButton(QString::fromUtf8("CSV保存..."), this);
    saveButton_->setObjectName("SaveButton");

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QString::fromUtf8("券種"), this));
    controls->addWidget(betCombo_);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QString::fromUtf8("最低ﾚｰｽ数"), this));
    controls->addWidget(minRaces_);
    controls->addSpacing(12);
    controls->addWidget(splitCheck_);
    controls->addWidget(splitDate_);
    controls->addStretch();
    controls->addWidget(runButton_);
    controls->addWidget(cancelButton_);
    controls->addWidget(saveButton_);

    auto* conditionsLabel = new QLabel(this);
    conditionsLabel->setObjectName("ConditionsLabel");

    model_ = new RankingModel(this);
    filter_ = new RankingFilter(this);
    filter_->setSourceModel(model_);
    filter_->SetMinimumRaces(kDefaultMinimumRaces);
    model_->SetMinimumRaces(kDefaultMinimumRaces);
    table_ = new QTableView(this);
    table_->setObjectName("RankingTable");
    table_->setModel(filter_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->sortByColumn(model_->ColumnOf(RankingColumn::Recovery), Qt::DescendingOrder);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("Progress");
    status_ = new QLabel(this);
    status_->setObjectName("StatusLabel");
    count_ = new QLabel(this);
    count_->setObjectName("CountLabel");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(status_, 2);
    bottom->addWidget(count_);

    overfitting_ = new OverfittingPanel(this);
    overfittingTimer_ = new QTimer(this);
    overfittingTimer_->setSingleShot(true);
    overfittingTimer_->setInterval(kOverfittingDelayMilliseconds);
    connect(overfittingTimer_, &QTimer::timeout, this, &RankingWindow::UpdateOverfitting);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(conditionsLabel);
    layout->addWidget(table_, 1);
    layout->addWidget(overfitting_);
    layout->addLayout(bottom);

    timer_ = new QTimer(this);
    timer_->setInterval(kProgressMilliseconds);
    connect(timer_, &QTimer::timeout, this, &RankingWindow::ShowProgress);
    connect(betCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) model_->SetBet(kBetTypes[static_cast<std::size_t>(index)]);
        table_->resizeColumnsToContents();
        KeepChoices();
        UpdateOverfitting();
    });
    connect(minRaces_, &QSpinBox::valueChanged, this, [this](int races) {
        filter_->SetMinimumRaces(races);
        model_->SetMinimumRaces(races);
        UpdateCount();
        // Rows that come back fit their columns again.
        table_->resizeColumnsToContents();
        KeepChoices();
        if (!running_) overfittingTimer_->start();
    });
    connect(splitCheck_, &QCheckBox::toggled, this, [this](bool on) {
        splitDate_->setEnabled(on);
        KeepChoices();
        Start();
    });
    // A new split date runs again once the date has stopped changing, so
    // the figures never stand beside a date they were not split by.
    splitRestart_ = new QTimer(this);
    splitRestart_->setSingleShot(true);
    splitRestart_->setInterval(kSplitRestartMilliseconds);
    connect(splitRestart_, &QTimer::timeout, this, &RankingWindow::Start);
    connect(splitDate_, &QDateEdit::dateChanged, this, [this] {
        splitDateSet_ = true;
        KeepChoices();
        if (!splitCheck_->isChecked()) return;
        status_->setText(QString::fromUtf8("検証分割日が変わりました。集計し直します..."));
        splitRestart_->start();
    });
    connect(runButton_, &QPushButton::clicked, this, &RankingWindow::Start);
    connect(cancelButton_, &QPushButton::clicked, this, &RankingWindow::Cancel);
    connect(saveButton_, &QPushButton::clicked, this, &RankingWindow::AskAndSaveCsv);
    connect(table_, &QTableView::doubleClicked, this, &RankingWindow::ChooseRow);
    // Enter opens the current row as a double-click does; Tab leaves the table.
    table_->setTabKeyNavigation(false);
    table_->installEventFilter(this);
    ui::CloseWithKeys(this);
}

bool RankingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ChooseRow(table_->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RankingWindow::KeepChoices() {
    if (choices_ == nullptr) return;
    choices_->betIndex = betCombo_->currentIndex();
    choices_->minimumRaces = minRaces_->value();
    choices_->split = splitCheck_->isChecked();
    if (splitDateSet_)
        choices_->splitDate = splitDate_->date().toString(QStringLiteral("yyyyMMdd"));
}

std::string RankingWindow::SplitDate() const {
    if (!splitCheck_->isChecked()) return {};
    return ui::ToUtf8(splitDate_->date().toString("yyyyMMdd"));
}

void RankingWindow::Start() {
    splitRestart_->stop();
    // A new run while one goes (a new split date): the old one is left to
    // stop by itself and its result is dropped.
    worker_.Abandon();
    running_ = true;
    counts_ = std::make_shared<Counts>();
    progress_->setRange(0, 0);
    overfittingTimer_->stop();
    overfitting_->Clear();
    status_->setText(QString::fromUtf8("集計しています..."));
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    RankingOptions options{conditions_, SplitDate(), 0};
    worker_.Start(
        "全パターンの集計",
        [this, ranker = ranker_, folder = folder_, options, counts = counts_](std::stop_token stop) {
            auto result = std::make_shared<RankingResult>(ranker(
                folder, options,
                [counts](std::size_t done, std::size_t total) {
                    counts->total = total;
                    counts->done = done;
                },
                stop));
            return ui::WorkerTask::Delivery([this, result] { ShowResult(*result); });
        },
        [this](const std::string& message) {
            RankingResult failed;
            failed.status = RankingStatus::Failed;
            failed.message = message;
            ShowResult(failed);
        });
    timer_->start();
    emit started();
}

void RankingWindow::Cancel() {
    if (!running_) return;
    worker_.RequestStop();
    status_->setText(QString::fromUtf8("中止しています..."));
    cancelButton_->setEnabled(false);
}

void RankingWindow::ShowProgress() {
    const std::size_t total = counts_->total;
    if (total == 0) return;
    progress_->setRange(0, static_cast<int>(total));
    progress_->setValue(static_cast<int>(counts_->done.load()));
}

void RankingWindow::ShowResult(const RankingResult& result) {
    running_ = false;
    timer_->stop();
    runButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    progress_->setRange(0, static_cast<int>(std::max<std::size_t>(result.filesTotal, 1)));
    progress_->setValue(static_cast<int>(result.filesDone));

    if (!splitDateSet_) {
        const QDate inside = QDate::fromString(
            QString::fromStdString(DefaultSplitDate(result.patterns)), QStringLiteral("yyyyMMdd"));
        if (inside.isValid()) {
            const QSignalBlocker quiet(splitDate_);
            splitDate_->setDate(inside);
            splitDateSet_ = true;
            KeepChoices();
            // Ticked before any date was known: split again inside the data.
            if (splitCheck_->isChecked()) {
                Start();
                return;
            }
        }
    }
    const bool split = !SplitDate().empty();
    const int sortColumn = table_->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = table_->horizontalHeader()->sortIndicatorOrder();
    model_->SetPatterns(result.patterns, split);
    table_->sortByColumn(std::min(sortColumn, model_->columnCount() - 1), order);
    table_->resizeColumnsToContents();

    std::size_t failed = 0;
    for (const PatternRanking& pattern : result.patterns) failed += pattern.Ranked() ? 0 : 1;
    QString text;
    switch (result.status) {
        case RankingStatus::Ranked:
            text = QString::fromUtf8("%1 パターンを集計しました（ファイル %2）。")
                       .arg(result.patterns.size())
                       .arg(result.filesTotal);
            break;
        case RankingStatus::Cancelled:
            text = QString::fromUtf8("中止しました。集計済み %1 パターン（ファイル %2 / %3）。")
                       .arg(result.patterns.size())
                       .arg(result.filesDone)
                       .arg(result.filesTotal);
            break;
        case RankingStatus::NotFound:
            text = QString::fromUtf8("フォルダーに買い目ファイルがありません（FILE NOT FOUND.）。");
            break;
        case RankingStatus::Failed:
            text = ui::FromUtf8(FailureText(result.message));
            break;
    }
    if (failed > 0) {
        text +=
            QString::fromUtf8(" 読めないパターン %1 件（× 印、理由はツールチップ）。").arg(failed);
    }
    status_->setText(text);
    UpdateCount();
    UpdateOverfitting();
    emit finished();
    // A run that failed as a whole is told in a message too, as a load is.
    if (result.status == RankingStatus::Failed) ui::ShowMessage(this, text);
}

void RankingWindow::UpdateCount() {
    count_->setText(
        QString::fromUtf8("表示 %1 / %2").arg(filter_->rowCount()).arg(model_->rowCount()));
}

// The estimate for the bet type and the minimum of races shown; from the
// sums kept per race day, so nothing is read again.
void RankingWindow::UpdateOverfitting() {
    if (running_) return;
    overfittingTimer_->stop();
    overfitting_->Show(EstimateOverfitting(model_->Patterns(), model_->Bet(), minRaces_->value()));
}

void RankingWindow::ChooseRow(const QModelIndex& index) {
    if (!index.isValid()) return;
    const QModelIndex source = filter_->mapToSource(index);
    emit patternChosen(model_->Pattern(source.row()).selections);
}

bool RankingWindow::SaveCsv(const QString& path) {
    std::vector<PatternRanking> shown;
    for (int row = 0; row < filter_->rowCount(); ++row) {
        shown.push_back(model_->Pattern(filter_->mapToSource(filter_->index(row, 0)).row()));
    }
    std::string bytes(kUtf8ByteOrderMark);
    for (const auto& row : RankingRows(shown, model_->Bet(), model_->Split(), ""))
        bytes += CsvRow(row);
    const FileWriteResult written = ReplaceWholeFile(ui::ToUtf8(path), bytes);
    if (!written.ok) {
        ui::ShowMessage(this, QString::fromUtf8("CSVファイル「%1」を保存できません（%2）。")
                                  .arg(path, ui::FromUtf8(written.error)));
        return false;
    }
    return true;
}

void RankingWindow::AskAndSaveCsv() {
    // The name carries what the plain CSV rows do not: bet type, split, conditions.
    QStringList parts = {QString::fromUtf8("全パターン"), betCombo_->currentText()};
    if (!SplitDate().empty()) {
        parts << QString::fromUtf8("分割") + ui::FromUtf8(DateText(SplitDate()));
    }
    if (ConditionsText(conditions_) != kAllRaces)
        parts << ui::FromUtf8(ConditionsText(conditions_));
    const QString path = ui::AskSavePath(this, QString::fromUtf8("CSV保存"),
                                         ui::FileNameOf(parts, QStringLiteral("csv")),
                                         QString::fromUtf8("CSV ファイル (*.csv)"),
                                         choices_ != nullptr ? &choices_->saveFolder : nullptr);
    if (!path.isEmpty()) SaveCsv(path);
}

}  // namespace lomi
