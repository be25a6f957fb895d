// The desktop program: reads the settings, opens the main window and runs
// until the last window has closed.
#include <QApplication>
#include <QIcon>

#include "app/fm98list.h"
#include "app/resources.h"
#include "data/program_state.h"
#include "settings/executable_folder.h"
#include "settings/ini.h"
#include "settings/settings.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lomi"));
    lomi::InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/window_icon.png")));

    lomi::ProgramState state;
    lomi::LoadSettings(state, lomi::IniFilePath(), lomi::CurrentDirectory());

    auto* window = new lomi::Fm98List(state, lomi::IniFilePath());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return QApplication::exec();
}
