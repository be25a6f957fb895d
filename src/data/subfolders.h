#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lomi {

// The names (UTF-8) of the folders directly in folder, in no particular
// order, read in one pass over the folder; hidden folders (a leading dot on
// POSIX, the hidden or system attribute on Windows) are left out, and so
// are "." and "..". Nothing when the folder cannot be listed (missing, not a
// folder, no permission, no medium). Platform files: subfolders_posix.cpp,
// subfolders_win.cpp.
std::optional<std::vector<std::string>> ListSubfolders(const std::string& folder);

}  // namespace lomi
