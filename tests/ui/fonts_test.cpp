// The report font must give a full-width character exactly two half-width
// columns, or the report's header does not stand over its columns.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QTest>

#include "ui/fonts.h"

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    void fixedFontHasTwoHalfWidthColumnsPerFullWidthCharacter() {
        const QFont font = lomi::ui::FixedGothicFont();
        const QFontMetrics metrics(font);
        const int column = metrics.horizontalAdvance(QLatin1Char('0'));
        QVERIFY(column > 0);
        for (const char* half : {"0", " ", "-", "%", ".", "ﾚ", "ｰ", "ｽ", "ﾜ", "ｲ", "ﾄ", "ﾞ"}) {
            QCOMPARE(metrics.horizontalAdvance(QString::fromUtf8(half)), column);
        }
        for (const char* full :
             {"総", "：", "抽", "投", "票", "払", "戻", "損", "益", "回", "収",
              "率", "的", "中", "平", "均", "配", "当", "単", "勝", "複", "連"}) {
            QCOMPARE(metrics.horizontalAdvance(QString::fromUtf8(full)), 2 * column);
        }
        // A whole header and a bet line are 65 columns.
        const QString header =
            QString::fromUtf8("           投票      払戻      損益    回収率    的中率  平均配当");
        const QString line =
            QString::fromUtf8("ﾜｲﾄﾞ       1200      2720      1520   226.67%    40.00%      1360");
        QCOMPARE(metrics.horizontalAdvance(header), 65 * column);
        QCOMPARE(metrics.horizontalAdvance(line), 65 * column);
    }

    void fixedFontIsAJapaneseGothicAtNinePoints() {
        const QFont font = lomi::ui::FixedGothicFont();
        QCOMPARE(font.pointSizeF(), 9.0);
        const QFontInfo info(font);
        QVERIFY2(info.fixedPitch() || QFontMetrics(font).horizontalAdvance("i") ==
                                          QFontMetrics(font).horizontalAdvance("W"),
                 qPrintable(info.family()));
        QVERIFY(QFontMetrics(font).inFont(QChar(0x6295)));  // 投
    }

    void theInterfaceFontHasKanaAndKanjiInOneFace() {
        const QFont font = lomi::ui::InterfaceFont();
        const QRawFont face = QRawFont::fromFont(font, QFontDatabase::Latin);
        QVERIFY(face.isValid());
        for (const char32_t c : QString::fromUtf8("ﾚｰｽｸﾗｽﾌｫﾙﾀﾞの設定開催頭数").toUcs4()) {
            QVERIFY2(face.supportsCharacter(c), qPrintable(QFontInfo(font).family()));
        }
        // Where the platform's font lacks them, a Japanese interface font at 9 pt.
        if (font != QApplication::font()) {
            const QStringList japanese{"Yu Gothic UI", "Meiryo UI", "MS UI Gothic", "IPAPGothic"};
            QVERIFY2(japanese.contains(QFontInfo(font).family()),
                     qPrintable(QFontInfo(font).family()));
            QCOMPARE(font.pointSizeF(), 9.0);
        }
    }

    void proportionalFontHasJapaneseGlyphs() {
        const QFont font = lomi::ui::ProportionalGothicFont();
        QCOMPARE(font.pointSizeF(), 9.75);
        QVERIFY(QFontMetrics(font).inFontUcs4(0x62BD));  // 抽
    }
};

QTEST_MAIN(FontsTest)
#include "fonts_test.moc"
