#include "dialogs/period_selector.h"

#include <algorithm>

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/date_edit.h"

namespace lomi {
namespace {

QDate FromYyyymmdd(const std::string& text) {
    return QDate::fromString(QString::fromStdString(text), QStringLiteral("yyyyMMdd"));
}

std::string ToYyyymmdd(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd")).toStdString();
}

}  // namespace

PeriodSelector::PeriodSelector(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QString::fromUtf8("期間"), this);
    layout->addWidget(label);
    const auto makeEnd = [&](const char* name, const char* caption, const char* access,
                             QCheckBox*& box, QDateEdit*& date) {
        box = new QCheckBox(QString::fromUtf8(caption) + QString::fromUtf8(access), this);
        box->setObjectName(QString::fromUtf8(name) + "Box");
        date = new ui::DateEdit(QDate(2000, 1, 1), this);
        date->setObjectName(QString::fromUtf8(name) + "Date");
        // A screen reader names the field by the period's end it sets.
        date->setAccessibleName(QString::fromUtf8("期間の") + QString::fromUtf8(caption) + QString::fromUtf8("日"));
        date->setEnabled(false);
        layout->addWidget(box);
        layout->addWidget(date);
        connect(box, &QCheckBox::toggled, date, &QWidget::setEnabled);
        connect(box, &QCheckBox::toggled, this, &PeriodSelector::Changed);
        connect(date, &QDateEdit::dateChanged, this, [this, box] {
            if (box->isChecked()) emit Changed();
        });
    };
    makeEnd("From", "開始", "(&F)", fromBox_, fromDate_);
    label->setBuddy(fromBox_);
    layout->addWidget(new QLabel(QString::fromUtf8("～"), this));
    makeEnd("To", "終了", "(&T)", toBox_, toDate_);
    layout->addStretch();
}

void PeriodSelector::SetDates(const std::vector<std::string>& dates) {
    std::vector<std::string> valid;
    for (const std::string& date : dates) {
        if (FromYyyymmdd(date).isValid()) valid.push_back(date);
    }
    if (valid.empty()) return;
    const auto [first, last] = std::minmax_element(valid.begin(), valid.end());
    if (*first == first_ && *last == last_) return;
    first_ = *first;
    last_ = *last;
    const QSignalBlocker blockFrom(fromDate_);
    const QSignalBlocker blockTo(toDate_);
    fromDate_->setDate(FromYyyymmdd(first_));
    toDate_->setDate(FromYyyymmdd(last_));
}

RaceConditions PeriodSelector::Narrow(RaceConditions conditions) const {
    if (fromBox_->isChecked()) {
        conditions.firstDate = std::max(conditions.firstDate, ToYyyymmdd(fromDate_->date()));
    }
    if (toBox_->isChecked()) {
        const std::string last = ToYyyymmdd(toDate_->date());
        if (conditions.lastDate.empty() || last < conditions.lastDate) conditions.lastDate = last;
    }
    return conditions;
}

}  // namespace lomi
