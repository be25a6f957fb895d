#include "app/main_window.h"

#include <memory>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>

#include "app/help_menu.h"
#include "app/resources.h"
#include "data/task_failure.h"
#include "dialogs/folder_dialog.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/ranking_window.h"
#include "settings/settings.h"
#include "tally/condition_names.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/text_box.h"
#include "ui/twips.h"

namespace lomi {

namespace {

constexpr const char* kDesignCaption = "KestravaのTolvikｺﾝﾃｽﾄ形式買い目集計";
// The version from the build (project(VERSION)), as the caption shows it.
constexpr const char* kVersionText = "Ver " LOMI_VERSION;
constexpr int kClientWidth = 6285;
constexpr int kClientHeight = 3555;

struct Place {
    int left, top, width, height;
};

struct CaptionPlace {
    int selector;  // the number of the selector the caption names
    Place place;
};

// Each condition's caption stands above its selector; in the order the
// captions were laid out.
constexpr CaptionPlace kCaptions[8] = {
    {1, {120, 390, 450, 240}},  {2, {1680, 390, 450, 210}}, {3, {120, 945, 450, 240}},
    {5, {3240, 945, 450, 240}}, {7, {4770, 390, 450, 240}}, {4, {1665, 945, 450, 240}},
    {6, {3225, 390, 450, 240}}, {8, {4770, 945, 450, 240}},
};

// The selectors' object names, numbered as the conditions are.
constexpr const char* kSelectorNames[8] = {
    "VenueSelector", "RaceSelector",    "RunnersSelector",  "AgeSelector",
    "ClassSelector", "SurfaceSelector", "DistanceSelector", "DateSelector",
};

// The eight condition selectors.
constexpr Place kCombo[8] = {
    {75, 585, 1500, 300},    {1620, 585, 1500, 300},  {75, 1140, 1500, 300},
    {1620, 1140, 1500, 300}, {3165, 1140, 1500, 300}, {3165, 585, 1500, 300},
    {4710, 585, 1500, 300},  {4710, 1140, 1500, 300},
};

void Put(QWidget* widget, const Place& p) {
    ui::PlaceTwips(widget, p.left, p.top, p.width, p.height);
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, std::string iniPath, QWidget* parent,
                       ui::PatternLoader::LoadFunction load)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      iniPath_(std::move(iniPath)),
      loader_(new ui::PatternLoader(this, std::move(load))) {
    InitResources();
    ui::UseInterfaceFont();
    setObjectName("MainWindow");
    setWindowTitle(QString::fromUtf8(kDesignCaption));

    // A plain client area: controls sit at fixed places and keep them when
    // the window is resized.
    auto* client = new QWidget(this);
    client->setObjectName("Client");
    setCentralWidget(client);
    CreateControls(client);
    CreateMenus();
    SetTabOrder();
    resize(ui::TwipsToPixels(kClientWidth),
           ui::TwipsToPixels(kClientHeight) + menuBar()->sizeHint().height());
    tallyButton_->setFocus();

    ClearSelectorsAndTitle();
}

void MainWindow::CreateControls(QWidget* client) {
    patternDescription_ = new QLabel(client);
    patternDescription_->setObjectName("patternDescription");
    patternDescription_->setAccessibleDescription(QString::fromUtf8("買い目ﾊﾟﾀｰﾝ"));
    patternDescription_->setFont(ui::ProportionalGothicFont());
    patternDescription_->setFrameStyle(QFrame::Box | QFrame::Plain);
    patternDescription_->setLineWidth(1);
    patternDescription_->setAlignment(Qt::AlignCenter);
    patternDescription_->setAutoFillBackground(true);
    QPalette fieldColours = patternDescription_->palette();
    fieldColours.setColor(QPalette::Window, fieldColours.color(QPalette::Base));
    fieldColours.setColor(QPalette::WindowText, fieldColours.color(QPalette::Text));
    patternDescription_->setPalette(fieldColours);
    ui::PlaceTwips(patternDescription_, 90, 30, 5685, 270);

    openButton_ = new QPushButton(client);
    openButton_->setObjectName("OpenButton");
    openButton_->setIcon(QIcon(QStringLiteral(":/open_folder.png")));
    openButton_->setIconSize(QSize(16, 15));
    openButton_->setAutoDefault(true);
    openButton_->setAccessibleName(QString::fromUtf8("ﾌｧｲﾙを開く"));
    ui::PlaceTwips(openButton_, 5835, 0, 375, 330);
    connect(openButton_, &QPushButton::clicked, this, &MainWindow::OpenButtonClicked);

    for (int i = 0; i < 8; ++i) {
        const int selector = kCaptions[i].selector;
        const char* caption = ConditionName(kConditions[static_cast<std::size_t>(selector - 1)]);
        selectorLabels_[i] = new QLabel(QString::fromUtf8(caption), client);
        selectorLabels_[i]->setObjectName(QStringLiteral("ConditionLabel%1").arg(selector));
        Put(selectorLabels_[i], kCaptions[i].place);
    }

    for (int i = 0; i < 8; ++i) {
        conditionSelectors_[i] = new ui::ComboBox(client);
        conditionSelectors_[i]->setObjectName(kSelectorNames[i]);
        Put(conditionSelectors_[i], kCombo[i]);
    }
    // A screen reader names each selector by its caption: on Linux through
    // the label relation that the buddy makes, elsewhere by the name.
    for (int i = 0; i < 8; ++i) {
        ui::ComboBox* combo = ConditionSelector(kCaptions[i].selector);
        selectorLabels_[i]->setBuddy(combo);
        combo->setAccessibleName(selectorLabels_[i]->text());
    }

    orMoreBox_ = new ui::CheckBox(QString::fromUtf8("以上"), client);
    orMoreBox_->setObjectName("OrMoreBox");
    orMoreBox_->setAccessibleName(QString::fromUtf8("以上"));
    ui::PlaceTwipsGrowing(orMoreBox_, 570, 930, 825, 180);

    reportBox_ = new ui::TextBox(client);
    reportBox_->setObjectName("ReportBox");
    reportBox_->setAccessibleName(QString::fromUtf8("集計結果"));
    reportBox_->setFont(ui::FixedGothicFont());
    // A one-pixel margin: a whole report line fits beside the scroll bar,
    // and all seven lines fit the box's height with the Japanese fonts'
    // 13-pixel lines as with the 12-pixel ones of the Windows font.
    reportBox_->document()->setDocumentMargin(1);
#ifdef _WIN32
    // Windows' 17-pixel scroll bar leaves a pixel or two less than the 65
    // columns of a report line: the line stays whole instead of wrapping
    // its last column under the first.
    reportBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
#endif
    ui::PlaceTwips(reportBox_, 75, 1590, 6150, 1410);

    tallyButton_ = new QPushButton(QString::fromUtf8("上記の条件で抽出／集計"), client);
    tallyButton_->setObjectName("TallyButton");
    tallyButton_->setAccessibleName(tallyButton_->text());
    tallyButton_->setFont(ui::ProportionalGothicFont());
    // Enter presses the button that has the focus, as Space does.
    tallyButton_->setAutoDefault(true);
    ui::PlaceTwips(tallyButton_, 90, 3090, 6135, 420);
    connect(tallyButton_, &QPushButton::clicked, this, &MainWindow::TallyButtonClicked);
}

void MainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QString::fromUtf8("ﾌｧｲﾙ(&F)"));
    file->setObjectName("FileMenu");
    openAction_ = file->addAction(QString::fromUtf8("ﾌｧｲﾙを開く(&O)"));
    openAction_->setObjectName("OpenAction");
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(openAction_, &QAction::triggered, this, &MainWindow::OpenMenuChosen);
    file->addSeparator();
    QAction* end = file->addAction(QString::fromUtf8("終了(&X)"));
    end->setObjectName("ExitAction");
    connect(end, &QAction::triggered, this, &MainWindow::ExitMenuChosen);

    QMenu* settings = menuBar()->addMenu(QString::fromUtf8("設定(&S)"));
    settings->setObjectName("SettingsMenu");
    QAction* folder = settings->addAction(QString::fromUtf8("ﾌｫﾙﾀﾞの設定(&D)"));
    folder->setObjectName("FolderAction");
    connect(folder, &QAction::triggered, this, &MainWindow::FolderMenuChosen);
    QAction* clearCache = settings->addAction(QString::fromUtf8("キャッシュを削除(&C)"));
    clearCache->setObjectName("MenuClearCache");
    connect(clearCache, &QAction::triggered, this, &MainWindow::ClearCacheMenuChosen);

    CreateAnalysisMenu();
    InstallHelpMenu(this);
}

void MainWindow::SetTabOrder() {
    QWidget* order[] = {tallyButton_,
                        reportBox_,
                        openButton_,
                        conditionSelectors_[6],
                        conditionSelectors_[5],
                        conditionSelectors_[3],
                        conditionSelectors_[2],
                        conditionSelectors_[0],
                        conditionSelectors_[1],
                        conditionSelectors_[4],
                        conditionSelectors_[7],
                        orMoreBox_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

ui::ComboBox* MainWindow::ConditionSelector(int number) const {
    return conditionSelectors_.at(static_cast<std::size_t>(number - 1));
}

void MainWindow::ClearSelectorsAndTitle() {
    for (ui::ComboBox* combo : conditionSelectors_) combo->Clear();
    setWindowTitle(windowTitle() + QStringLiteral("      ") + QString::fromUtf8(kVersionText));
}

void MainWindow::SaveSettingsOnce() {
    const SaveResult saved = SaveSettings(state_, iniPath_);
    if (!saved.ok) ui::ShowMessage(this, ui::FromUtf8(saved.message));
}

MainWindow::~MainWindow() { CloseAnalysisWindows(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window always closes; the settings are saved once however it goes.
    // A load in hand is abandoned: it ends by itself, unheard.
    loader_->Abandon();
    if (!unloaded_) {
        unloaded_ = true;
        SaveSettingsOnce();
    }
    // The analysis windows have no parent: they close here, so that the
    // program ends with this window.
    CloseAnalysisWindows();
    event->accept();
}

void MainWindow::TallyButtonClicked() { RunTally(); }

void MainWindow::OpenButtonClicked() { ShowPatternDialog(); }

void MainWindow::OpenMenuChosen() { ShowPatternDialog(); }

void MainWindow::ExitMenuChosen() { close(); }

void MainWindow::FolderMenuChosen() { ShowFolderSettings(); }

void MainWindow::RankingMenuChosen() { OpenRankingWindow(); }

void MainWindow::ShowPatternDialog() {
    if (LoadRunning() || patternDialog_) return;
    auto* dialog = new PatternDialog(
        state_, [this](const PatternSelections&, QWidget* over) { return StartPatternLoad(over); },
        this, [this](QWidget*) { return OpenRankingWindow(); });
    patternDialog_ = dialog;
    dialog->FollowRanking(ranking_);
    connect(dialog, &PatternDialog::openAbandoned, loader_, &ui::PatternLoader::Cancel);
    connect(dialog, &QDialog::finished, this,
            [this, dialog](int result) { PatternDialogClosed(dialog, result); });
    // Modal to this window; OK starts the load and returns.
    dialog->open();
}

void MainWindow::PatternDialogClosed(PatternDialog* dialog, int result) {
    dialog->disconnect(this);
    dialog->deleteLater();
    patternDialog_ = nullptr;
    // The dialog is gone before the first report over the new data.
    if (result == QDialog::Accepted) RunTally();
}

RankingWindow* MainWindow::Ranking() const { return ranking_; }

PatternDialog* MainWindow::OpenPatternDialog() const { return patternDialog_; }

RankingWindow* MainWindow::OpenRankingWindow() {
    if (ranking_) {
        ranking_->Follow(state_.DataFolder, tallied_);
        if (!ranking_->Running() || ranking_->OutOfDate()) ranking_->Start();
    } else {
        ranking_ = new RankingWindow(state_.DataFolder, tallied_, nullptr, &choices_);
        ranking_->SetRecordCache(state_.RecordCache);
        ranking_->setAttribute(Qt::WA_DeleteOnClose);
        // Queued: the row's key press has ended before the load starts, so a
        // window closed meanwhile is never used by it.
        connect(ranking_, &RankingWindow::patternChosen, this, &MainWindow::OpenChosenPattern,
                Qt::QueuedConnection);
    }
    ranking_->show();
    ranking_->raise();
    ranking_->activateWindow();
    return ranking_;
}

void MainWindow::OpenChosenPattern(const PatternSelections& selections) {
    if (LoadRunning()) return;
    // While the pattern dialog is open the choice goes through its OK.
    if (patternDialog_) {
        patternDialog_->ChoosePattern(selections);
        return;
    }
    SelectPattern(state_, selections);
    StartPatternLoad(ranking_ ? static_cast<QWidget*>(ranking_) : this);
}

bool MainWindow::StartPatternLoad(QWidget* over) {
    if (LoadRunning()) return false;
    loadOver_ = over;
    loadFolder_ = state_.DataFolder;
    EnableCommands(false);
    loader_->Start(
        state_.DataFolder, state_.PatternFileMask, over,
        [this](PatternLoad load) { LoadEnded(std::move(load)); }, state_.RecordCache);
    return true;
}

void MainWindow::LoadEnded(PatternLoad load) {
    EnableCommands(true);
    const bool opened = load.status == LoadStatus::Loaded;
    const bool told = load.status == LoadStatus::NotFound || load.status == LoadStatus::Failed;
    const QString message = told ? ui::FromUtf8(FailureText(load.message)) : QString();
    const QPointer<QWidget> over = loadOver_;
    if (opened) {
        CommitLoad(state_, std::move(load));
        loadedFolder_ = loadFolder_;
        PrepareMainWindowAfterLoad(DescribeLoaded(state_));
    }
    if (patternDialog_ && over == patternDialog_) {
        // It closes on success, and the report follows its closing.
        patternDialog_->OpenEnded(opened);
    } else if (opened) {
        RunTally();
        if (ranking_ && over == ranking_) {
            // The report is here: this window comes in front of the ranking.
            raise();
            activateWindow();
        }
    }
    // Last: the message's own event loop may close any window.
    if (told) ui::ShowMessage(over ? over.data() : this, message);
}

void MainWindow::EnableCommands(bool enabled) {
    // A disabled button gives its focus away; it comes back with the
    // commands, so that Enter tallies after a load as it did before.
    if (!enabled) focusBeforeLoad_ = focusWidget();
    openButton_->setEnabled(enabled);
    openAction_->setEnabled(enabled);
    tallyButton_->setEnabled(enabled);
    analysisMenu_->menuAction()->setEnabled(enabled);
    if (enabled && focusBeforeLoad_) focusBeforeLoad_->setFocus();
}

void MainWindow::PrepareMainWindowAfterLoad(const LoadedView& view) {
    reportBox_->SetText(QString());
    patternDescription_->setText(ui::FromUtf8(view.description));
    for (std::size_t i = 0; i < conditionSelectors_.size(); ++i) {
        const std::vector<SelectorItem>& items = view.selectors.at(i);
        std::vector<ui::ComboBox::Item> shown;
        shown.reserve(items.size());
        for (const SelectorItem& item : items)
            shown.push_back({ui::FromUtf8(item.text), item.data});
        conditionSelectors_[i]->SetItems(std::move(shown));
        conditionSelectors_[i]->SetListIndex(0);
    }
}

void MainWindow::ShowFolderSettings() {
    FolderDialog* dialog = FolderDialog::ShowFor(state_);
    connect(dialog, &FolderDialog::dataFolderChanged, this, &MainWindow::DataFolderChanged,
            Qt::UniqueConnection);
}

void MainWindow::DataFolderChanged() { FollowInAnalysis(); }

}  // namespace lomi
