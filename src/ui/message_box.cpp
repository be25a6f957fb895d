#include "ui/message_box.h"

#include <QMessageBox>
#include <QPointer>

namespace lomi::ui {

namespace {

void Show(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    // On the heap: a parent closed while the box waits deletes it with itself.
    const QPointer<QMessageBox> box =
        new QMessageBox(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, parent);
    box->setObjectName("MessageBox");
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    box->exec();
    delete box.data();
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& text) { Show(parent, text, QMessageBox::NoIcon); }

void ShowWarning(QWidget* parent, const QString& text) { Show(parent, text, QMessageBox::Warning); }

}  // namespace lomi::ui
