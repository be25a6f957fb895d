#pragma once

#include "data/program_state.h"
#include "data/ticket_reader.h"

class QWidget;

namespace lomi {

// LoadPatternFiles with a wait cursor from the start and, when the load
// lasts longer than showAfterMilliseconds (or is expected to), a progress
// dialog over parent counting the files read.
LoadResult LoadPatternFilesWithProgress(ProgramState& state, QWidget* parent,
                                        int showAfterMilliseconds = 500);

}  // namespace lomi
