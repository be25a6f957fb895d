#include "settings/executable_folder.h"

#include <string>

#include <windows.h>

namespace lomi {
namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return CurrentDirectory();
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);  // long path: the name was cut
    }
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return CurrentDirectory();
    // A drive root keeps its backslash (C:\), any other folder has none.
    const bool root = slash == 2 && name[1] == L':';
    return Utf8(name.substr(0, root ? slash + 1 : slash));
}

std::string CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    folder.resize(length);
    return Utf8(folder);
}

}  // namespace lomi
