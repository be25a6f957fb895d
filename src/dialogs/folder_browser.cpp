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

    ListDrivesAndOpenStart();
    connect(driveSelector_, &ui::DriveList::Change, this, &FolderBrowser::DriveChanged);
}

void FolderBrowser::CreateControls() {
    driveSelector_ = new ui::DriveList(this);
    driveSelector_->setObjectName("DriveSelector");
    driveSelector_->setAccessibleName(QString::fromUtf8("ﾄﾞﾗｲﾌﾞ"));
    driveSelector_->setAccessibleDescription(QString::fromUtf8("ﾄﾞﾗｲﾌﾞ"));
    ui::PlaceTwips(driveSelector_, 90, 105, 3345, 300);

    folderList_ = new ui::DirList(this);
    folderList_->setObjectName("FolderList");
    folderList_->setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞ"));
    folderList_->setToolTip(QString::fromUtf8("ダブルクリックで選択"));
    ui::PlaceTwips(folderList_, 90, 525, 3300, 3030);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName("OkButton");
    ui::PlaceTwips(okButton_, 360, 3675, 1515, 360);
    connect(okButton_, &QPushButton::clicked, this, &FolderBrowser::OkClicked);

    cancelButton_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName("CancelButton");
    ui::PlaceTwips(cancelButton_, 1890, 3675, 1515, 360);
    connect(cancelButton_, &QPushButton::clicked, this, &FolderBrowser::CancelClicked);

    // Esc presses ｷｬﾝｾﾙ (reject); Enter presses only the focused button.
    okButton_->setDefault(false);
    cancelButton_->setDefault(false);
    setTabOrder(driveSelector_, folderList_);
    setTabOrder(folderList_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    driveSelector_->setFocus();
}

void FolderBrowser::ListDrivesAndOpenStart() {
    drives_ = source_.list ? source_.list() : std::vector<ui::Drive>{};
    const QString currentDirectory =
        source_.currentDirectory ? source_.currentDirectory() : QString();
    const int current = ui::DriveOfFolder(currentDirectory, drives_);
    driveSelector_->SetDrives(
        drives_, current >= 0 ? drives_[static_cast<std::size_t>(current)].root : QString());
    OpenStartFolder(startFolder_);
    previousDrive_ = driveSelector_->Drive();
}

void FolderBrowser::OpenStartFolder(const QString& folder) {
    // A folder that is gone or cannot be read opens at the nearest folder
    // above it that can; failing all, at the home folder or the current
    // directory.
    for (QString candidate = ui::NormalFolder(folder); !candidate.isEmpty();
         candidate = ui::ParentFolder(candidate)) {
        if (folderList_->SetPath(candidate)) return;
    }
    for (const QString& fallback : {QDir::homePath(), QDir::currentPath()}) {
        if (folderList_->SetPath(fallback)) return;
    }
}

void FolderBrowser::DriveChanged() {
    const QString folder = ui::CurrentFolderOfDrive(
        driveSelector_->Drive(), source_.currentDirectory ? source_.currentDirectory() : QString(),
        drives_);
    if (!folderList_->SetPath(folder)) {
        // Back to the drive that worked, without a message. That change runs
        // this handler again for it; when it fails as well, the drive list
        // already shows it and nothing more happens.
        driveSelector_->SetDrive(previousDrive_);
        return;
    }
    previousDrive_ = driveSelector_->Drive();
}

void FolderBrowser::OkClicked() {
    emit FolderChosen(folderList_->Path());
    done(QDialog::Accepted);
}

void FolderBrowser::CancelClicked() { done(QDialog::Rejected); }

void FolderBrowser::reject() { CancelClicked(); }

}  // namespace lomi
