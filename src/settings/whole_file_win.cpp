#include "settings/whole_file.h"

#include <algorithm>
#include <atomic>
#include <string>

#include <windows.h>

#include "data/wide_text.h"
#include "data/windows_paths_win.h"

namespace lomi {
namespace {

// Closes a handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() { Reset(INVALID_HANDLE_VALUE); }
    void Reset(HANDLE handle) {
        if (Valid()) ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

}  // namespace

FileReadResult ReadWholeFile(const std::string& path) {
    FileReadResult result;
    const std::wstring wide = Utf8ToWide(path);
    if (IsTooLongPath(wide)) return {FileReadStatus::Failed, {}, kTooLongPath};
    Handle file(::CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        result.status = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                            ? FileReadStatus::Missing
                            : FileReadStatus::Failed;
        result.error = FileErrorText(error);
        return result;
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            result.status = FileReadStatus::Failed;
            result.error = FileErrorText(::GetLastError());
            result.bytes.clear();
            return result;
        }
        if (got == 0) break;
        result.bytes.append(buffer, got);
    }
    result.status = FileReadStatus::Read;
    return result;
}

FileWriteResult ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::wstring target = Utf8ToWide(path);
    if (IsTooLongPath(target)) return {false, kTooLongPath};
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return {false, FileErrorText(ERROR_ACCESS_DENIED)};
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return {false, FileErrorText(ERROR_ACCESS_DENIED)};
    }

    static std::atomic<unsigned> counter{0};
    std::wstring temporary;
    Handle file(INVALID_HANDLE_VALUE);
    for (int attempt = 0; attempt < 100 && !file.Valid(); ++attempt) {
        temporary = target + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(counter++);
        file.Reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid() && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file.Valid()) return {false, FileErrorText(::GetLastError())};

    const auto fail = [&](DWORD error) {
        file.Close();
        ::DeleteFileW(temporary.c_str());
        return FileWriteResult{false, FileErrorText(error)};
    };
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!::WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr)) {
            return fail(::GetLastError());
        }
        bytes.remove_prefix(written);
    }
    if (!::FlushFileBuffers(file.Get())) return fail(::GetLastError());
    file.Close();
    // The new file takes the attributes of the old one (hidden, system, …);
    // its security comes from the folder, as for any new file there.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0 &&
        !::SetFileAttributesW(temporary.c_str(), attributes & kKept)) {
        return fail(::GetLastError());
    }
    // One rename, atomic on NTFS (and a rename(2) under Wine). ReplaceFileW,
    // which would also carry over the old file's security descriptor, is
    // not used: under Wine, saves ended half-way through it left no whole file.
    if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return fail(::GetLastError());
    }
    return {};
}

}  // namespace lomi
