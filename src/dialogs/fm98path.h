#pragma once

#include <vector>

#include <QDialog>
#include <QString>

#include "ui/drives.h"

class QPushButton;

namespace lomi {

class Fm98Dir;

namespace ui {
class DirList;
class DriveList;
}  // namespace ui

// The folder browser: a drive list and a directory list. It opens at the
// folder the settings dialog shows; OK writes the directory list's path
// into that dialog's Lbpat. ｷｬﾝｾﾙ, Esc and the close box change nothing.
class Fm98Path : public QDialog {
    Q_OBJECT

public:
    Fm98Path(Fm98Dir& settings, ui::DriveSource drives);

    ui::DriveList* Drive1() const { return drive1_; }
    ui::DirList* Dir1() const { return dir1_; }
    // The drive the directory list was last switched to successfully.
    const QString& PreviousDrive() const { return previousDrive_; }

    void Drive1_Change();
    void Command1_Click();  // OK
    void Command2_Click();  // ｷｬﾝｾﾙ

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

private:
    void CreateControls();
    void Form_Load();
    void OpenStartFolder(const QString& folder);

    Fm98Dir& settings_;
    ui::DriveSource source_;
    std::vector<ui::Drive> drives_;
    QString previousDrive_;

    ui::DriveList* drive1_ = nullptr;
    ui::DirList* dir1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace lomi
