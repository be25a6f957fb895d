#include "data/folder_listing.h"

#include <windows.h>

#include "data/wide_text.h"

namespace lomi {
namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

}  // namespace

std::optional<std::vector<std::string>> ListPlainFiles(
    const std::string& folder, const std::function<bool(std::string_view)>& wanted) {
    std::wstring pattern = Utf8ToWide(folder);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/')) pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        // An empty folder still lists: only a failure to search is no result.
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>();
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        if (data.dwFileAttributes & kLeftOut) continue;
        std::string name = WideToUtf8(data.cFileName);
        if (!name.empty() && wanted(name)) names.push_back(std::move(name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

char PathSeparator() { return '\\'; }

}  // namespace lomi
