#pragma once

#include <vector>

#include <QDialog>
#include <QString>

#include "ui/drives.h"

class QPushButton;

namespace lomi {

namespace ui {
class DirList;
class DriveList;
}  // namespace ui

// The folder browser: a drive list and a directory list. It opens at the
// folder it is given (the one the settings dialog shows); OK hands the
// directory list's path back through FolderChosen. ｷｬﾝｾﾙ, Esc and the close
// box change nothing.
class FolderBrowser : public QDialog {
    Q_OBJECT

public:
    FolderBrowser(const QString& startFolder, ui::DriveSource drives, QWidget* parent = nullptr);

    ui::DriveList* DriveSelector() const { return driveSelector_; }
    ui::DirList* FolderList() const { return folderList_; }
    // The drive the directory list was last switched to successfully.
    const QString& PreviousDrive() const { return previousDrive_; }

    void DriveChanged();
    void OkClicked();      // OK
    void CancelClicked();  // ｷｬﾝｾﾙ

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

signals:
    // OK: the folder the directory list has opened, before the dialog goes.
    void FolderChosen(const QString& folder);

private:
    void CreateControls();
    void ListDrivesAndOpenStart();
    void OpenStartFolder(const QString& folder);

    QString startFolder_;
    ui::DriveSource source_;
    std::vector<ui::Drive> drives_;
    QString previousDrive_;

    ui::DriveList* driveSelector_ = nullptr;
    ui::DirList* folderList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace lomi
