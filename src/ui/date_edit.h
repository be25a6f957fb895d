#pragma once

#include <QDate>
#include <QDateEdit>

namespace lomi::ui {

// A date field as the analysis windows show it: yyyy-MM-dd with a calendar
// drop-down, wide enough to show any date whole. QDateEdit sizes itself as a
// spin box but lays its text out as a combo box, whose drop-down button takes
// more room in the Windows styles, and it measures only its earliest and
// latest dates: a date such as 2001-01-06 lost its last digit.
class DateEdit : public QDateEdit {
public:
    explicit DateEdit(const QDate& date, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    // How much wider than QDateEdit's own hint the field must be.
    int ExtraWidth() const;
};

}  // namespace lomi::ui
