#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include "analysis/family_figures.h"
#include "analysis/pattern_ranking.h"
#include "analysis/ranking_table.h"
#include "tally/bet_type.h"

namespace lomi {

// The ranking's patterns as a table: the cells of RankingCellText for the
// chosen bet type. Switching the bet type or the minimum of races clears
// the figures that depend on the patterns ranked together (the corrected
// bound, the expected recovery) until SetFamilyFigures brings them, worked
// out off the window's thread; nothing is read again. Rows whose corrected
// bound is above 100% are bold. Qt::UserRole gives the
// number a column sorts by.
class RankingModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetPatterns(std::vector<PatternRanking> patterns, bool split);
    void SetBet(BetType bet);
    // The minimum of races of the patterns that take part in the corrected bounds.
    void SetMinimumRaces(std::int64_t races);
    std::int64_t MinimumRaces() const { return minimumRaces_; }
    // Shown when they are for the present bet type and minimum of races.
    void SetFamilyFigures(const FamilyFigures& figures);
    const std::vector<PatternRanking>& Patterns() const { return *patterns_; }
    // The patterns, kept alive for work on another thread that reads them;
    // the window's thread changes only the family figures meanwhile.
    std::shared_ptr<const std::vector<PatternRanking>> SharedPatterns() const { return patterns_; }
    BetType Bet() const { return bet_; }
    bool Split() const { return split_; }
    const std::vector<RankingColumn>& Columns() const { return columns_; }
    const PatternRanking& Pattern(int row) const {
        return (*patterns_)[static_cast<std::size_t>(row)];
    }
    // The column of a kind, or -1 when it is not shown.
    int ColumnOf(RankingColumn column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void ClearFamilyFigures();
    void Repaint();

    std::shared_ptr<std::vector<PatternRanking>> patterns_ =
        std::make_shared<std::vector<PatternRanking>>();
    std::vector<RankingColumn> columns_ = RankingColumns(false);
    BetType bet_ = BetType::Win;
    bool split_ = false;
    std::int64_t minimumRaces_ = 0;
};

// Sorting by the exact figures of the patterns, and hiding patterns with fewer
// counted races than a minimum.
class RankingFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit RankingFilter(QObject* parent = nullptr);

    void SetMinimumRaces(std::int64_t races);

    // Rows are numbered as shown: the rank in the present order.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    // CompareRankingCells, ties by code in either direction.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    std::int64_t minimumRaces_ = 0;
};

}  // namespace lomi
