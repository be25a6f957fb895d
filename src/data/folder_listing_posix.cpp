#include "data/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "data/system_error_text_posix.h"

namespace lomi {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsRegularFile(const std::string& folder, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    // Follows links; a dangling link or a loop of links fails here.
    struct stat info {};
    const std::string path = folder + "/" + entry.d_name;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// What is not there, when a folder is looked for, is a folder.
std::string FolderErrorText(int error) {
    return SystemErrorText(error == ENOENT ? ENOTDIR : error);
}

}  // namespace

bool ForEachPlainFile(const std::string& folder,
                      const std::function<bool(std::string_view)>& wanted,
                      const std::function<void(std::string_view)>& found, std::string& reason,
                      const std::stop_token& stop) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        reason = FolderErrorText(errno);
        return false;
    }
    for (;;) {
        if (stop.stop_requested()) return true;
        // readdir tells its end from its failure only by errno, which the
        // calls for the previous entry may have set.
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) break;
        const std::string_view name(entry->d_name);
        if (name.empty() || name[0] == '.') continue;
        if (!wanted(name)) continue;
        if (IsRegularFile(folder, *entry)) found(name);
    }
    if (errno == 0) return true;
    reason = FolderErrorText(errno);
    return false;
}

std::string FolderProblem(const std::string& folder) {
    if (folder.empty()) return "ﾌｫﾙﾀﾞが指定されていません";
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) return FolderErrorText(errno);
    if (!S_ISDIR(info.st_mode)) return "ﾌｫﾙﾀﾞではありません";
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return FolderErrorText(errno);
    return {};
}

char PathSeparator() { return '/'; }

}  // namespace lomi
