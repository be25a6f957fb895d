#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "tally/race_conditions.h"

class QCheckBox;
class QDateEdit;

namespace lomi {

// 期間: a first and a last race date, each used only when its box is
// ticked, narrowing the main window's conditions further.
class PeriodSelector : public QWidget {
    Q_OBJECT

public:
    explicit PeriodSelector(QWidget* parent = nullptr);

    // The loaded race dates (YYYYMMDD): the date fields start at the first
    // and the last of them. Kept as they are while the span is the same.
    void SetDates(const std::vector<std::string>& dates);

    // conditions with the period narrowed to the ticked ends.
    RaceConditions Narrow(RaceConditions conditions) const;

    QCheckBox* FromBox() const { return fromBox_; }
    QDateEdit* FromDate() const { return fromDate_; }
    QCheckBox* ToBox() const { return toBox_; }
    QDateEdit* ToDate() const { return toDate_; }

signals:
    void Changed();

private:
    QCheckBox* fromBox_ = nullptr;
    QDateEdit* fromDate_ = nullptr;
    QCheckBox* toBox_ = nullptr;
    QDateEdit* toDate_ = nullptr;
    std::string first_;
    std::string last_;
};

}  // namespace lomi
