// Any bytes as Lomi.ini: reading ends, a write changes only the one line it
// is about (every other line kept byte for byte), and the value written
// reads back.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/profile_file.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Lines without their ends; CR LF, CR and LF all end a line here.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

const std::string& FilePath() {
    static const std::string path = [] {
        // Saves sync the file to disk; on a memory file system that is cheap.
        const std::filesystem::path shm = "/dev/shm";
        const auto base =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        auto folder = base / ("lomi-ini-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        return (folder / "Lomi.ini").string();
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), size);
    const std::string& path = FilePath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << original;
    }
    for (const char* key : {"PATH", "CON1", "con2", "CON4"}) {
        (void)lomi::ReadProfileString(path, "DEF", key);
    }

    const std::string value = "D:\\馬券\\2001";
    const lomi::WriteResult result = lomi::WriteProfileString(path, "def", "Con3", value);
    const std::string written = ReadAll(path);
    if (!result.ok) {
        if (written != original) std::abort();  // a failed save leaves the file alone
        return 0;
    }
    if (lomi::ReadProfileString(path, "DEF", "CON3") != value) std::abort();

    const auto before = Lines(original);
    const auto after = Lines(written);
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    // One line replaced, or one key (with at most its section line) added.
    if (before.size() - prefix - suffix > 1) std::abort();
    if (after.size() - prefix - suffix > 2) std::abort();
    return 0;
}
