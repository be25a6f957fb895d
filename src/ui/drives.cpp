#include "ui/drives.h"

#include <QDir>

#include "data/drives.h"
#include "ui/folder_path.h"
#include "ui/text.h"

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

std::vector<Drive> ListDrives() { return DrivesOf(ListVolumes()); }

std::vector<Drive> DrivesOf(const std::vector<Volume>& volumes) {
    std::vector<Drive> drives;
    for (const Volume& volume : volumes) {
        drives.push_back({FromUtf8(volume.root), FromUtf8(volume.label)});
    }
    return drives;
}

}  // namespace lomi::ui
