#include "ui/item_list_model.h"

#include <utility>

namespace lomi::ui {

ItemListModel::ItemListModel(QObject* parent) : QAbstractListModel(parent) {}

void ItemListModel::Replace(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

bool ItemListModel::Holds(const QModelIndex& index) const {
    // Views ask about the invalid index (no current item) as a matter of
    // course; that is no error.
    return index.isValid() && index.model() == this && index.column() == 0 &&
           index.row() < rowCount();
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!Holds(index)) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) return row.text;
    // Item data never set reads as none, which the combo box shows as 0.
    if (role == kDataRole) return row.data;
    return {};
}

bool ItemListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!Holds(index)) return false;
    Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        row.text = value.toString();
    } else if (role == kDataRole) {
        row.data = static_cast<std::int32_t>(value.toInt());
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool ItemListModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count <= 0) return false;
    beginInsertRows(parent, row, row + count - 1);
    rows_.insert(rows_.begin() + row, static_cast<std::size_t>(count), Row{});
    endInsertRows();
    return true;
}

bool ItemListModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) return false;
    beginRemoveRows(parent, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    return true;
}

}  // namespace lomi::ui
