#include "dialogs/load_progress.h"

#include "ui/wait_cursor.h"

namespace lomi {

LoadResult LoadPatternFilesWithProgress(ProgramState& state, QWidget* parent) {
    (void)parent;
    const ui::WaitCursor waiting;
    return LoadPatternFiles(state);
}

}  // namespace lomi
