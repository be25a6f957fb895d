#pragma once

#include <string>

namespace lomi {

// Where the settings of this copy of the program live.
struct SettingsLocation {
    // The file the starting values come from (it may not exist yet).
    std::string readPath;
    // The file saved when the main window closes.
    std::string writePath;
    // The data folder when the settings name none.
    std::string defaultDataFolder;
    // For the user, in Japanese: which file was read and where a save goes.
    std::string description;
};

// The folders the choice depends on.
struct SettingsPlaces {
    std::string programFolder;     // of the running executable
    std::string userConfigFolder;  // $XDG_CONFIG_HOME or ~/.config (%APPDATA%)
    std::string homeFolder;
    std::string currentDirectory;
};

// Lomi.ini beside the program when it can be written there: it exists and
// may be changed, or it is missing and the program's folder takes new
// files (a portable copy). An installed copy (the program in bin/ next to
// share/lomi/, or beside the Windows installer's uninstall.exe) never
// creates a file beside itself, even for an administrator. Otherwise the user's file lomi/Lomi.ini
// in the settings folder is read and written; while the user has none, a Lomi.ini beside the
// program that cannot be changed gives the starting values. A portable copy starts in the current
// directory, any other in the home folder.
SettingsLocation LocateSettings(const SettingsPlaces& places);

// The same for the running program and its user.
SettingsLocation LocateSettings();

// The user's own settings file, lomi/Lomi.ini in UserConfigFolder(); "" when
// there is no such folder. Saving to it creates its folder when missing.
std::string UserSettingsPath();

// lomi/Lomi.ini in the given settings folder.
std::string UserSettingsPathIn(const std::string& userConfigFolder);

}  // namespace lomi
