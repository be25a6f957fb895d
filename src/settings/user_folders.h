#pragma once

#include <string>

namespace lomi {

// Folders of the user running the program, UTF-8. Platform files:
// user_folders_posix.cpp, user_folders_win.cpp.

// The home folder ($HOME, else the password database; %USERPROFILE% on
// Windows), "" when there is none.
std::string HomeFolder();

// The folder for programs' own settings folders: $XDG_CONFIG_HOME when it is
// an absolute path, else ~/.config; %APPDATA% on Windows. "" when unknown.
std::string UserConfigFolder();

// The program's own cache folder: $XDG_CACHE_HOME/lomi when that is an
// absolute path, else ~/.cache/lomi; %LOCALAPPDATA%\lomi\cache on Windows.
// "" when unknown.
std::string ProgramCacheFolder();

// Whether the user may create or change files in folder, or change file.
bool MayWrite(const std::string& path);

}  // namespace lomi
