#pragma once

#include <filesystem>
#include <string>

namespace lomi {

// A file system path from a UTF-8 file name, on every platform (a plain
// std::string would be read in the Windows ANSI code page).
inline std::filesystem::path Utf8Path(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace lomi
