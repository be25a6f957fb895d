#pragma once

#include <cstdint>
#include <vector>

#include <QAbstractListModel>
#include <QString>

namespace lomi::ui {

// The list behind a combo box: each row a text and a 32-bit item data.
// Replace swaps in a whole new list at once, so a list of tens of
// thousands of dates costs no more than building its texts.
class ItemListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The role of the item data.
    static constexpr int kDataRole = Qt::UserRole;

    struct Row {
        QString text;
        std::int32_t data = 0;
    };

    explicit ItemListModel(QObject* parent = nullptr);

    void Replace(std::vector<Row> rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    bool Holds(const QModelIndex& index) const;

    std::vector<Row> rows_;
};

}  // namespace lomi::ui
