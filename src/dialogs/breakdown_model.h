#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <compare>
#include <vector>

#include "analysis/breakdown.h"
#include "tally/figures.h"

namespace lomi {

// A breakdown as a table: one row per group and the 合計 row last; the
// group's name, then 総ﾚｰｽ, 抽出ﾚｰｽ and the six figures of each bet type
// as the report writes them, "—" for a rate without a race.
class BreakdownModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BreakdownModel(QObject* parent = nullptr);

    void SetBreakdown(const Breakdown& breakdown);
    bool IsTotalRow(int row) const { return row == static_cast<int>(figures_.size()) - 1; }
    // Two rows by a column: rates exactly, a rate without a race below every
    // other; the caller breaks ties.
    std::strong_ordering Compare(int left, int right, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    BreakdownAxis axis_ = BreakdownAxis::Venue;
    std::vector<std::vector<QString>> cells_;  // the texts shown, 合計 last
    std::vector<TallyFigures> figures_;
};

// Sorts the groups by any column and keeps 合計 below them either way.
class BreakdownSortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit BreakdownSortModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace lomi
