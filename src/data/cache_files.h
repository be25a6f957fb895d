#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lomi {

// The file calls of the record cache. Platform files: cache_files_posix.cpp,
// cache_files_win.cpp.

// What tells a changed file from the one the cache read: its size and its
// modification time in nanoseconds since 1970 (the clock of NowStamp).
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path (UTF-8), following links; nothing when it
// cannot be looked up.
std::optional<FileStamp> StampOfFile(const std::string& path);

// Now, in the unit of FileStamp::modified.
std::int64_t NowStamp();

// Writes bytes to a new file beside path and renames it over path, so a
// reader sees the old file or the new one, never a part. No flush to the
// disk: a file cut short by a crash fails the cache's own checks. False
// with reason (a short Japanese text) when the file cannot be written; the
// new file is then removed.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& reason);

// Sets the modification time of the file at path to now; false when it
// cannot be.
bool TouchFile(const std::string& path);

}  // namespace lomi
