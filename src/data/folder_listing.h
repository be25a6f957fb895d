#pragma once

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// Calls found with the name (UTF-8) of each plain file directly in folder
// for which wanted returns true, in no particular order, as the folder is
// read. Plain files are regular files, a symbolic link counting as what it
// points to; directories, devices, hidden files (a leading dot on POSIX,
// the hidden attribute on Windows) and Windows system files are left out.
// wanted is asked first, so entries that are not wanted cost no further
// look-up. False, with reason a short Japanese text, when the folder cannot
// be opened or its reading fails part way: the names found until then are
// not all there are. A stop ends the reading before the next name (true:
// the caller, who asked for the stop, knows the list is cut short).
// Platform files: folder_listing_posix.cpp, folder_listing_win.cpp.
bool ForEachPlainFile(const std::string& folder,
                      const std::function<bool(std::string_view)>& wanted,
                      const std::function<void(std::string_view)>& found, std::string& reason,
                      const std::stop_token& stop = {});

// The names ForEachPlainFile finds; nothing (and the reason) when the
// folder cannot be listed. A stop cuts the list short, as ForEachPlainFile's does.
inline std::optional<std::vector<std::string>> ListPlainFiles(
    const std::string& folder, const std::function<bool(std::string_view)>& wanted,
    std::string& reason, const std::stop_token& stop = {}) {
    std::vector<std::string> names;
    if (!ForEachPlainFile(
            folder, wanted, [&](std::string_view name) { names.emplace_back(name); }, reason, stop))
        return std::nullopt;
    return names;
}

// Why folder cannot be listed, as a short Japanese text ("ﾌｫﾙﾀﾞが見つかり
// ません", "パスが長すぎます（259 文字まで）", "ドライブ Q: がありません", …);
// empty when it can be. Windows paths of 260 characters or more are
// refused everywhere, as Windows programs without long-path support do.
std::string FolderProblem(const std::string& folder);

// The platform's path separator.
char PathSeparator();

}  // namespace lomi
