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

#include "app/resources.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/folder_dialog.h"
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

// Combo1 … Combo8.
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
    command1_->setFocus();

    Form_Load();
}

void MainWindow::CreateControls(QWidget* client) {
    label2_ = new QLabel(client);
    label2_->setObjectName("Label2");
    label2_->setAccessibleDescription(QString::fromUtf8("買い目ﾊﾟﾀｰﾝ"));
    label2_->setFont(ui::ProportionalGothicFont());
    label2_->setFrameStyle(QFrame::Box | QFrame::Plain);
    label2_->setLineWidth(1);
    label2_->setAlignment(Qt::AlignCenter);
    label2_->setAutoFillBackground(true);
    QPalette fieldColours = label2_->palette();
    fieldColours.setColor(QPalette::Window, fieldColours.color(QPalette::Base));
    fieldColours.setColor(QPalette::WindowText, fieldColours.color(QPalette::Text));
    label2_->setPalette(fieldColours);
    ui::PlaceTwips(label2_, 90, 30, 5685, 270);

    command2_ = new QPushButton(client);
    command2_->setObjectName("Command2");
    command2_->setIcon(QIcon(QStringLiteral(":/open_folder.png")));
    command2_->setIconSize(QSize(16, 15));
    command2_->setAutoDefault(true);
    command2_->setAccessibleName(QString::fromUtf8("ﾌｧｲﾙを開く"));
    ui::PlaceTwips(command2_, 5835, 0, 375, 330);
    connect(command2_, &QPushButton::clicked, this, &MainWindow::Command2_Click);

    for (int i = 0; i < 8; ++i) {
        label1_[i] = new QLabel(QString::fromUtf8(kLabel1[i].caption), client);
        label1_[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Put(label1_[i], kLabel1[i].place);
    }

    for (int i = 0; i < 8; ++i) {
        combos_[i] = new ui::ComboBox(client);
        combos_[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
        Put(combos_[i], kCombo[i]);
    }
    // A screen reader names each selector by its caption: on Linux through
    // the label relation that the buddy makes, elsewhere by the name.
    for (int i = 0; i < 8; ++i) {
        ui::ComboBox* combo = Combo(kLabelledCombo[i]);
        label1_[i]->setBuddy(combo);
        combo->setAccessibleName(label1_[i]->text());
    }

    check1_ = new ui::CheckBox(QString::fromUtf8("以上"), client);
    check1_->setObjectName("Check1");
    check1_->setAccessibleName(QString::fromUtf8("以上"));
    ui::PlaceTwipsGrowing(check1_, 570, 930, 825, 180);

    text1_ = new ui::TextBox(client);
    text1_->setObjectName("Text1");
    text1_->setAccessibleName(QString::fromUtf8("集計結果"));
    text1_->setFont(ui::FixedGothicFont());
    // A one-pixel margin: a whole report line fits beside the scroll bar,
    // and all seven lines fit the box's height with the Japanese fonts'
    // 13-pixel lines as with the 12-pixel ones of the Windows font.
    text1_->document()->setDocumentMargin(1);
#ifdef _WIN32
    // Windows' 17-pixel scroll bar leaves a pixel or two less than the 65
    // columns of a report line: the line stays whole instead of wrapping
    // its last column under the first.
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
#endif
    ui::PlaceTwips(text1_, 75, 1590, 6150, 1410);

    command1_ = new QPushButton(QString::fromUtf8("上記の条件で抽出／集計"), client);
    command1_->setObjectName("Command1");
    command1_->setAccessibleName(command1_->text());
    command1_->setFont(ui::ProportionalGothicFont());
    // Enter presses the button that has the focus, as Space does.
    command1_->setAutoDefault(true);
    ui::PlaceTwips(command1_, 90, 3090, 6135, 420);
    connect(command1_, &QPushButton::clicked, this, &MainWindow::Command1_Click);
}

void MainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QString::fromUtf8("ﾌｧｲﾙ(&F)"));
    file->setObjectName("MenuFile");
    QAction* open = file->addAction(QString::fromUtf8("ﾌｧｲﾙを開く(&O)"));
    open->setObjectName("MenuOpen");
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MainWindow::MenuOpen_Click);
    file->addSeparator()->setObjectName("MenuSep1");
    QAction* end = file->addAction(QString::fromUtf8("終了(&X)"));
    end->setObjectName("MenuEnd");
    connect(end, &QAction::triggered, this, &MainWindow::MenuEnd_Click);

    QMenu* settings = menuBar()->addMenu(QString::fromUtf8("設定(&S)"));
    settings->setObjectName("MenuSet");
    QAction* folder = settings->addAction(QString::fromUtf8("ﾌｫﾙﾀﾞの設定(&D)"));
    folder->setObjectName("MenuFol");
    connect(folder, &QAction::triggered, this, &MainWindow::MenuFol_Click);

    CreateAnalysisMenu();
}

void MainWindow::SetTabOrder() {
    QWidget* order[] = {command1_,  text1_,     command2_,  combos_[6], combos_[5], combos_[3],
                        combos_[2], combos_[0], combos_[1], combos_[4], combos_[7], check1_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

ui::ComboBox* MainWindow::Combo(int number) const {
    return combos_.at(static_cast<std::size_t>(number - 1));
}

void MainWindow::Form_Load() {
    for (ui::ComboBox* combo : combos_) combo->Clear();
    setWindowTitle(windowTitle() + QStringLiteral("      ") + QString::fromUtf8(kVersionText));
}

void MainWindow::Form_Unload() {
    const SaveResult saved = SaveSettings(state_, iniPath_);
    if (!saved.ok) ui::ShowMessage(this, ui::FromUtf8(saved.message));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window always closes; the settings are saved once however it goes.
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    event->accept();
}

void MainWindow::Command1_Click() { RunTally(); }

void MainWindow::Command2_Click() { ShowPatternDialog(); }

void MainWindow::MenuOpen_Click() { ShowPatternDialog(); }

void MainWindow::MenuEnd_Click() { close(); }

void MainWindow::MenuFol_Click() { ShowFolderSettings(); }

void MainWindow::ShowPatternDialog() {
    if (loading_) return;
    auto dialog = std::make_unique<PatternDialog>(
        state_, [this](const PatternSelections&, QWidget* over) { return OpenPattern(over); }, this,
        [this](QWidget* over) { return OpenRankingWindow(over); });
    patternDialog_ = dialog.get();
    const bool opened = dialog->exec() == QDialog::Accepted;
    // A ranking window opened from the dialog outlives it, over this window.
    if (ranking_ && ranking_->parentWidget() == dialog.get()) {
        const QRect place = ranking_->geometry();
        ranking_->setParent(this, Qt::Window);
        ranking_->setGeometry(place);
        ranking_->show();
    }
    // The dialog is gone before the first report over the new data.
    dialog.reset();
    if (opened) RunTally();
}

RankingWindow* MainWindow::Ranking() const { return ranking_; }

RankingWindow* MainWindow::OpenRankingWindow(QWidget* parent) {
    if (ranking_) ranking_->close();
    ranking_ = new RankingWindow(state_.DataFolder, CurrentConditions(), CurrentConditionsText(),
                                 parent != nullptr ? parent : this);
    ranking_->setAttribute(Qt::WA_DeleteOnClose);
    connect(ranking_, &RankingWindow::patternChosen, this, &MainWindow::OpenChosenPattern);
    ranking_->show();
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
    if (OpenPattern(ranking_ ? static_cast<QWidget*>(ranking_) : this)) RunTally();
}

bool MainWindow::OpenPattern(QWidget* messageParent) {
    if (loading_) return false;
    loading_ = true;
    PatternLoad load = ui::LoadPatternInBackground(state_.DataFolder, state_.PatternFileMask,
                                                   messageParent, progressDelay_);
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
    PrepareMainWindowAfterLoad(DescribeLoaded(state_));
    return true;
}

void MainWindow::PrepareMainWindowAfterLoad(const LoadedView& view) {
    text1_->SetText(QString());
    label2_->setText(ui::FromUtf8(view.description));
    for (std::size_t i = 0; i < combos_.size(); ++i) {
        const std::vector<SelectorItem>& items = view.selectors.at(i);
        std::vector<ui::ComboBox::Item> shown;
        shown.reserve(items.size());
        for (const SelectorItem& item : items)
            shown.push_back({ui::FromUtf8(item.text), item.data});
        combos_[i]->SetItems(std::move(shown));
        combos_[i]->SetListIndex(0);
    }
}

void MainWindow::ShowFolderSettings() { FolderDialog::ShowFor(state_); }

}  // namespace lomi
