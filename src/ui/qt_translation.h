#pragma once

class QCoreApplication;

namespace lomi::ui {

// Installs Qt's own Japanese translation (qtbase_ja), so that file
// dialogs, their questions and the standard buttons speak Japanese like
// the rest of the program. Looked for in "translations" beside the program
// (where the Windows installation puts it), then in Qt's translations
// folder. False, and English dialogs, when neither has it.
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace lomi::ui
