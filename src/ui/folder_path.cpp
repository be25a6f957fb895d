#include "ui/folder_path.h"

#include <QDir>
#include <QFileInfo>

#include "ui/drives.h"

namespace lomi::ui {

namespace {

// The full path in Qt's form: '/' separators, no "." or ".." parts, and a
// trailing '/' only for a root. Empty for an empty text.
QString QtForm(const QString& folder) {
    if (folder.isEmpty()) return {};
    QString path =
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
    const QString root = FolderRoot(path);
    if (path + QLatin1Char('/') == root) path = root;
    return path;
}

}  // namespace

QString NormalFolder(const QString& folder) { return QDir::toNativeSeparators(QtForm(folder)); }

bool IsRootFolder(const QString& folder) {
    const QString path = QtForm(folder);
    return !path.isEmpty() && path == FolderRoot(path);
}

QString ParentFolder(const QString& folder) {
    const QString path = QtForm(folder);
    const QString root = FolderRoot(path);
    if (path.isEmpty() || path == root) return {};
    QString parent = path.left(path.lastIndexOf(QLatin1Char('/')));
    if (parent.size() < root.size()) parent = root;
    return QDir::toNativeSeparators(parent);
}

QStringList FolderChain(const QString& folder) {
    const QString path = QtForm(folder);
    const QString root = FolderRoot(path);
    if (root.isEmpty()) return {};
    QStringList chain{QDir::toNativeSeparators(root)};
    QString walked = root;
    const QStringList parts = path.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (!walked.endsWith(QLatin1Char('/'))) walked += QLatin1Char('/');
        walked += part;
        chain << QDir::toNativeSeparators(walked);
    }
    return chain;
}

QString FolderName(const QString& folder) {
    const QString path = QtForm(folder);
    if (path == FolderRoot(path)) return QDir::toNativeSeparators(path);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString JoinFolder(const QString& folder, const QString& name) {
    if (IsRootFolder(folder)) return NormalFolder(folder) + name;
    return NormalFolder(folder) + QDir::separator() + name;
}

bool FolderContains(const QString& outer, const QString& inner) {
    const QString o = QtForm(outer);
    const QString i = QtForm(inner);
    if (o.isEmpty() || i.isEmpty()) return false;
    const Qt::CaseSensitivity cs = FolderNameCase();
    if (i.compare(o, cs) == 0) return true;
    const QString prefix = o.endsWith(QLatin1Char('/')) ? o : o + QLatin1Char('/');
    return i.startsWith(prefix, cs);
}

}  // namespace lomi::ui
