#include "data/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

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

}  // namespace

bool ForEachPlainFile(const std::string& folder,
                      const std::function<bool(std::string_view)>& wanted,
                      const std::function<void(std::string_view)>& found) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name.empty() || name[0] == '.') continue;
        if (!wanted(name)) continue;
        if (IsRegularFile(folder, *entry)) found(name);
    }
    return true;
}

std::string FolderProblem(const std::string& folder) {
    if (folder.empty()) return "フォルダが指定されていません";
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        switch (errno) {
            case ENOENT:
            case ENOTDIR:
                return "フォルダが見つかりません";
            case EACCES:
                return "アクセスが拒否されました";
            case ENAMETOOLONG:
                return "パスが長すぎます";
            case ELOOP:
                return "シンボリックリンクが循環しています";
            default:
                return "エラー番号 " + std::to_string(errno);
        }
    }
    if (!S_ISDIR(info.st_mode)) return "フォルダではありません";
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return errno == EACCES ? "アクセスが拒否されました" : "エラー番号 " + std::to_string(errno);
    return {};
}

char PathSeparator() { return '/'; }

}  // namespace lomi
