#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include <QString>

#include "data/drives.h"

namespace lomi::ui {

// One entry of the drive list: a volume whose folders can be browsed.
struct Drive {
    QString root;   // full folder path: "/", "/media/usb", "C:\"
    QString label;  // the text the drive list shows
};

// Where the folder browser gets its drives and the process's current
// directory from. The program uses the machine's; tests give temporary
// folders as drives.
struct DriveSource {
    std::function<std::vector<Drive>()> list;
    std::function<QString()> currentDirectory;
};

DriveSource PlatformDriveSource();

// The machine's drives in the order the drive list shows them (the core's
// ListVolumes).
std::vector<Drive> ListDrives();

// Whether the platform's file system tells folder names apart by letter case.
// Platform files: drives_posix.cpp, drives_win.cpp.
Qt::CaseSensitivity FolderNameCase();

// The root of an absolute path in Qt's form ('/' separators, cleaned), with
// its trailing '/': "/" on Linux; "C:/" or "//server/share/" on Windows.
// Empty when the path has no root this platform knows.
QString FolderRoot(const QString& cleanedPath);

// Index of the drive that holds folder (the one with the longest root that
// contains it), -1 when none does.
int DriveOfFolder(const QString& folder, const std::vector<Drive>& drives);

// The folder the directory list opens when the drive is picked: the
// current directory when it lies on that drive, otherwise the drive's root.
QString CurrentFolderOfDrive(const QString& driveRoot, const QString& currentDirectory,
                             const std::vector<Drive>& drives);

// The core's volumes as drives.
std::vector<Drive> DrivesOf(const std::vector<Volume>& volumes);

}  // namespace lomi::ui
