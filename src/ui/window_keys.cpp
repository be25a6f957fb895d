#include "ui/window_keys.h"

#include <QKeySequence>
#include <QList>
#include <QShortcut>
#include <QWidget>

namespace lomi::ui {

void CloseWithKeys(QWidget* window) {
    // Ctrl+W everywhere, and the platform's own close keys (Ctrl+F4 on
    // Windows); each key once, or the shortcut would be ambiguous.
    QList<QKeySequence> keys = {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence& platform : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!keys.contains(platform)) keys << platform;
    }
    auto* shortcut = new QShortcut(window);
    shortcut->setKeys(keys);
    QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
}

}  // namespace lomi::ui
