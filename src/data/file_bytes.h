#pragma once

#include <string>

namespace lomi {

// Reads the whole of the regular file at path (UTF-8) into buffer, reusing
// its storage. Returns false when the file cannot be opened or read, with
// opened telling which and reason a short Japanese text. Never blocks on a
// pipe or device put in a file's place. Platform files: file_bytes_posix.cpp,
// file_bytes_win.cpp.
bool ReadFileBytes(const std::string& path, std::string& buffer, bool& opened, std::string& reason);

}  // namespace lomi
