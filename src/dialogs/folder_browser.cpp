#include "dialogs/folder_browser.h"

#include <utility>

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/folder_path.h"
#include "ui/fonts.h"
#include "ui/twips.h"

namespace lomi {

namespace {

// Top-left corner of the client area on the screen, and its size.
constexpr int kScreenLeft = 6045;
constexpr int kScreenTop = 1380;
constexpr int kClientWidth = 3480;
constexpr int kClientHeight = 4080;

}  // namespace

FolderBrowser::FolderBrowser(const QString& startFolder, ui::DriveSource drives, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      startFolder_(startFolder),
      source_(std::move(drives)) {
    ui::UseInterfaceFont();
    setObjectName("FolderBrowser");
    setWindowTitle(QString::fromUtf8("ﾌｫﾙﾀﾞの選択"));
    setModal(true);
    CreateControls();

    // Always the same place on the screen, not centred over its owner.
    QPoint origin;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        origin = screen->geometry().topLeft();
    }
    setGeometry(
        QRect(origin + QPoint(ui::TwipsToPixels(kScreenLeft), ui::TwipsToPixels(kScreenTop)),
              ui::TwipsSize(kClientWidth, kClientHeight)));
    setFixedSize(ui::TwipsSize(kClientWidth, kClientHeight));

    Form_Load();
    connect(drive1_, &ui::DriveList::Change, this, &FolderBrowser::Drive1_Change);
}

void FolderBrowser::CreateControls() {
    drive1_ = new ui::DriveList(this);
    drive1_->setObjectName("Drive1");
    drive1_->setAccessibleName(QString::fromUtf8("ﾄﾞﾗｲﾌﾞ"));
    drive1_->setAccessibleDescription(QString::fromUtf8("ﾄﾞﾗｲﾌﾞ"));
    ui::PlaceTwips(drive1_, 90, 105, 3345, 300);

    dir1_ = new ui::DirList(this);
    dir1_->setObjectName("Dir1");
    dir1_->setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞ"));
    dir1_->setToolTip(QString::fromUtf8("ダブルクリックで選択"));
    ui::PlaceTwips(dir1_, 90, 525, 3300, 3030);

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName("Command1");
    ui::PlaceTwips(command1_, 360, 3675, 1515, 360);
    connect(command1_, &QPushButton::clicked, this, &FolderBrowser::Command1_Click);

    command2_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    command2_->setObjectName("Command2");
    ui::PlaceTwips(command2_, 1890, 3675, 1515, 360);
    connect(command2_, &QPushButton::clicked, this, &FolderBrowser::Command2_Click);

    // Esc presses ｷｬﾝｾﾙ (reject); Enter presses only the focused button.
    command1_->setDefault(false);
    command2_->setDefault(false);
    setTabOrder(drive1_, dir1_);
    setTabOrder(dir1_, command1_);
    setTabOrder(command1_, command2_);
    drive1_->setFocus();
}

void FolderBrowser::Form_Load() {
    drives_ = source_.list ? source_.list() : std::vector<ui::Drive>{};
    const QString currentDirectory =
        source_.currentDirectory ? source_.currentDirectory() : QString();
    const int current = ui::DriveOfFolder(currentDirectory, drives_);
    drive1_->SetDrives(drives_,
                       current >= 0 ? drives_[static_cast<std::size_t>(current)].root : QString());
    OpenStartFolder(startFolder_);
    previousDrive_ = drive1_->Drive();
}

void FolderBrowser::OpenStartFolder(const QString& folder) {
    // A folder that is gone or cannot be read opens at the nearest folder
    // above it that can; failing all, at the home folder or the current
    // directory.
    for (QString candidate = ui::NormalFolder(folder); !candidate.isEmpty();
         candidate = ui::ParentFolder(candidate)) {
        if (dir1_->SetPath(candidate)) return;
    }
    for (const QString& fallback : {QDir::homePath(), QDir::currentPath()}) {
        if (dir1_->SetPath(fallback)) return;
    }
}

void FolderBrowser::Drive1_Change() {
    const QString folder = ui::CurrentFolderOfDrive(
        drive1_->Drive(), source_.currentDirectory ? source_.currentDirectory() : QString(),
        drives_);
    if (!dir1_->SetPath(folder)) {
        // Back to the drive that worked, without a message. That change runs
        // this handler again for it; when it fails as well, the drive list
        // already shows it and nothing more happens.
        drive1_->SetDrive(previousDrive_);
        return;
    }
    previousDrive_ = drive1_->Drive();
}

void FolderBrowser::Command1_Click() {
    emit FolderChosen(dir1_->Path());
    done(QDialog::Accepted);
}

void FolderBrowser::Command2_Click() { done(QDialog::Rejected); }

void FolderBrowser::reject() { Command2_Click(); }

}  // namespace lomi
