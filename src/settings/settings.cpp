#include "settings/settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "data/numeric_text.h"
#include "settings/profile_file.h"
#include "settings/settings_location.h"
#include "settings/utf8_path.h"

namespace lomi {
namespace {

constexpr const char* kSection = "DEF";

std::int16_t ReadCon(const std::string& iniPath, const char* key, std::int16_t fallback) {
    const std::string text = ReadProfileString(iniPath, kSection, key);
    if (text.empty()) return fallback;
    // A number beyond 16 bits means no choice, like any other unusable value.
    return ToInt16(NumericValue(text)).value_or(0);
}

// Creates the user's settings folder on the first save, owner only, as the
// base directory rules ask; any other missing folder stays an error. "" when
// the folder is there, else the message for the user.
std::string MakeSettingsFolder(const std::string& iniPath) {
    namespace fs = std::filesystem;
    if (iniPath != UserSettingsPath()) return "";
    const fs::path folder = Utf8Path(iniPath).parent_path();
    std::error_code error;
    if (folder.empty() || fs::exists(folder, error)) return "";
    fs::create_directories(folder, error);
    if (!error) {
        fs::permissions(folder, fs::perms::owner_all, error);
        return "";
    }
    const std::u8string name = folder.u8string();
    return "設定ファイルのﾌｫﾙﾀﾞ「" + std::string(name.begin(), name.end()) +
           "」を作れませんでした。（" + error.message() + "）";
}

}  // namespace

void LoadSettings(ProgramState& state, const std::string& iniPath,
                  const std::string& currentDirectory) {
    const std::string folder = ReadProfileString(iniPath, kSection, "PATH");
    state.DataFolder = folder.empty() ? currentDirectory : folder;
    state.Pattern.axisIndex = ReadCon(iniPath, "CON1", 7);
    state.Pattern.axisRank = ReadCon(iniPath, "CON2", 1);
    state.Pattern.partnerIndex = ReadCon(iniPath, "CON3", 3);
    state.Pattern.betStyle = ReadCon(iniPath, "CON4", 1);
}

SaveResult SaveSettings(const ProgramState& state, const std::string& iniPath) {
    if (std::string failure = MakeSettingsFolder(iniPath); !failure.empty()) {
        return {false, std::move(failure)};
    }
    const std::vector<ProfileEntry> entries = {
        {"PATH", state.DataFolder},           {"CON1", std::to_string(state.Pattern.axisIndex)},
        {"CON2", std::to_string(state.Pattern.axisRank)}, {"CON3", std::to_string(state.Pattern.partnerIndex)},
        {"CON4", std::to_string(state.Pattern.betStyle)},
    };
    const WriteResult written = WriteProfileStrings(iniPath, kSection, entries);

    SaveResult result;
    result.ok = written.ok && written.keptKeys.empty();
    if (!written.ok) result.message = written.message;
    if (!written.keptKeys.empty()) {
        if (!result.message.empty()) result.message += "\n";
        result.message += "データﾌｫﾙﾀﾞ「" + state.DataFolder +
                          "」は設定ファイルに保存できない名前のため、PATH は以前のままです。";
    }
    return result;
}

}  // namespace lomi
