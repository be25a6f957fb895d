#include "ui/drives.h"

namespace lomi::ui {

Qt::CaseSensitivity FolderNameCase() { return Qt::CaseSensitive; }

QString FolderRoot(const QString& cleanedPath) {
    return cleanedPath.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
}

}  // namespace lomi::ui
