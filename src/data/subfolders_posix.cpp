#include "data/subfolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace lomi {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::optional<std::vector<std::string>> ListSubfolders(const std::string& folder) {
    if (folder.empty()) return std::nullopt;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;  // ".", ".." and hidden folders
        bool isFolder = entry->d_type == DT_DIR;
        // Only links and entries of unknown type need a look-up of their own.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = fstatat(dirfd(dir.get()), name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder) names.emplace_back(name);
    }
    return names;
}

}  // namespace lomi
