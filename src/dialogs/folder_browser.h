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

    ui::DriveList* Drive1() const { return drive1_; }
    ui::DirList* Dir1() const { return dir1_; }
    // The drive the directory list was last switched to successfully.
    const QString& PreviousDrive() const { return previousDrive_; }

    void Drive1_Change();
    void Command1_Click();  // OK
    void Command2_Click();  // ｷｬﾝｾﾙ

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

signals:
    // OK: the folder the directory list has opened, before the dialog goes.
    void FolderChosen(const QString& folder);

private:
    void CreateControls();
    void Form_Load();
    void OpenStartFolder(const QString& folder);

    QString startFolder_;
    ui::DriveSource source_;
    std::vector<ui::Drive> drives_;
    QString previousDrive_;

    ui::DriveList* drive1_ = nullptr;
    ui::DirList* dir1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace lomi
