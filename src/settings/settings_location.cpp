#include "settings/settings_location.h"

#include <filesystem>
#include <system_error>

#include "settings/executable_folder.h"
#include "settings/ini.h"
#include "settings/user_folders.h"
#include "settings/utf8_path.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(Utf8Path(path), error);
}

// bin/ beside share/lomi/: the layout the install rules give; or the
// Windows installer's uninstall.exe beside the program, whose folder an
// administrator, or a per-user install, can write to.
bool IsInstalledCopy(const std::string& programFolder) {
    const fs::path folder = Utf8Path(programFolder);
    std::error_code error;
    return (folder.filename() == "bin" &&
            fs::is_directory(folder.parent_path() / "share" / "lomi", error)) ||
           fs::is_regular_file(folder / "uninstall.exe", error);
}

}  // namespace

SettingsLocation LocateSettings(const SettingsPlaces& places) {
    SettingsLocation location;
    const std::string beside = IniFilePathIn(places.programFolder);
    const bool besideExists = Exists(beside);
    const bool portable =
        besideExists ? MayWrite(beside)
                     : !IsInstalledCopy(places.programFolder) && MayWrite(places.programFolder);
    if (portable || places.userConfigFolder.empty()) {
        location.readPath = location.writePath = beside;
        location.defaultDataFolder = places.currentDirectory;
        location.description =
            besideExists
                ? "プログラムのﾌｫﾙﾀﾞの設定ファイルを読みました。終了時にここへ保存します。"
                : "設定ファイルはまだありません。終了時にプログラムのﾌｫﾙﾀﾞへ作ります。";
        return location;
    }

    const std::string user = UserSettingsPathIn(places.userConfigFolder);
    location.writePath = user;
    location.defaultDataFolder =
        places.homeFolder.empty() ? places.currentDirectory : places.homeFolder;
    if (Exists(user)) {
        location.readPath = user;
        location.description = "ユーザーの設定ファイルを読みました。終了時にここへ保存します。";
    } else if (besideExists) {
        location.readPath = beside;
        location.description =
            "プログラムのﾌｫﾙﾀﾞの設定ファイル（変更不可）を初期値として読みました。終了時に「" +
            user + "」へ保存します。";
    } else {
        location.readPath = user;
        location.description = "設定ファイルはまだありません。終了時にこのファイルを作ります。";
    }
    return location;
}

std::string UserSettingsPathIn(const std::string& userConfigFolder) {
    return IniFilePathIn(PathIn(userConfigFolder, "lomi"));
}

std::string UserSettingsPath() {
    const std::string folder = UserConfigFolder();
    return folder.empty() ? "" : UserSettingsPathIn(folder);
}

SettingsLocation LocateSettings() {
    return LocateSettings(
        {ExecutableFolder(), UserConfigFolder(), HomeFolder(), CurrentDirectory()});
}

}  // namespace lomi
