#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace lomi::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // UTF-8 text of the path, as the core takes folder names.
    std::string PathText() const;
    std::filesystem::path operator/(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Writes bytes to a file exactly as given (no line-ending translation).
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& file);

}  // namespace lomi::test
