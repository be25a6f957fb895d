#include "dialogs/ranking_model.h"

#include <algorithm>

#include <QBrush>
#include <QColor>
#include <QFont>

#include "ui/text.h"

namespace lomi {

void RankingModel::SetPatterns(std::vector<PatternRanking> patterns, bool split) {
    beginResetModel();
    // A new vector: work still reading the old one keeps it.
    patterns_ = std::make_shared<std::vector<PatternRanking>>(std::move(patterns));
    split_ = split;
    columns_ = RankingColumns(split);
    endResetModel();
}

void RankingModel::SetBet(BetType bet) {
    if (bet == bet_) return;
    bet_ = bet;
    ClearFamilyFigures();
}

void RankingModel::SetMinimumRaces(std::int64_t races) {
    if (races == minimumRaces_) return;
    minimumRaces_ = races;
    ClearFamilyFigures();
}

void RankingModel::SetFamilyFigures(const FamilyFigures& figures) {
    if (figures.bet != bet_ || figures.minRaces != minimumRaces_) return;
    ApplyFamilyFigures(*patterns_, figures);
    Repaint();
}

void RankingModel::ClearFamilyFigures() {
    FamilyFigures none;
    for (const BetType bet : kBetTypes) {
        none.bet = bet;
        ApplyFamilyFigures(*patterns_, none);
    }
    Repaint();
}

void RankingModel::Repaint() {
    if (!patterns_->empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

int RankingModel::ColumnOf(RankingColumn column) const {
    const auto found = std::find(columns_.begin(), columns_.end(), column);
    return found == columns_.end() ? -1 : static_cast<int>(found - columns_.begin());
}

int RankingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(patterns_->size());
}

int RankingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RankingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const PatternRanking& pattern = Pattern(index.row());
    const RankingColumn column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole: {
            const QString text = ui::FromUtf8(RankingCellText(pattern, bet_, column));
            // A pattern that could not be read is marked; the reason is its tooltip.
            if (!pattern.Ranked() && column == RankingColumn::Pattern) {
                return QString::fromUtf8("× ") + text;
            }
            return text;
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (IsNumericColumn(column) ? Qt::AlignRight : Qt::AlignLeft));
        case Qt::ToolTipRole:
            if (!pattern.Ranked()) return ui::FromUtf8(pattern.failure);
            return {};
        case Qt::ForegroundRole:
            if (!pattern.Ranked()) return QBrush(QColor(Qt::red));
            return {};
        case Qt::FontRole: {
            if (!pattern.earlier.Spread(bet_).significant) return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        default:
            return {};
    }
}

QVariant RankingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < 0 || section >= columnCount()) return {};
    return QString::fromUtf8(RankingColumnTitle(columns_[static_cast<std::size_t>(section)]));
}

RankingFilter::RankingFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setDynamicSortFilter(true);
}

void RankingFilter::SetMinimumRaces(std::int64_t races) {
    minimumRaces_ = races;
    invalidateFilter();
}

QVariant RankingFilter::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool RankingFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* model = qobject_cast<const RankingModel*>(sourceModel());
    return model == nullptr || HasEnoughRaces(model->Pattern(sourceRow), minimumRaces_);
}

bool RankingFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* model = qobject_cast<const RankingModel*>(sourceModel());
    const PatternRanking& a = model->Pattern(left.row());
    const PatternRanking& b = model->Pattern(right.row());
    const auto order = CompareRankingCells(
        a, b, model->Bet(), model->Columns()[static_cast<std::size_t>(left.column())]);
    if (order != 0) return order < 0;
    // A descending sort asks the other way round; codes stay ascending.
    return sortOrder() == Qt::DescendingOrder ? b.code < a.code : a.code < b.code;
}

}  // namespace lomi
