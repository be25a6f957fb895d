#include "data/cache_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "data/file_time_win.h"
#include "data/wide_text.h"
#include "data/windows_paths_win.h"

namespace lomi {

std::optional<FileStamp> StampOfFile(const std::string& path) {
    // The attributes come from the folder's entry: the file is not opened,
    // which is what costs most on Windows.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return FileStamp{static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
                     FileTimeNanoseconds(data.ftLastWriteTime)};
}

std::int64_t NowStamp() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return FileTimeNanoseconds(now);
}

namespace {

// Renames from over to; GetLastError tells why not. The old file cannot be
// replaced while another process has it open: another Lomi reading its
// cache (for a few milliseconds; it shares the file for deletion, which
// Wine does not always honour) or a virus scanner looking at the new file.
// Both let go soon, so the rename is tried again for about a quarter of a
// second before the cache gives up.
bool MoveOver(const std::wstring& from, const std::wstring& to) {
    for (DWORD wait = 1;; wait *= 2) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || wait > 128) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(wait);
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    static std::atomic<unsigned> calls{0};
    const std::wstring target = Utf8ToWide(path);
    const std::wstring temporary = target + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(calls.fetch_add(1));
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = FileErrorText(::GetLastError());
        return false;
    }
    bool written = true;
    std::size_t done = 0;
    while (written && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
        DWORD put = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) {
            reason = FileErrorText(::GetLastError());
            written = false;
        }
        done += put;
    }
    ::CloseHandle(file);
    if (written && MoveOver(temporary, target)) return true;
    if (written) reason = FileErrorText(::GetLastError());
    ::DeleteFileW(temporary.c_str());
    return false;
}

bool TouchFile(const std::string& path) {
    const HANDLE file = ::CreateFileW(Utf8ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const bool ok = ::SetFileTime(file, nullptr, nullptr, &now) != 0;
    ::CloseHandle(file);
    return ok;
}

}  // namespace lomi
