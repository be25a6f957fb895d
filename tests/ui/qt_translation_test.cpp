// Qt's own dialogs speak Japanese once its translation is installed.
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "ui/qt_translation.h"

class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void standardButtonsAndFileDialogsSpeakJapanese() {
        QVERIFY(lomi::ui::InstallQtJapanese(*QCoreApplication::instance()));
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
        QVERIFY(QCoreApplication::translate("QFileDialog",
                                            "%1 already exists.\nDo you want to replace it?") !=
                QStringLiteral("%1 already exists.\nDo you want to replace it?"));
    }
};

QTEST_MAIN(QtTranslationTest)
#include "qt_translation_test.moc"
