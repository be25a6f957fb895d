#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// One volume whose folders can be browsed, as UTF-8 texts.
struct Volume {
    std::string root;   // full folder path: "/", "/media/usb", "C:\"
    std::string label;  // what a drive list shows: "/media/usb", "c: [SYSTEM]"
};

// The machine's volumes in the order a drive list shows them. Linux: the
// root "/" first, then the browsable mounted volumes (VolumesFromMountInfo
// over /proc/self/mountinfo); Windows: the drive letters, a drive without
// a medium included but never waited for. Platform files: drives_posix.cpp,
// drives_win.cpp.
std::vector<Volume> ListVolumes();

// The volumes of a Linux mount table (the text of /proc/self/mountinfo): "/"
// first, then the volume that holds home when that is not the root, then
// the volumes mounted under /media, /mnt and /run/media by mount point.
// Pseudo file systems (proc, sysfs, tmpfs, cgroup, overlay, …) are left out.
std::vector<Volume> VolumesFromMountInfo(std::string_view mountInfo, std::string_view home);

// The label of a Windows drive: the letter in lower case and a colon, then
// the volume name in brackets when there is one: "c: [SYSTEM]", "d:".
std::string DriveLabel(char letter, std::string_view volumeName);

}  // namespace lomi
