#include "ui/subfolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>

namespace lomi::ui {

std::optional<std::vector<QString>> ListSubfolders(const QString& folder) {
    if (folder.isEmpty()) return std::nullopt;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir) return std::nullopt;
    std::vector<QString> names;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;  // ".", ".." and hidden folders
        bool isFolder = entry->d_type == DT_DIR;
        // Only links and entries of unknown type need a look-up of their own.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            isFolder = fstatat(dirfd(dir), name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if (isFolder) names.push_back(QFile::decodeName(name));
    }
    closedir(dir);
    return names;
}

}  // namespace lomi::ui
