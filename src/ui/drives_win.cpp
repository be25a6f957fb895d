#include "ui/drives.h"

namespace lomi::ui {

Qt::CaseSensitivity FolderNameCase() { return Qt::CaseInsensitive; }

QString FolderRoot(const QString& cleanedPath) {
    // Drive letter: "C:/".
    if (cleanedPath.size() >= 2 && cleanedPath[0].isLetter() &&
        cleanedPath[1] == QLatin1Char(':')) {
        return cleanedPath.left(2) + QLatin1Char('/');
    }
    // Network share: "//server/share/".
    if (cleanedPath.startsWith(QLatin1String("//"))) {
        const qsizetype server = cleanedPath.indexOf(QLatin1Char('/'), 2);
        if (server < 0) return {};
        const qsizetype share = cleanedPath.indexOf(QLatin1Char('/'), server + 1);
        return (share < 0 ? cleanedPath : cleanedPath.left(share)) + QLatin1Char('/');
    }
    return {};
}

}  // namespace lomi::ui
