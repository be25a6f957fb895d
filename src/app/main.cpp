// The desktop program: reads the settings, opens the main window and runs
// until the last window has closed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QIcon>

#include "app/help_menu.h"
#include "app/main_window.h"
#include "app/program_run.h"
#include "app/resources.h"
#include "data/program_state.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "settings/user_folders.h"
#include "ui/qt_translation.h"
#include "ui/worker_task.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lomi"));
    lomi::ui::InstallQtJapanese(app);
    lomi::InitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/window_icon.png")));

    // lomi --guide (the guide's Start menu entry) opens the guide alone.
    if (QApplication::arguments().contains(QStringLiteral("--guide"))) {
        lomi::ShowGuideFor(nullptr);
        return QApplication::exec();
    }

    lomi::ProgramState state;
    const lomi::SettingsLocation settings = lomi::LocateSettings();
    lomi::LoadSettings(state, settings.readPath, settings.defaultDataFolder);
    state.RecordCache.folder = lomi::RecordsFolderIn(lomi::ProgramCacheFolder());
    // After a failure to write it (a full disk), the session goes on without it.
    state.RecordCache.notes = std::make_shared<lomi::RecordCacheNotes>();

    auto* window = new lomi::MainWindow(state, settings.writePath);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int code = lomi::RunUntilMainWindowGone(window);
    // The settings were saved as the main window closed. Loads and rankings
    // still going (stopped at the close) get a little time to let go of
    // their files; one that a hung drive holds is not waited for. The
    // program then ends at once, without the destructors such a thread
    // might still be using, or any that could keep a windowless process alive.
    lomi::ui::WorkerTask::EndAll(std::chrono::seconds(2));
    std::fflush(nullptr);
    std::_Exit(code);
}
