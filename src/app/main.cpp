// The desktop program: reads the settings, opens the main window and runs
// until the last window has closed.
#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "app/resources.h"
#include "data/program_state.h"
#include "settings/settings.h"
#include "settings/settings_location.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lomi"));
    lomi::InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/window_icon.png")));

    lomi::ProgramState state;
    const lomi::SettingsLocation settings = lomi::LocateSettings();
    lomi::LoadSettings(state, settings.readPath, settings.defaultDataFolder);

    auto* window = new lomi::MainWindow(state, settings.writePath);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return QApplication::exec();
}
