#include "app/program_run.h"

#include <QApplication>
#include <QObject>
#include <QWidget>

namespace lomi {

int RunUntilMainWindowGone(QWidget* mainWindow) {
    // Qt ends the loop by itself when the last window closes, but only
    // through a posted quit that any window shown before its delivery takes
    // back. Windows closes every window of a program at once (taskkill,
    // signing out), and a window shown again in the same turn, such as the
    // ranking window moved from a closing dialog to the main window, then
    // left the program running without a window. The main window's end is
    // the program's end, whatever else was shown meanwhile.
    QObject::connect(
        mainWindow, &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    return QApplication::exec();
}

}  // namespace lomi
