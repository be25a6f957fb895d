#include "settings/executable_folder.h"

#include <string>

#include <windows.h>

#include "data/wide_text.h"

namespace lomi {
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
    return WideToUtf8(name.substr(0, root ? slash + 1 : slash));
}

std::string CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    folder.resize(length);
    return WideToUtf8(folder);
}

}  // namespace lomi
