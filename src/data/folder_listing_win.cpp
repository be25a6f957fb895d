#include "data/folder_listing.h"

#include <windows.h>

namespace lomi {
namespace {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the terminating NUL
    return utf8;
}

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

}  // namespace

std::optional<std::vector<std::string>> ListPlainFiles(
    const std::string& folder, const std::function<bool(std::string_view)>& wanted) {
    std::wstring pattern = Widen(folder);
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
        std::string name = Narrow(data.cFileName);
        if (!name.empty() && wanted(name)) names.push_back(std::move(name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

char PathSeparator() { return '\\'; }

}  // namespace lomi
