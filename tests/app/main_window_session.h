#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QPointer>
#include <QPushButton>
#include <QTest>

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
// given) and the main window, shown, loading with load.
struct MainWindowSession {
    TempFolder data;
    TempFolder home;
    ProgramState state;
    std::string ini;
    std::unique_ptr<MainWindow> window;

    explicit MainWindowSession(PatternSelections pattern = {7, 1, 3, 1},
                               const std::string& dataFolder = {},
                               ui::PatternLoader::LoadFunction load = LoadPattern) {
        state.DataFolder = dataFolder.empty() ? data.PathText() : dataFolder;
        state.Pattern.axisIndex = pattern.axisIndex;
        state.Pattern.axisRank = pattern.axisRank;
        state.Pattern.partnerIndex = pattern.partnerIndex;
        state.Pattern.betStyle = pattern.betStyle;
        ini = (home / "Lomi.ini").string();
        window = std::make_unique<MainWindow>(state, ini, nullptr, std::move(load));
        window->show();
    }

    // Opens the pattern dialog from the menu and runs act on it while it is
    // shown; whatever the case left open is cancelled. Returns whether the
    // dialog appeared.
    bool WithDialog(const std::function<void(const QPointer<PatternDialog>&)>& act) {
        window->OpenMenuChosen();
        const QPointer<PatternDialog> dialog = window->OpenPatternDialog();
        if (!dialog || !dialog->isVisible()) return false;
        act(dialog);
        if (dialog && dialog->isVisible()) Click(Button(dialog, "CancelButton"));
        WaitForLoad();
        return true;
    }

    // Waits for the load in hand, if any, to end and its dialog to go.
    bool WaitForLoad() const {
        const bool ended = QTest::qWaitFor([&] { return !window->LoadRunning(); }, 10000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return ended;
    }

    static QPushButton* Button(QWidget* parent, const char* name) {
        return parent->findChild<QPushButton*>(name);
    }
};

}  // namespace lomi::test
