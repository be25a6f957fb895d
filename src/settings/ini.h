#pragma once

#include <string>

#include "settings/profile_file.h"

namespace lomi {

// Lomi.ini beside the executable.
std::string IniFilePath();
std::string ReadIniString(const std::string& section, const std::string& key);
WriteResult WriteIniString(const std::string& section, const std::string& key,
                           const std::string& value);

}  // namespace lomi
