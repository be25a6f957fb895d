#pragma once

#include <string>

namespace lomi {

// The folder of the running executable, UTF-8, without a trailing
// separator except for a root. Platform files: executable_folder_posix.cpp,
// executable_folder_win.cpp.
std::string ExecutableFolder();

// The process's current directory, UTF-8.
std::string CurrentDirectory();

}  // namespace lomi
