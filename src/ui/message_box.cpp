#include "ui/message_box.h"

#include <QMessageBox>
#include <QPointer>

namespace lomi::ui {

void ShowMessage(QWidget* parent, const QString& text) {
    // On the heap: a parent closed while the box waits deletes it with itself.
    const QPointer<QMessageBox> box = new QMessageBox(
        QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, parent);
    box->setObjectName("MessageBox");
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    box->exec();
    delete box.data();
}

}  // namespace lomi::ui
