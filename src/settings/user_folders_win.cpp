#include "settings/user_folders.h"

#include <string>

#include <windows.h>

#include "data/wide_text.h"

namespace lomi {
namespace {

std::string Environment(const wchar_t* name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), size));
    return WideToUtf8(value);
}

}  // namespace

std::string HomeFolder() { return Environment(L"USERPROFILE"); }

std::string UserConfigFolder() { return Environment(L"APPDATA"); }

std::string ProgramCacheFolder() {
    const std::string local = Environment(L"LOCALAPPDATA");
    return local.empty() ? "" : local + "\\lomi\\cache";
}

bool MayWrite(const std::string& path) {
    const std::wstring name = Utf8ToWide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (attributes & FILE_ATTRIBUTE_READONLY) return false;
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(file);
        return true;
    }
    // A folder's access list is what counts (Program Files refuses users
    // while its read-only flag says nothing): try to create a file in it.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring probe = name + L"\\.lomi-write-test-" +
                                   std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(attempt);
        const HANDLE file =
            ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

}  // namespace lomi
