#include "data/file_bytes.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "data/file_time_win.h"
#include "data/wide_text.h"
#include "data/windows_paths_win.h"

namespace lomi {
namespace {

std::string Reason(DWORD error) {
    // A folder of the path that is gone is a file that is not found.
    return FileErrorText(error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error);
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& buffer, bool& opened, std::string& reason,
                   FileStamp* stamp) {
    opened = false;
    const std::wstring wide = Utf8ToWide(path);
    if (IsTooLongPath(wide)) {
        reason = kTooLongPath;
        return false;
    }
    // Shared for deletion too: a record cache file being read may be
    // replaced by another process's newer one meanwhile.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Reason(GetLastError());
        return false;
    }
    opened = true;
    bool ok = true;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        reason = "ファイルではありません";
        ok = false;
    }
    // GetFileTime and not GetFileInformationByHandle, which also looks up
    // the volume's serial number: under Wine that tripled a ranking's time.
    // A time that cannot be had leaves a stamp no lookup matches: the file
    // is read again next time, and this read goes on as without a cache.
    FILETIME written{};
    if (ok && stamp) {
        *stamp =
            GetFileTime(file, nullptr, nullptr, &written)
                ? FileStamp{static_cast<std::uint64_t>(size.QuadPart), FileTimeNanoseconds(written)}
                : FileStamp{};
    }
    std::size_t used = 0;
    if (ok) buffer.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    while (ok) {
        if (used == buffer.size()) buffer.resize(buffer.size() * 2);
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(buffer.size() - used, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + used, want, &got, nullptr)) {
            reason = Reason(GetLastError());
            ok = false;
        } else if (got == 0) {
            break;
        }
        used += got;
    }
    CloseHandle(file);
    if (ok) buffer.resize(used);
    return ok;
}

}  // namespace lomi
