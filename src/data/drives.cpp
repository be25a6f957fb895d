#include "data/drives.h"

#include <algorithm>
#include <set>

namespace lomi {
namespace {

// File systems that hold no user files: kernel interfaces, memory-backed
// scratch space, container layers and package images.
bool IsPseudoFileSystem(std::string_view type) {
    static const std::set<std::string_view> pseudo = {
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
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && octal(text[i + 1]) && octal(text[i + 2]) &&
            octal(text[i + 3])) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
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
    std::string point;
    std::string_view type;
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
        mounts.push_back({Unescape(fields[4]), *(dash + 1)});
    }
    return mounts;
}

// Whether the folder at point holds path (or is it).
bool Holds(std::string_view point, std::string_view path) {
    if (point == path || point == "/") return !path.empty() && path[0] == '/';
    return path.size() > point.size() && path.substr(0, point.size()) == point &&
           path[point.size()] == '/';
}

bool IsMediaMount(std::string_view point) {
    for (std::string_view place : {"/media/", "/mnt/", "/run/media/"}) {
        if (point.substr(0, place.size()) == place) return true;
    }
    return point == "/media" || point == "/mnt";
}

}  // namespace

std::vector<Volume> VolumesFromMountInfo(std::string_view mountInfo, std::string_view home) {
    std::vector<Volume> volumes{{"/", "/"}};
    const std::vector<Mount> mounts = ParseMounts(mountInfo);
    std::set<std::string> seen{"/"};

    // The volume of home: the longest mount point above it, whatever it is.
    const Mount* homeMount = nullptr;
    if (!home.empty()) {
        for (const Mount& mount : mounts) {
            if (Holds(mount.point, home) &&
                (!homeMount || mount.point.size() >= homeMount->point.size())) {
                homeMount = &mount;
            }
        }
    }
    if (homeMount && !IsPseudoFileSystem(homeMount->type) && seen.insert(homeMount->point).second) {
        volumes.push_back({homeMount->point, homeMount->point});
    }

    std::set<std::string> media;  // sorted by mount point
    for (const Mount& mount : mounts) {
        if (IsMediaMount(mount.point) && !IsPseudoFileSystem(mount.type) &&
            seen.count(mount.point) == 0) {
            media.insert(mount.point);
        }
    }
    for (const std::string& point : media) volumes.push_back({point, point});
    return volumes;
}

std::string DriveLabel(char letter, std::string_view volumeName) {
    const char lower =
        letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    std::string label = std::string(1, lower) + ":";
    if (!volumeName.empty()) label += " [" + std::string(volumeName) + "]";
    return label;
}

}  // namespace lomi
