#pragma once

#include <string>

namespace lomi {

// folder followed by Lomi.ini, with one separator between them even when
// folder is a root that ends with one already (C:\, /).
std::string IniFilePathIn(const std::string& folder);

// name in folder, with one separator between them.
std::string PathIn(const std::string& folder, const std::string& name);

}  // namespace lomi
