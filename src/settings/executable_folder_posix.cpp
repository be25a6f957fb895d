#include "settings/executable_folder.h"

#include <filesystem>
#include <system_error>

namespace lomi {

std::string ExecutableFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.has_parent_path()) return CurrentDirectory();
    // parent_path of /lomi is /, of /opt/lomi/lomi is /opt/lomi.
    return executable.parent_path().string();
}

std::string CurrentDirectory() {
    std::error_code error;
    const auto folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

}  // namespace lomi
