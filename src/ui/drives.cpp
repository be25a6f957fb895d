#include "ui/drives.h"

#include <algorithm>
#include <set>
#include <string>

#include <QDir>
#include <QStringList>

#include "ui/folder_path.h"

namespace lomi::ui {

DriveSource PlatformDriveSource() {
    return {ListDrives, [] { return QDir::toNativeSeparators(QDir::currentPath()); }};
}

int DriveOfFolder(const QString& folder, const std::vector<Drive>& drives) {
    int best = -1;
    qsizetype bestLength = -1;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const QString root = NormalFolder(drives[i].root);
        if (root.size() > bestLength && FolderContains(root, folder)) {
            best = static_cast<int>(i);
            bestLength = root.size();
        }
    }
    return best;
}

QString CurrentFolderOfDrive(const QString& driveRoot, const QString& currentDirectory,
                             const std::vector<Drive>& drives) {
    const int holder = DriveOfFolder(currentDirectory, drives);
    if (holder >= 0 &&
        NormalFolder(drives[static_cast<std::size_t>(holder)].root) == NormalFolder(driveRoot)) {
        return NormalFolder(currentDirectory);
    }
    return NormalFolder(driveRoot);
}

namespace {

// File systems that hold no user files: kernel interfaces, memory-backed
// scratch space, container layers and package images.
bool IsPseudoFileSystem(const std::string& type) {
    static const std::set<std::string> pseudo = {
        "autofs",    "binfmt_misc",     "bpf",         "cgroup",     "cgroup2",
        "configfs",  "debugfs",         "devpts",      "devtmpfs",   "efivarfs",
        "fusectl",   "hugetlbfs",       "mqueue",      "nsfs",       "overlay",
        "proc",      "pstore",          "ramfs",       "rpc_pipefs", "securityfs",
        "selinuxfs", "squashfs",        "sysfs",       "tmpfs",      "tracefs",
        "nfsd",      "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs"};
    return pseudo.count(type) > 0;
}

// Mount points in the table escape blanks, tabs, line breaks and
// backslashes as a backslash and three octal digits.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const auto octal = [](char c) { return c >= '0' && c <= '7'; };
            if (octal(text[i + 1]) && octal(text[i + 2]) && octal(text[i + 3])) {
                out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                         (text[i + 3] - '0'));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ') ++pos;
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        if (end > pos) fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

struct Mount {
    QString point;
    std::string type;
};

// Mount point and file-system type of each line: the fifth field, and the
// field after the lone "-" that ends the optional fields.
std::vector<Mount> ParseMounts(std::string_view table) {
    std::vector<Mount> mounts;
    std::size_t pos = 0;
    while (pos < table.size()) {
        const std::size_t end = std::min(table.find('\n', pos), table.size());
        const auto fields = Fields(table.substr(pos, end - pos));
        pos = end + 1;
        if (fields.size() < 7) continue;
        const auto dash = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
        if (dash == fields.end() || dash + 1 == fields.end()) continue;
        mounts.push_back({QString::fromStdString(Unescape(fields[4])), std::string(*(dash + 1))});
    }
    return mounts;
}

bool IsMediaMount(const QString& point) {
    for (const char* place : {"/media/", "/mnt/", "/run/media/"}) {
        if (point.startsWith(QLatin1String(place))) return true;
    }
    return point == QLatin1String("/media") || point == QLatin1String("/mnt");
}

}  // namespace

std::vector<Drive> DrivesFromMountInfo(std::string_view mountInfo, const QString& home) {
    std::vector<Drive> drives{{QStringLiteral("/"), QStringLiteral("/")}};
    const std::vector<Mount> mounts = ParseMounts(mountInfo);

    // The volume of home: the longest mount point above it, whatever it is.
    const Mount* homeMount = nullptr;
    if (!home.isEmpty()) {
        for (const Mount& mount : mounts) {
            if (FolderContains(mount.point, home) &&
                (!homeMount || mount.point.size() >= homeMount->point.size())) {
                homeMount = &mount;
            }
        }
    }
    QStringList seen{QStringLiteral("/")};
    if (homeMount && !IsPseudoFileSystem(homeMount->type) && !seen.contains(homeMount->point)) {
        drives.push_back({homeMount->point, homeMount->point});
        seen << homeMount->point;
    }

    QStringList media;
    for (const Mount& mount : mounts) {
        if (IsMediaMount(mount.point) && !IsPseudoFileSystem(mount.type) &&
            !seen.contains(mount.point) && !media.contains(mount.point)) {
            media << mount.point;
        }
    }
    media.sort();
    for (const QString& point : media) drives.push_back({point, point});
    return drives;
}

}  // namespace lomi::ui
