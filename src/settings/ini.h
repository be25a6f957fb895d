#pragma once

#include <string>

#include "settings/profile_file.h"

namespace lomi {

// The settings file Lomi.ini in the folder of the running executable (not
// the current directory), found afresh on every call.
std::string IniFilePath();

// folder followed by Lomi.ini, with one separator between them even when
// folder is a root that ends with one already (C:\, /).
std::string IniFilePathIn(const std::string& folder);

// name in folder, with one separator between them.
std::string PathIn(const std::string& folder, const std::string& name);

// The value of section/key in Lomi.ini, "" when there is none.
std::string ReadIniString(const std::string& section, const std::string& key);

// Sets section/key in Lomi.ini, creating the file and the section if needed.
WriteResult WriteIniString(const std::string& section, const std::string& key,
                           const std::string& value);

}  // namespace lomi
