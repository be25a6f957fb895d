#include "dialogs/breakdown_model.h"

#include <QFont>

#include "analysis/figure_table.h"
#include "ui/text.h"

namespace lomi {
namespace {

constexpr int kFigureColumns = 26;  // 総ﾚｰｽ, 抽出ﾚｰｽ and six per bet type

}  // namespace

BreakdownModel::BreakdownModel(QObject* parent) : QAbstractTableModel(parent) {}

void BreakdownModel::SetBreakdown(const Breakdown& breakdown) {
    beginResetModel();
    axis_ = breakdown.axis;
    cells_.clear();
    figures_.clear();
    const auto add = [&](const std::string& label, const TallyFigures& figures) {
        std::vector<QString> row = {ui::FromUtf8(label)};
        for (const std::string& cell : FiguresCells(figures)) row.push_back(ui::FromUtf8(cell));
        cells_.push_back(std::move(row));
        figures_.push_back(figures);
    };
    for (const BreakdownGroup& group : breakdown.groups) {
        add(group.label, ComputeFigures(group.recordCount, group.tally));
    }
    add(kTotalLabel, ComputeFigures(breakdown.recordCount, breakdown.total));
    endResetModel();
}

int BreakdownModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(figures_.size());
}

int BreakdownModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + kFigureColumns;
}

std::strong_ordering BreakdownModel::Compare(int left, int right, int column) const {
    const TallyFigures& a = figures_[static_cast<std::size_t>(left)];
    const TallyFigures& b = figures_[static_cast<std::size_t>(right)];
    std::strong_ordering order = std::strong_ordering::equal;
    if (column == 1) {
        order = a.totalRaces <=> b.totalRaces;
    } else if (column == 2) {
        order = a.extractedRaces <=> b.extractedRaces;
    } else if (column > 2) {
        const BetFigures& x = a.bets[static_cast<std::size_t>((column - 3) / 6)];
        const BetFigures& y = b.bets[static_cast<std::size_t>((column - 3) / 6)];
        switch ((column - 3) % 6) {
            case 0:
                order = x.stake <=> y.stake;
                break;
            case 1:
                order = x.payout <=> y.payout;
                break;
            case 2:
                order = x.profit <=> y.profit;
                break;
            case 3:
                order = CompareRatios(x.payout, x.stake, y.payout, y.stake);
                break;
            case 4:
                order = CompareRatios(x.hits, a.extractedRaces, y.hits, b.extractedRaces);
                break;
            default:
                order = x.averageDividend <=> y.averageDividend;
        }
    }
    return order;
}

QVariant BreakdownModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        case Qt::TextAlignmentRole:
            return column == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                               : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::FontRole:
            if (IsTotalRow(row)) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

QVariant BreakdownModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section == 0) return QString::fromUtf8(AxisName(axis_));
    return ui::FromUtf8(FiguresHeader()[static_cast<std::size_t>(section - 1)]);
}

BreakdownSortModel::BreakdownSortModel(QObject* parent) : QSortFilterProxyModel(parent) {}

bool BreakdownSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // A descending sort compares the other way round; 合計 stays last.
    const auto* model = static_cast<const BreakdownModel*>(sourceModel());
    const bool descending = sortOrder() == Qt::DescendingOrder;
    if (model->IsTotalRow(left.row())) return descending;
    if (model->IsTotalRow(right.row())) return !descending;
    const std::strong_ordering order = model->Compare(left.row(), right.row(), left.column());
    if (order != 0) return order < 0;
    // Ties keep the groups' order whichever way the column sorts.
    return descending ? right.row() < left.row() : left.row() < right.row();
}

}  // namespace lomi
