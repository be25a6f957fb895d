#pragma once

#include <QListView>
#include <QString>

class QMouseEvent;

namespace lomi::ui {

class FolderRowsModel;

// A directory list: the folders from the root down to the current path,
// each one step further indented, then the current path's subfolders in
// name order. Double-clicking a folder makes it the current path; a single
// click only highlights it.
class DirList : public QListView {
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    // The current path: full, no trailing separator except for a root.
    QString Path() const { return path_; }
    // Opens folder and shows it. Returns false, leaving the list as it was,
    // when the folder cannot be opened (missing, not a folder, unreadable).
    [[nodiscard]] bool SetPath(const QString& folder);

    int ListCount() const;
    // The shown name, the full path and the indentation step of a row.
    QString List(int row) const;
    QString ItemPath(int row) const;
    int ItemLevel(int row) const;
    // The highlighted row, -1 when none.
    int Highlighted() const;

signals:
    // The current path changed.
    void Change();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    FolderRowsModel* rows_ = nullptr;
    QString path_;
};

}  // namespace lomi::ui
