#include "dialogs/ranking_window.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
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
#include "analysis/family_figures.h"
#include "analysis/overfitting.h"
#include "analysis/ranking_table.h"
#include "data/task_failure.h"
#include "dialogs/out_of_date_bar.h"
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
#include "ui/window_role.h"

namespace lomi {
namespace {

constexpr int kDefaultMinimumRaces = 100;
// Progress is shown at most this often, so the window repaints at a human pace.
constexpr int kProgressMilliseconds = 50;
// A typed date changes digit by digit: the run waits for the last one.
constexpr int kSplitRestartMilliseconds = 400;
// The estimate of overfitting waits this long for the minimum of races to settle.
constexpr int kOverfittingDelayMilliseconds = 150;
// The default width fits every column at 1366 pixels, the narrowest usual screen.
constexpr int kDefaultWidth = 1340;
constexpr int kDefaultHeight = 640;

bool SameConditions(const RaceConditions& a, const RaceConditions& b) {
    const auto fields = [](const RaceConditions& c) {
        return std::tie(c.venue, c.race, c.runners, c.age, c.raceClass, c.surface, c.distance,
                        c.date, c.runnersOrMore, c.firstDate, c.lastDate);
    };
    return fields(a) == fields(b);
}

QDate DateOf(const std::string& yyyymmdd) {
    return QDate::fromString(QString::fromStdString(yyyymmdd), QStringLiteral("yyyyMMdd"));
}

// The first and the last race day of the ranked patterns.
std::pair<QDate, QDate> RankedDays(const std::vector<PatternRanking>& patterns) {
    std::uint64_t first = UINT64_MAX, last = 0;
    const auto add = [&](const RankedPart& part) {
        if (part.days.empty()) return;
        first = std::min(first, part.days.front().date);
        last = std::max(last, part.days.back().date);
    };
    for (const PatternRanking& pattern : patterns) {
        add(pattern.earlier);
        if (pattern.later) add(*pattern.later);
    }
    if (last == 0) return {};
    return {DateOf(RaceDaySums{first}.DateText()), DateOf(RaceDaySums{last}.DateText())};
}

QString DayText(const QDate& date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

}  // namespace

RankingWindow::RankingWindow(std::string folder, RaceConditions conditions, QWidget* parent,
                             AnalysisChoices* choices, Ranker ranker)
    : QWidget(parent, Qt::Window),
      folder_(folder),
      conditions_(conditions),
      nextFolder_(std::move(folder)),
      nextConditions_(std::move(conditions)),
      choices_(choices),
      ranker_(std::move(ranker)) {
    setObjectName("RankingWindow");
    setWindowTitle(QString::fromUtf8("全パターン集計"));
    ui::ExposeAsWindow(this);
    CreateControls();
    resize(kDefaultWidth, kDefaultHeight);
    if (choices_ != nullptr) {
        // As the former window left them; the signals start the run below.
        const QSignalBlocker quietBet(betCombo_), quietRaces(minRaces_), quietSplit(splitCheck_),
            quietDate(splitDate_);
        betCombo_->setCurrentIndex(choices_->betIndex);
        model_->SetBet(kBetTypes[static_cast<std::size_t>(betCombo_->currentIndex())]);
        minRaces_->setValue(choices_->minimumRaces);
        filter_->SetMinimumRaces(minRaces_->value());
        model_->SetMinimumRaces(minRaces_->value());
        const QDate date = QDate::fromString(choices_->splitDate, QStringLiteral("yyyyMMdd"));
        if (date.isValid()) {
            splitDate_->setDate(date);
            splitSource_ = choices_->splitChosen ? SplitSource::User : SplitSource::Data;
        }
        splitCheck_->setChecked(choices_->split);
        splitDate_->setEnabled(choices_->split);
    }
    Start();
}

RankingWindow::~RankingWindow() {
    // The run, if any, finishes by itself; nobody waits for it.
    worker_.Abandon();
    figuresTask_.Abandon();
}

void RankingWindow::CreateControls() {
    betCombo_ = new QComboBox(this);
    betCombo_->setObjectName("BetCombo");
    betCombo_->setAccessibleName(QString::fromUtf8("券種"));
    for (const BetType bet : kBetTypes) betCombo_->addItem(QString::fromUtf8(BetName(bet)));
    minRaces_ = new QSpinBox(this);
    minRaces_->setObjectName("MinRaces");
    minRaces_->setRange(0, 9999999);
    minRaces_->setValue(kDefaultMinimumRaces);
    minRaces_->setAccessibleName(QString::fromUtf8("最低ﾚｰｽ数"));
    splitCheck_ = new QCheckBox(QString::fromUtf8("検証分割日(&D)"), this);
    splitCheck_->setObjectName("SplitCheck");
    // A date inside the data replaces this once the first run has ended.
    splitDate_ = new ui::DateEdit(QDate::currentDate(), this);
    splitDate_->setObjectName("SplitDate");
    splitDate_->setAccessibleName(QString::fromUtf8("検証分割日"));
    splitDate_->setEnabled(false);
    runButton_ = new QPushButton(QString::fromUtf8("再集計(&R)"), this);
    runButton_->setObjectName("RunButton");
    cancelButton_ = new QPushButton(QString::fromUtf8("中止(&C)"), this);
    cancelButton_->setObjectName("CancelButton");
    saveButton_ = new QPushButton(QString::fromUtf8("CSV保存(&S)..."), this);
    saveButton_->setObjectName("SaveButton");

    auto* controls = new QHBoxLayout;
    auto* betLabel = new QLabel(QString::fromUtf8("券種(&B)"), this);
    betLabel->setBuddy(betCombo_);
    controls->addWidget(betLabel);
    controls->addWidget(betCombo_);
    controls->addSpacing(12);
    auto* racesLabel = new QLabel(QString::fromUtf8("最低ﾚｰｽ数(&M)"), this);
    racesLabel->setBuddy(minRaces_);
    controls->addWidget(racesLabel);
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
    outOfDate_ = new OutOfDateBar(QString(), this);
    hint_ = new QLabel(this);
    hint_->setObjectName("HintLabel");
    hint_->setWordWrap(true);
    hint_->hide();

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
    connect(overfittingTimer_, &QTimer::timeout, this, &RankingWindow::UpdateRankingFigures);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(conditionsLabel);
    layout->addWidget(outOfDate_);
    layout->addWidget(hint_);
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
        UpdateRankingFigures();
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
        splitSource_ = SplitSource::User;
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
    if (splitSource_ != SplitSource::None) {
        choices_->splitDate = splitDate_->date().toString(QStringLiteral("yyyyMMdd"));
        choices_->splitChosen = splitSource_ == SplitSource::User;
    }
}

void RankingWindow::Follow(const std::string& folder, const RaceConditions& conditions) {
    nextFolder_ = folder;
    nextConditions_ = conditions;
    UpdateOutOfDate();
}

bool RankingWindow::OutOfDate() const {
    return nextFolder_ != folder_ || !SameConditions(nextConditions_, conditions_);
}

QString RankingWindow::OutOfDateText() const { return outOfDate_->Text(); }

void RankingWindow::UpdateOutOfDate() {
    if (!OutOfDate()) {
        outOfDate_->Clear();
        return;
    }
    const bool folderChanged = nextFolder_ != folder_;
    outOfDate_->Mark(QString::fromUtf8(
                         "%1が変わりました。この表は前の%1の集計です。再集計で「%2」を集計します。")
                         .arg(QString::fromUtf8(folderChanged ? "ﾌｫﾙﾀﾞ" : "条件"),
                              folderChanged ? ui::FromUtf8(nextFolder_)
                                            : ui::FromUtf8(ConditionsText(nextConditions_))));
}

void RankingWindow::ShowSubject() {
    findChild<QLabel*>("ConditionsLabel")
        ->setText(QString::fromUtf8("ﾌｫﾙﾀﾞ: ") + ui::FromUtf8(folder_) +
                  QString::fromUtf8("　条件: ") + ui::FromUtf8(ConditionsText(conditions_)));
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
    folder_ = nextFolder_;
    conditions_ = nextConditions_;
    ShowSubject();
    UpdateOutOfDate();
    // Nothing of the former run stands under the new run's labels.
    model_->SetPatterns({}, !SplitDate().empty());
    count_->clear();
    hint_->hide();
    counts_ = std::make_shared<Counts>();
    progress_->setRange(0, 0);
    overfittingTimer_->stop();
    figuresTask_.Abandon();
    overfitting_->Clear();
    status_->setText(QString::fromUtf8("集計しています..."));
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    RankingOptions options{conditions_, SplitDate(), 0};
    options.cache = cache_;
    worker_.Start(
        "全パターンの集計",
        [this, ranker = ranker_, folder = folder_, options,
         counts = counts_](std::stop_token stop) {
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

    // A split date that no longer fits the ranked days splits again inside them.
    if (result.status == RankingStatus::Ranked && FitSplitDate(result.patterns) &&
        splitCheck_->isChecked()) {
        Start();
        return;
    }
    // A run that failed as a whole shows no figures: what was read before
    // is not the folder's ranking.
    const bool failed = result.status == RankingStatus::Failed;
    const bool split = !SplitDate().empty();
    const int sortColumn = table_->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = table_->horizontalHeader()->sortIndicatorOrder();
    model_->SetPatterns(failed ? std::vector<PatternRanking>() : result.patterns, split);
    table_->sortByColumn(std::min(sortColumn, model_->columnCount() - 1), order);
    table_->resizeColumnsToContents();

    std::size_t unread = 0;
    for (const PatternRanking& pattern : result.patterns) unread += pattern.Ranked() ? 0 : 1;
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
            text = QString::fromUtf8("ﾌｫﾙﾀﾞに買い目ファイルがありません（FILE NOT FOUND.）。");
            break;
        case RankingStatus::Failed:
            text = ui::FromUtf8(FailureText(result.message));
            break;
    }
    if (unread > 0 && !failed) {
        // The share of patterns left out goes with the figures it changes.
        text += QString::fromUtf8(
                    " 読めないパターン %1 件（× 印、理由はツールチップ）: 順位と PBO は読めた "
                    "%2 パターンのものです。")
                    .arg(unread)
                    .arg(result.patterns.size() - unread);
    }
    if (!splitNotice_.isEmpty()) {
        text += QLatin1Char(' ') + splitNotice_;
        splitNotice_.clear();
    }
    status_->setText(text);
    UpdateCount();
    UpdateRankingFigures();
    emit finished();
    // A run that failed as a whole is told in a message too, as a load is.
    if (failed) ui::ShowWarning(this, text);
}

bool RankingWindow::FitSplitDate(const std::vector<PatternRanking>& patterns) {
    const auto [first, last] = RankedDays(patterns);
    const QDate fallback = DateOf(DefaultSplitDate(patterns));
    if (!first.isValid() || !last.isValid() || !fallback.isValid()) return false;
    const QDate shown = splitDate_->date();
    // The later part starts on the split date: both parts hold race days.
    const bool inside = shown > first && shown <= last;
    QDate wanted = shown;
    if (splitSource_ != SplitSource::User || !inside) wanted = fallback;
    if (splitSource_ != SplitSource::None && !inside) {
        splitNotice_ = QString::fromUtf8("検証分割日をデータの範囲（%1～%2）に合わせました。")
                           .arg(DayText(first), DayText(last));
    }
    if (splitSource_ == SplitSource::None || !inside) splitSource_ = SplitSource::Data;
    {
        // A typed date outside the ranked days is refused by the field.
        const QSignalBlocker quiet(splitDate_);
        splitDate_->setDateRange(first < last ? first.addDays(1) : first, last);
        splitDate_->setDate(wanted);
    }
    KeepChoices();
    return wanted != shown;
}

void RankingWindow::UpdateCount() {
    if (running_) {
        count_->clear();
        return;
    }
    count_->setText(
        QString::fromUtf8("表示 %1 / %2").arg(filter_->rowCount()).arg(model_->rowCount()));
    // An empty table says what to change.
    const bool empty = filter_->rowCount() == 0 && model_->rowCount() > 0;
    if (empty) {
        hint_->setText(
            QString::fromUtf8(!SplitDate().empty()
                                  ? "検証分割日より前のﾚｰｽ数が最低ﾚｰｽ数 %1 に届くパターンが"
                                    "ありません。最低ﾚｰｽ数を下げるか、検証分割日を遅くするか、"
                                    "条件を広げてください。"
                                  : "ﾚｰｽ数が最低ﾚｰｽ数 %1 に届くパターンがありません。"
                                    "最低ﾚｰｽ数を下げるか、条件を広げてください。")
                .arg(minRaces_->value()));
    }
    hint_->setVisible(empty);
}

// The figures of the bet type and the minimum of races shown that depend
// on every pattern ranked: from the sums kept per race day, so nothing is
// read again, on a thread of its own (the bootstrap and PBO take a while
// on many patterns). A newer request drops the result of an older one.
void RankingWindow::UpdateRankingFigures() {
    if (running_) return;
    overfittingTimer_->stop();
    overfitting_->Clear();
    const BetType bet = model_->Bet();
    const std::int64_t minRaces = model_->MinimumRaces();
    figuresTask_.Start(
        "統計の計算",
        [this, patterns = model_->SharedPatterns(), bet, minRaces](std::stop_token) {
            auto overfitting = std::make_shared<OverfittingEstimate>(
                EstimateOverfitting(*patterns, bet, minRaces));
            auto family =
                std::make_shared<FamilyFigures>(EstimateFamilyFigures(*patterns, bet, minRaces));
            return ui::WorkerTask::Delivery([this, overfitting, family] {
                model_->SetFamilyFigures(*family);
                overfitting_->Show(*overfitting);
                emit figuresShown();
            });
        },
        [this](const std::string& message) {
            OverfittingEstimate failed;
            failed.reason = std::string(FailureText(message));
            overfitting_->Show(failed);
            emit figuresShown();
        });
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
        ui::ShowWarning(this, QString::fromUtf8("CSVファイル「%1」を保存できません（%2）。")
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
    const QString path = ui::AskSavePath(
        this, QString::fromUtf8("CSV保存"), ui::FileNameOf(parts, QStringLiteral("csv")),
        QString::fromUtf8("CSV ファイル (*.csv)"),
        choices_ != nullptr ? &choices_->saveFolder : nullptr, folder_);
    if (!path.isEmpty()) SaveCsv(path);
}

}  // namespace lomi
