#include "ui/window_keys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace lomi::ui {

void CloseWithKeys(QWidget* window) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto* shortcut = new QShortcut(keys, window);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}

}  // namespace lomi::ui
