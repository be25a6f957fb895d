#pragma once

#include <string>

#include "data/program_state.h"

namespace lomi {

// Reads DataFolder and Con1..Con4 from the settings file at iniPath;
// currentDirectory is the default data folder.
void LoadSettings(ProgramState& state, const std::string& iniPath,
                  const std::string& currentDirectory);

struct SaveResult {
    bool ok = true;
    std::string message;  // Japanese, for the user, when something was not saved
};

// Writes PATH, CON1..CON4 in this order.
SaveResult SaveSettings(const ProgramState& state, const std::string& iniPath);

}  // namespace lomi
