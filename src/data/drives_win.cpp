#include "data/drives.h"

#include <windows.h>

#include "data/critical_error_boxes_win.h"
#include "data/wide_text.h"

namespace lomi {
namespace {

// Only fixed drives are asked for their name: a network or removable drive
// can take long to answer.
std::string VolumeName(const std::wstring& root) {
    if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED) return {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                               0)) {
        return {};
    }
    return WideToUtf8(name);
}

}  // namespace

std::vector<Volume> ListVolumes() {
    const NoCriticalErrorBoxes quiet;
    std::vector<Volume> volumes;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        const char letter = static_cast<char>('A' + i);
        const std::string root = std::string(1, letter) + ":\\";
        volumes.push_back({root, DriveLabel(letter, VolumeName(Utf8ToWide(root)))});
    }
    return volumes;
}

}  // namespace lomi
