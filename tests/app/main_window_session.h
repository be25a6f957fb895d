#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QPushButton>

#include "app/main_window.h"
#include "data/program_state.h"
#include "dialogs/pattern_dialog.h"
#include "support/temp_folder.h"
#include "tally/pattern_names.h"
#include "ui/gui_test_helpers.h"

namespace lomi::test {

// One run of the program: a data folder of its own (empty until the test
// fills it) or the folder given, a settings file in a home folder of its
// own, the stored pattern (仮単人気 １位 → Ｒ値 流し, Q1RN, unless another is
// given) and the main window, shown.
struct MainWindowSession {
    TempFolder data;
    TempFolder home;
    ProgramState state;
    std::string ini;
    std::unique_ptr<MainWindow> window;

    explicit MainWindowSession(PatternSelections pattern = {7, 1, 3, 1},
                               const std::string& dataFolder = {}) {
        state.DataFolder = dataFolder.empty() ? data.PathText() : dataFolder;
        state.Con1 = pattern.con1;
        state.Con2 = pattern.con2;
        state.Con3 = pattern.con3;
        state.Con4 = pattern.con4;
        ini = (home / "Lomi.ini").string();
        window = std::make_unique<MainWindow>(state, ini);
        window->show();
    }

    // Opens the pattern dialog from the menu and runs act on it while it is
    // shown; whatever the case left open is cancelled. Returns whether the
    // dialog appeared.
    bool WithDialog(const std::function<void(PatternDialog*)>& act) {
        bool opened = false;
        const auto watch = WhenModal<PatternDialog>([&](PatternDialog* dialog) {
            opened = true;
            act(dialog);
            if (dialog->isVisible()) Click(Button(dialog, "Command2"));
        });
        window->MenuOpen_Click();
        return opened;
    }

    static QPushButton* Button(QWidget* parent, const char* name) {
        return parent->findChild<QPushButton*>(name);
    }
};

}  // namespace lomi::test
