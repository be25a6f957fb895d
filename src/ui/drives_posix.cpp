#include "ui/drives.h"

#include <fstream>
#include <sstream>
#include <string>

#include <QDir>

namespace lomi::ui {

std::vector<Drive> ListDrives() {
    std::ifstream in("/proc/self/mountinfo", std::ios::binary);
    std::ostringstream table;
    if (in) table << in.rdbuf();
    return DrivesFromMountInfo(table.str(), QDir::homePath());
}

Qt::CaseSensitivity FolderNameCase() { return Qt::CaseSensitive; }

QString FolderRoot(const QString& cleanedPath) {
    return cleanedPath.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
}

}  // namespace lomi::ui
