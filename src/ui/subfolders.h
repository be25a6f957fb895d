#pragma once

#include <optional>
#include <vector>

#include <QString>

namespace lomi::ui {

// The names of the folders directly in folder, in no particular order,
// read in one pass over the folder; hidden folders (a leading dot on POSIX,
// the hidden or system attribute on Windows) are left out. Nothing when the
// folder cannot be listed (missing, not a folder, no permission, no medium).
// Platform files: subfolders_posix.cpp, subfolders_win.cpp.
std::optional<std::vector<QString>> ListSubfolders(const QString& folder);

}  // namespace lomi::ui
