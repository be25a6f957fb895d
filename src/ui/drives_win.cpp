#include "ui/drives.h"

#include <string>

#include <windows.h>

namespace lomi::ui {

namespace {

// Asking a removable drive without a medium must not make Windows show its
// own "insert a disk" box; the drive then simply cannot be opened.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~NoCriticalErrorBoxes() { SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

// "c: [SYSTEM]" for a fixed drive with a volume name, "d:" otherwise; other
// kinds of drive are not asked for their name, which can take long.
QString DriveLabel(wchar_t letter, const std::wstring& root) {
    QString label = QString(QChar(letter)).toLower() + QLatin1Char(':');
    if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED) return label;
    wchar_t name[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                              0) &&
        name[0] != L'\0') {
        label += QStringLiteral(" [") + QString::fromWCharArray(name) + QLatin1Char(']');
    }
    return label;
}

}  // namespace

std::vector<Drive> ListDrives() {
    const NoCriticalErrorBoxes quiet;
    std::vector<Drive> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring root = std::wstring(1, letter) + L":\\";
        drives.push_back({QString::fromStdWString(root), DriveLabel(letter, root)});
    }
    return drives;
}

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
