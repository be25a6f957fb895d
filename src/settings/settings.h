#pragma once

#include <string>

#include "data/program_state.h"

namespace lomi {

// Reads DataFolder and the pattern selection from the settings file at iniPath (section
// DEF, keys PATH, CON1..CON4). An empty or missing PATH gives
// currentDirectory; an empty or missing CONn gives 7, 1, 3, 1; a CONn that
// is not a number, or whose value lies outside -32768..32767, gives 0.
// Never creates the file.
void LoadSettings(ProgramState& state, const std::string& iniPath,
                  const std::string& currentDirectory);

struct SaveResult {
    // Every value is in the file. When false, message (Japanese, for the
    // user) says what was not saved and names the file or the folder.
    bool ok = true;
    std::string message;
};

// Writes PATH, CON1..CON4 in this order, in one rewrite of the file,
// creating the folder of the user's settings file (UserSettingsPath) when it
// is missing. A
// DataFolder the file cannot hold (characters outside code page 932, a line
// break, more than 254 bytes) is not written: the file keeps its previous
// PATH, the CON keys are still written, and the result says so.
SaveResult SaveSettings(const ProgramState& state, const std::string& iniPath);

}  // namespace lomi
