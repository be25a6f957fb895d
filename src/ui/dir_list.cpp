#include "ui/dir_list.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QAbstractListModel>
#include <QIcon>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "ui/folder_path.h"
#include "ui/subfolders.h"

namespace lomi::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 8;

// Draws each row shifted right by its indentation step.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += Indent(index);
        return size;
    }

private:
    static int Indent(const QModelIndex& index) {
        return index.data(kLevelRole).toInt() * kIndentPixels;
    }
};

bool NameBefore(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

struct FolderRow {
    QString text;
    QString path;
    int level = 0;
    bool open = false;  // the current path and the folders above it
};

// The rows of the list, replaced all at once so that a folder with
// thousands of subfolders is shown in one step.
class FolderRowsModel : public QAbstractListModel {
public:
    FolderRowsModel(QObject* parent, QIcon openIcon, QIcon closedIcon)
        : QAbstractListModel(parent),
          openIcon_(std::move(openIcon)),
          closedIcon_(std::move(closedIcon)) {}

    void Replace(std::vector<FolderRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    const FolderRow* Row(int row) const {
        return row >= 0 && row < static_cast<int>(rows_.size())
                   ? &rows_[static_cast<std::size_t>(row)]
                   : nullptr;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const FolderRow* row = Row(index.row());
        if (!row) return {};
        switch (role) {
            case Qt::DisplayRole:
                return row->text;
            case Qt::DecorationRole:
                return row->open ? openIcon_ : closedIcon_;
            case kPathRole:
                return row->path;
            case kLevelRole:
                return row->level;
            default:
                return {};
        }
    }

private:
    std::vector<FolderRow> rows_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

DirList::DirList(QWidget* parent) : QListView(parent) {
    rows_ = new FolderRowsModel(this, style()->standardIcon(QStyle::SP_DirOpenIcon),
                                style()->standardIcon(QStyle::SP_DirClosedIcon));
    setModel(rows_);
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

bool DirList::SetPath(const QString& folder) {
    const QString path = NormalFolder(folder);
    std::optional<std::vector<QString>> names = ListSubfolders(path);
    if (!names) return false;
    std::sort(names->begin(), names->end(), NameBefore);

    const QStringList chain = FolderChain(path);
    std::vector<FolderRow> rows;
    rows.reserve(static_cast<std::size_t>(chain.size()) + names->size());
    for (int level = 0; level < chain.size(); ++level) {
        rows.push_back({FolderName(chain[level]), chain[level], level, true});
    }
    const int subLevel = static_cast<int>(chain.size());
    for (const QString& name : *names) {
        rows.push_back({name, JoinFolder(path, name), subLevel, false});
    }
    rows_->Replace(std::move(rows));

    const QModelIndex current = rows_->index(static_cast<int>(chain.size()) - 1);
    setCurrentIndex(current);
    scrollTo(current);
    const bool changed = path != path_;
    path_ = path;
    if (changed) emit Change();
    return true;
}

int DirList::ListCount() const { return rows_->rowCount(); }

QString DirList::List(int row) const {
    const FolderRow* r = rows_->Row(row);
    return r ? r->text : QString();
}

QString DirList::ItemPath(int row) const {
    const FolderRow* r = rows_->Row(row);
    return r ? r->path : QString();
}

int DirList::ItemLevel(int row) const {
    const FolderRow* r = rows_->Row(row);
    return r ? r->level : -1;
}

int DirList::Highlighted() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void DirList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) return;
    // A folder that can no longer be opened (removed, no permission)
    // leaves the list where it is.
    (void)SetPath(ItemPath(index.row()));
}

}  // namespace lomi::ui
