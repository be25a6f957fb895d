#pragma once

#include <QString>
#include <QStringList>

namespace lomi::ui {

// Folder paths as the directory list gives them: full, with the platform's
// separators, and without a trailing separator except for a root ("/",
// "C:\"). A relative path is taken from the process's current directory.
QString NormalFolder(const QString& folder);

bool IsRootFolder(const QString& folder);

// The folder that holds folder; empty for a root.
QString ParentFolder(const QString& folder);

// The root, then every folder down to folder itself.
QStringList FolderChain(const QString& folder);

// The name the directory list shows for folder: its last part, or the whole
// root.
QString FolderName(const QString& folder);

// folder, a separator unless folder is a root, then name.
QString JoinFolder(const QString& folder, const QString& name);

// Whether inner is outer or lies below it.
bool FolderContains(const QString& outer, const QString& inner);

}  // namespace lomi::ui
