#pragma once

#include <QDialog>
#include <QPointer>

#include "data/program_state.h"
#include "ui/drives.h"

class QCloseEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace lomi {

class FolderBrowser;

// The folder settings dialog: shows the data folder in its label, "..." browses
// for another one, OK makes the shown folder the data folder. Modeless and
// a window of its own, so it stays open when the main window closes.
class FolderDialog : public QDialog {
    Q_OBJECT

public:
    explicit FolderDialog(ProgramState& state, ui::DriveSource drives = ui::PlatformDriveSource());

    // Shows the dialog of state modelessly: the open one is brought to the
    // front as it is, otherwise a new one opens from DataFolder and is
    // deleted when it closes.
    static FolderDialog* ShowFor(ProgramState& state);
    // The open dialog of state, nullptr when there is none.
    static FolderDialog* OpenFor(const ProgramState& state);

    QLabel* FolderLabel() const { return folderLabel_; }
    // The folder browser while it is loaded, else nullptr.
    FolderBrowser* Browser() const;

    // Where the folder browser takes its drives from.
    const ui::DriveSource& Drives() const { return drives_; }
    void SetDrives(ui::DriveSource drives) { drives_ = std::move(drives); }

    void BrowseClicked();  // "..."
    void OkClicked();      // OK
    void CancelClicked();  // ｷｬﾝｾﾙ

signals:
    // OK made another folder the data folder.
    void dataFolderChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void ShowDataFolder();
    void UnloadBrowser();

    ProgramState& state_;
    ui::DriveSource drives_;
    bool unloaded_ = false;
    QPointer<FolderBrowser> browser_;

    QGroupBox* frame_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace lomi
