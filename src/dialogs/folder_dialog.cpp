#include "dialogs/folder_dialog.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "dialogs/folder_browser.h"
#include "ui/fonts.h"
#include "ui/text.h"
#include "ui/twips.h"

namespace lomi {

FolderDialog::FolderDialog(ProgramState& state, ui::DriveSource drives)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      drives_(std::move(drives)) {
    ui::UseInterfaceFont();
    setObjectName("FolderDialog");
    setWindowTitle(QString::fromUtf8("ﾌｫﾙﾀﾞの設定"));
    setModal(false);
    CreateControls();
    setFixedSize(ui::TwipsSize(5580, 1485));
    ShowDataFolder();
}

FolderDialog* FolderDialog::OpenFor(const ProgramState& state) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<FolderDialog*>(window);
        if (dialog && !dialog->unloaded_ && &dialog->state_ == &state) return dialog;
    }
    return nullptr;
}

FolderDialog* FolderDialog::ShowFor(ProgramState& state) {
    FolderDialog* dialog = OpenFor(state);
    if (!dialog) {
        dialog = new FolderDialog(state);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void FolderDialog::CreateControls() {
    frame_ = new QGroupBox(QString::fromUtf8("Tolvikｺﾝﾃｽﾄ形式買い目ﾌｧｲﾙ格納ﾌｫﾙﾀﾞ"), this);
    frame_->setObjectName("FolderFrame");
    ui::PlaceTwips(frame_, 90, 120, 5415, 870);

    // A label shown as a field: window colours and a single-line border.
    folderLabel_ = new QLabel(frame_);
    folderLabel_->setObjectName("FolderLabel");
    folderLabel_->setAccessibleDescription(frame_->title());
    folderLabel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    folderLabel_->setLineWidth(1);
    folderLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    folderLabel_->setAutoFillBackground(true);
    QPalette fieldColours = folderLabel_->palette();
    fieldColours.setColor(QPalette::Window, fieldColours.color(QPalette::Base));
    fieldColours.setColor(QPalette::WindowText, fieldColours.color(QPalette::Text));
    folderLabel_->setPalette(fieldColours);
    ui::PlaceTwips(folderLabel_, 120, 315, 4515, 375);

    browseButton_ = new QPushButton(QStringLiteral("..."), frame_);
    browseButton_->setObjectName("BrowseButton");
    browseButton_->setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞの選択"));
    QFont dotsFont = ui::ProportionalGothicFont();
    dotsFont.setPointSizeF(12.0);
    browseButton_->setFont(dotsFont);
    ui::PlaceTwips(browseButton_, 4800, 315, 405, 375);
    connect(browseButton_, &QPushButton::clicked, this, &FolderDialog::BrowseClicked);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName("OkButton");
    ui::PlaceTwips(okButton_, 2475, 1065, 1500, 360);
    connect(okButton_, &QPushButton::clicked, this, &FolderDialog::OkClicked);

    cancelButton_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName("CancelButton");
    ui::PlaceTwips(cancelButton_, 4005, 1065, 1500, 360);
    connect(cancelButton_, &QPushButton::clicked, this, &FolderDialog::CancelClicked);

    // No default button: Enter presses the focused button only.
    for (QPushButton* button : {browseButton_, okButton_, cancelButton_}) {
        button->setDefault(false);
        button->setAutoDefault(true);
    }
    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, browseButton_);
    okButton_->setFocus();
}

FolderBrowser* FolderDialog::Browser() const { return browser_; }

void FolderDialog::ShowDataFolder() { folderLabel_->setText(ui::FromUtf8(state_.DataFolder)); }

void FolderDialog::UnloadBrowser() {
    if (!browser_) return;
    // A browser still running its modal loop is closed first; the loop
    // returns once the event loop runs again and the dialog is then gone.
    if (browser_->isVisible()) browser_->done(QDialog::Rejected);
    browser_->deleteLater();
    browser_ = nullptr;
}

void FolderDialog::BrowseClicked() {
    UnloadBrowser();
    const QPointer<FolderDialog> self(this);
    auto* browser = new FolderBrowser(folderLabel_->text(), drives_, this);
    connect(browser, &FolderBrowser::FolderChosen, folderLabel_, &QLabel::setText);
    browser_ = browser;
    browser->exec();
    // The dialog may have been unloaded, and the browser with it, while
    // the browser was open.
    if (!self) return;
    if (browser_ == browser) UnloadBrowser();
}

void FolderDialog::OkClicked() {
    const std::string chosen = ui::ToUtf8(folderLabel_->text());
    const bool changed = chosen != state_.DataFolder;
    state_.DataFolder = chosen;
    close();
    if (changed) emit dataFolderChanged();
}

void FolderDialog::CancelClicked() { close(); }

void FolderDialog::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        UnloadBrowser();
    }
    event->accept();
}

void FolderDialog::keyPressEvent(QKeyEvent* event) {
    // Esc does not close this dialog; neither button is its cancel button.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace lomi
