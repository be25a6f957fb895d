#pragma once

#include <string>
#include <string_view>

namespace lomi {

// Reading and replacing a whole small file, by a UTF-8 file name. Platform
// files: whole_file_posix.cpp, whole_file_win.cpp.

enum class FileReadStatus { Read, Missing, Failed };

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes;
    std::string error;  // the system's reason, when Failed
};

// Missing when the file (or its folder) does not exist; Failed when it
// exists but cannot be read, or is not a file.
FileReadResult ReadWholeFile(const std::string& path);

struct FileWriteResult {
    bool ok = true;
    std::string error;  // the system's reason, when !ok
};

// Writes bytes to a new file in the same folder, forces it to the disk and
// renames it over path, so that a crash or a full disk at any moment leaves
// either the old or the new file whole. A file that is read-only is not
// replaced. On failure the new file is removed and path is left as it was.
// A symbolic link is followed: the file it points at is replaced. A
// writable file in a folder that takes no new files is overwritten in place
// instead: room for the new content is taken first, and a failure part way
// puts the old content back.
FileWriteResult ReplaceWholeFile(const std::string& path, std::string_view bytes);

}  // namespace lomi
