#pragma once

class QWidget;

namespace lomi::ui {

// Esc, Ctrl+W and the platform's close keys close window, as in any
// tool window of a desktop program.
void CloseWithKeys(QWidget* window);

}  // namespace lomi::ui
