#pragma once

#include <string>

#include <QString>
#include <QWidget>

#include "analysis/breakdown.h"
#include "data/program_state.h"
#include "tally/race_conditions.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace lomi {

class BreakdownModel;
class BreakdownSortModel;
class OutOfDateBar;
class PeriodSelector;

// 内訳: the tally of the main window's pattern and conditions split by one
// axis, in a sortable table whose 合計 row is the report; the period
// narrows it further; CSV export. Follows the main window through
// ShowTally.
class BreakdownWindow : public QWidget {
    Q_OBJECT

public:
    // folder: where the last file was saved, shared with the other windows.
    explicit BreakdownWindow(const ProgramState& state, QWidget* parent = nullptr,
                             QString* folder = nullptr);

    // The conditions of the main window's latest tally; shows the
    // breakdown of the loaded data under them.
    void ShowTally(const RaceConditions& conditions);
    // The data folder is no longer the one the loaded pattern came from
    // (empty: it is again): the window says so, and its 読み直す asks for
    // the pattern from the new folder.
    void SetFolderChanged(const std::string& newFolder);
    OutOfDateBar* OutOfDate() const { return outOfDate_; }

signals:
    void reloadRequested();

public:

    const Breakdown& Current() const { return breakdown_; }
    QComboBox* AxisCombo() const { return axisCombo_; }
    PeriodSelector* Period() const { return period_; }
    QTableView* Table() const { return table_; }
    QPushButton* CsvButton() const { return csvButton_; }

    // Saves the table as CSV (UTF-8 with a byte order mark) at path; a
    // failure is told in a message box. Returns whether it was saved.
    bool SaveCsv(const QString& path);

private:
    void Refresh();
    void AskAndSaveCsv();

    const ProgramState& state_;
    RaceConditions conditions_;
    Breakdown breakdown_;

    QComboBox* axisCombo_ = nullptr;
    PeriodSelector* period_ = nullptr;
    QLabel* description_ = nullptr;  // the pattern and the conditions
    QString* folder_ = nullptr;
    OutOfDateBar* outOfDate_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* csvButton_ = nullptr;
    BreakdownModel* model_ = nullptr;
    BreakdownSortModel* sorted_ = nullptr;
};

}  // namespace lomi
