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
#include "dialogs/folder_dialog.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/ranking_window.h"
#include "settings/settings.h"
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

struct LabelPlace {
    const char* caption;
    Place place;
};

// Label1 by index: each caption stands above the selector it names.
constexpr LabelPlace kLabel1[8] = {
    {"開催", {120, 390, 450, 240}},  {"ﾚｰｽ", {1680, 390, 450, 210}},
    {"頭数", {120, 945, 450, 240}},  {"ｸﾗｽ", {3240, 945, 450, 240}},
    {"距離", {4770, 390, 450, 240}}, {"馬齢", {1665, 945, 450, 240}},
    {"馬場", {3225, 390, 450, 240}}, {"日付", {4770, 945, 450, 240}},
};

// The selector each Label1 caption names, by Label1 index.
constexpr int kLabelledCombo[8] = {1, 2, 3, 5, 7, 4, 6, 8};

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

MainWindow::MainWindow(ProgramState& state, std::string iniPath, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      iniPath_(std::move(iniPath)) {
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
    openButton_->setObjectName("Command2");
    openButton_->setIcon(QIcon(QStringLiteral(":/open_folder.png")));
    openButton_->setIconSize(QSize(16, 15));
    openButton_->setAutoDefault(true);
    openButton_->setAccessibleName(QString::fromUtf8("ﾌｧｲﾙを開く"));
    ui::PlaceTwips(openButton_, 5835, 0, 375, 330);
    connect(openButton_, &QPushButton::clicked, this, &MainWindow::OpenButtonClicked);

    for (int i = 0; i < 8; ++i) {
        selectorLabels_[i] = new QLabel(QString::fromUtf8(kLabel1[i].caption), client);
        selectorLabels_[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Put(selectorLabels_[i], kLabel1[i].place);
    }

    for (int i = 0; i < 8; ++i) {
        conditionSelectors_[i] = new ui::ComboBox(client);
        conditionSelectors_[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
        Put(conditionSelectors_[i], kCombo[i]);
    }
    // A screen reader names each selector by its caption: on Linux through
    // the label relation that the buddy makes, elsewhere by the name.
    for (int i = 0; i < 8; ++i) {
        ui::ComboBox* combo = ConditionSelector(kLabelledCombo[i]);
        selectorLabels_[i]->setBuddy(combo);
        combo->setAccessibleName(selectorLabels_[i]->text());
    }

    orMoreBox_ = new ui::CheckBox(QString::fromUtf8("以上"), client);
    orMoreBox_->setObjectName("Check1");
    orMoreBox_->setAccessibleName(QString::fromUtf8("以上"));
    ui::PlaceTwipsGrowing(orMoreBox_, 570, 930, 825, 180);

    reportBox_ = new ui::TextBox(client);
    reportBox_->setObjectName("Text1");
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
    tallyButton_->setObjectName("Command1");
    tallyButton_->setAccessibleName(tallyButton_->text());
    tallyButton_->setFont(ui::ProportionalGothicFont());
    // Enter presses the button that has the focus, as Space does.
    tallyButton_->setAutoDefault(true);
    ui::PlaceTwips(tallyButton_, 90, 3090, 6135, 420);
    connect(tallyButton_, &QPushButton::clicked, this, &MainWindow::TallyButtonClicked);
}

void MainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QString::fromUtf8("ﾌｧｲﾙ(&F)"));
    file->setObjectName("MenuFile");
    QAction* open = file->addAction(QString::fromUtf8("ﾌｧｲﾙを開く(&O)"));
    open->setObjectName("MenuOpen");
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MainWindow::OpenMenuChosen);
    file->addSeparator()->setObjectName("MenuSep1");
    QAction* end = file->addAction(QString::fromUtf8("終了(&X)"));
    end->setObjectName("MenuEnd");
    connect(end, &QAction::triggered, this, &MainWindow::ExitMenuChosen);

    QMenu* settings = menuBar()->addMenu(QString::fromUtf8("設定(&S)"));
    settings->setObjectName("MenuSet");
    QAction* folder = settings->addAction(QString::fromUtf8("ﾌｫﾙﾀﾞの設定(&D)"));
    folder->setObjectName("MenuFol");
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
    if (loading_) return;
    auto dialog = std::make_unique<PatternDialog>(
        state_, [this](const PatternSelections&, QWidget* over) { return OpenPattern(over); }, this,
        [this](QWidget*) { return OpenRankingWindow(); });
    patternDialog_ = dialog.get();
    dialog->FollowRanking(ranking_);
    const bool opened = dialog->exec() == QDialog::Accepted;
    // The dialog is gone before the first report over the new data.
    dialog.reset();
    if (opened) RunTally();
}

RankingWindow* MainWindow::Ranking() const { return ranking_; }

RankingWindow* MainWindow::OpenRankingWindow() {
    if (ranking_) {
        ranking_->Follow(state_.DataFolder, tallied_);
        if (!ranking_->Running() || ranking_->OutOfDate()) ranking_->Start();
    } else {
        ranking_ = new RankingWindow(state_.DataFolder, tallied_, nullptr, &choices_);
        ranking_->SetRecordCache(state_.RecordCache);
        ranking_->setAttribute(Qt::WA_DeleteOnClose);
        connect(ranking_, &RankingWindow::patternChosen, this, &MainWindow::OpenChosenPattern);
    }
    ranking_->show();
    ranking_->raise();
    ranking_->activateWindow();
    return ranking_;
}

void MainWindow::OpenChosenPattern(const PatternSelections& selections) {
    if (loading_) return;
    // While the pattern dialog is open the choice goes through its OK.
    if (patternDialog_) {
        patternDialog_->ChoosePattern(selections);
        return;
    }
    SelectPattern(state_, selections);
    if (!OpenPattern(ranking_ ? static_cast<QWidget*>(ranking_) : this)) return;
    RunTally();
    // The report is here: this window comes in front of the ranking.
    raise();
    activateWindow();
}

bool MainWindow::OpenPattern(QWidget* messageParent) {
    if (loading_) return false;
    loading_ = true;
    const std::string folder = state_.DataFolder;
    PatternLoad load =
        ui::LoadPatternInBackground(state_.DataFolder, state_.PatternFileMask, messageParent,
                                    progressDelay_, state_.RecordCache);
    loading_ = false;
    switch (load.status) {
        case LoadStatus::Loaded:
            break;
        case LoadStatus::Cancelled:
            return false;
        case LoadStatus::NotFound:
        case LoadStatus::Failed:
            ui::ShowMessage(messageParent, ui::FromUtf8(load.message));
            return false;
    }
    CommitLoad(state_, std::move(load));
    loadedFolder_ = folder;
    PrepareMainWindowAfterLoad(DescribeLoaded(state_));
    return true;
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
