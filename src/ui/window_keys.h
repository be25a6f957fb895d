#pragma once

class QWidget;

namespace lomi::ui {

// Esc and Ctrl+W (the platform's close key) close window, as in any
// tool window of a desktop program.
void CloseWithKeys(QWidget* window);

}  // namespace lomi::ui
