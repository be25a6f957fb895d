// A date field shows the whole date, whichever digits it has, in every style
// and font: QDateEdit alone cut the last digit.
#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include "ui/date_edit.h"
#include "ui/fonts.h"

class DateEditTest : public QObject {
    Q_OBJECT

private slots:
    void everyDateFitsItsField() {
        QFont large = lomi::ui::InterfaceFont();
        large.setPointSizeF(14);
        for (const QString& styleName : QStyleFactory::keys()) {
            const std::unique_ptr<QStyle> style(QStyleFactory::create(styleName));
            for (const QFont& font :
                 {lomi::ui::InterfaceFont(), lomi::ui::ProportionalGothicFont(), QFont(), large}) {
                for (const QDate date :
                     {QDate(2001, 1, 6), QDate(2000, 10, 8), QDate(2008, 8, 28)}) {
                    lomi::ui::DateEdit edit(date);
                    edit.setStyle(style.get());
                    edit.setFont(font);
                    edit.resize(edit.sizeHint());
                    edit.show();
                    QVERIFY(QTest::qWaitForWindowExposed(&edit));
                    const auto* field = edit.findChild<QLineEdit*>();
                    QCOMPARE(field->text(), date.toString("yyyy-MM-dd"));
                    // A line edit keeps two pixels free on either side of its text.
                    const int room = field->contentsRect().width() - 4;
                    QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) < room,
                             qPrintable(field->text() + " in " + font.family() + ", " + styleName));
                }
            }
        }
    }
};

QTEST_MAIN(DateEditTest)
#include "date_edit_test.moc"
