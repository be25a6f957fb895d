#include "ui/date_edit.h"

#include <algorithm>

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace lomi::ui {

DateEdit::DateEdit(const QDate& date, QWidget* parent) : QDateEdit(date, parent) {
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setCalendarPopup(true);
}

int DateEdit::ExtraWidth() const {
    const QFontMetrics metrics = fontMetrics();
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) digit = std::max(digit, metrics.horizontalAdvance(QChar(c)));
    // The widest date text, the two pixels a line edit keeps free on either
    // side and room for the cursor.
    const int needed = 8 * digit + 2 * metrics.horizontalAdvance(QChar('-')) + 6;

    // The text's field at the hinted size, laid out as QDateEdit lays it out.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.rect = QRect(QPoint(0, 0), QDateEdit::sizeHint());
    const int field =
        style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
            .width();
    return std::max(0, needed - field);
}

QSize DateEdit::sizeHint() const { return QDateEdit::sizeHint() + QSize(ExtraWidth(), 0); }

QSize DateEdit::minimumSizeHint() const {
    return QDateEdit::minimumSizeHint() + QSize(ExtraWidth(), 0);
}

}  // namespace lomi::ui
