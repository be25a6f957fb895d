#include "ui/message_box.h"

#include <QMessageBox>

namespace lomi::ui {

namespace {

void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, parent);
    box.setObjectName("MessageBox");
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& text) { Show(parent, text, QMessageBox::NoIcon); }

void ShowWarning(QWidget* parent, const QString& text) { Show(parent, text, QMessageBox::Warning); }

}  // namespace lomi::ui
