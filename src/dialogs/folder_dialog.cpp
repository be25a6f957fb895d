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
    Form_Load();
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
    frame1_ = new QGroupBox(QString::fromUtf8("Tolvikｺﾝﾃｽﾄ形式買い目ﾌｧｲﾙ格納ﾌｫﾙﾀﾞ"), this);
    frame1_->setObjectName("Frame1");
    ui::PlaceTwips(frame1_, 90, 120, 5415, 870);

    // A label shown as a field: window colours and a single-line border.
    lbpat_ = new QLabel(frame1_);
    lbpat_->setObjectName("Lbpat");
    lbpat_->setAccessibleDescription(frame1_->title());
    lbpat_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lbpat_->setLineWidth(1);
    lbpat_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbpat_->setAutoFillBackground(true);
    QPalette fieldColours = lbpat_->palette();
    fieldColours.setColor(QPalette::Window, fieldColours.color(QPalette::Base));
    fieldColours.setColor(QPalette::WindowText, fieldColours.color(QPalette::Text));
    lbpat_->setPalette(fieldColours);
    ui::PlaceTwips(lbpat_, 120, 315, 4515, 375);

    com1_ = new QPushButton(QStringLiteral("..."), frame1_);
    com1_->setObjectName("Com1");
    com1_->setAccessibleName(QString::fromUtf8("ﾌｫﾙﾀﾞの選択"));
    QFont dotsFont = ui::ProportionalGothicFont();
    dotsFont.setPointSizeF(12.0);
    com1_->setFont(dotsFont);
    ui::PlaceTwips(com1_, 4800, 315, 405, 375);
    connect(com1_, &QPushButton::clicked, this, &FolderDialog::Com1_Click);

    comok_ = new QPushButton(QStringLiteral("OK"), this);
    comok_->setObjectName("Comok");
    ui::PlaceTwips(comok_, 2475, 1065, 1500, 360);
    connect(comok_, &QPushButton::clicked, this, &FolderDialog::Comok_Click);

    comcan_ = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    comcan_->setObjectName("Comcan");
    ui::PlaceTwips(comcan_, 4005, 1065, 1500, 360);
    connect(comcan_, &QPushButton::clicked, this, &FolderDialog::Comcan_Click);

    // No default button: Enter presses the focused button only.
    for (QPushButton* button : {com1_, comok_, comcan_}) {
        button->setDefault(false);
        button->setAutoDefault(true);
    }
    setTabOrder(comok_, comcan_);
    setTabOrder(comcan_, com1_);
    comok_->setFocus();
}

FolderBrowser* FolderDialog::Browser() const { return browser_; }

void FolderDialog::Form_Load() { lbpat_->setText(ui::FromUtf8(state_.DataFolder)); }

void FolderDialog::Form_Unload() { UnloadBrowser(); }

void FolderDialog::UnloadBrowser() {
    if (!browser_) return;
    // A browser still running its modal loop is closed first; the loop
    // returns once the event loop runs again and the dialog is then gone.
    if (browser_->isVisible()) browser_->done(QDialog::Rejected);
    browser_->deleteLater();
    browser_ = nullptr;
}

void FolderDialog::Com1_Click() {
    UnloadBrowser();
    const QPointer<FolderDialog> self(this);
    auto* browser = new FolderBrowser(lbpat_->text(), drives_, this);
    connect(browser, &FolderBrowser::FolderChosen, lbpat_, &QLabel::setText);
    browser_ = browser;
    browser->exec();
    // The dialog may have been unloaded, and the browser with it, while
    // the browser was open.
    if (!self) return;
    if (browser_ == browser) UnloadBrowser();
}

void FolderDialog::Comok_Click() {
    state_.DataFolder = ui::ToUtf8(lbpat_->text());
    close();
}

void FolderDialog::Comcan_Click() { close(); }

void FolderDialog::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
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
