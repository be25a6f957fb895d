#pragma once

class QWidget;

namespace lomi {

// Runs the program's event loop until its main window (deleted on close)
// has gone, and returns the loop's exit code.
int RunUntilMainWindowGone(QWidget* mainWindow);

}  // namespace lomi
