#pragma once

#include <string>

#include "data/cache_files.h"

namespace lomi {

// Reads the whole of the regular file at path (UTF-8) into buffer, reusing
// its storage. Returns false when the file cannot be opened or read, with
// opened telling which and reason a short Japanese text. Never blocks on a
// pipe or device put in a file's place. When stamp is given, it is set to
// the opened file's stamp as StampOfFile gives it, taken before the bytes
// are read: the record cache then needs no second lookup of the path.
// Platform files: file_bytes_posix.cpp, file_bytes_win.cpp.
bool ReadFileBytes(const std::string& path, std::string& buffer, bool& opened, std::string& reason,
                   FileStamp* stamp = nullptr);

}  // namespace lomi
