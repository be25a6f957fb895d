#include "ui/subfolders.h"

#include <string>

#include <QDir>

#include <windows.h>

namespace lomi::ui {

std::optional<std::vector<QString>> ListSubfolders(const QString& folder) {
    if (folder.isEmpty()) return std::nullopt;
    // A drive without a medium fails quietly instead of asking for a disk.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);

    QString pattern = QDir::toNativeSeparators(folder);
    if (!pattern.endsWith(QLatin1Char('\\'))) pattern += QLatin1Char('\\');
    pattern += QLatin1Char('*');
    const std::wstring wide = pattern.toStdWString();

    WIN32_FIND_DATAW data;
    HANDLE find =
        FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    std::optional<std::vector<QString>> result;
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root has no entries at all, not even ".".
        if (GetLastError() == ERROR_FILE_NOT_FOUND) result.emplace();
    } else {
        result.emplace();
        do {
            const DWORD attributes = data.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
            if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            const QString name = QString::fromWCharArray(data.cFileName);
            if (name == QLatin1String(".") || name == QLatin1String("..")) continue;
            result->push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetThreadErrorMode(previousMode, nullptr);
    return result;
}

}  // namespace lomi::ui
