#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QStringList>

namespace lomi::ui {

// Windows' Japanese interface fonts, newest first, then the free font of
// Linux (and of Wine's prefix in the tests).
constexpr const char* kJapaneseInterfaceFamilies[] = {"Yu Gothic UI", "Meiryo UI", "MS UI Gothic",
                                                      "IPAPGothic"};

QFont FixedGothicFont() {
    QFont font;
    font.setFamilies(QStringList{QString::fromUtf8("ＭＳ ゴシック"), "MS Gothic", "IPAGothic",
                                 "Noto Sans Mono CJK JP"});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.0);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

QFont ProportionalGothicFont() {
    QFont font;
    font.setFamilies(QStringList{QString::fromUtf8("ＭＳ Ｐゴシック"), "MS PGothic", "IPAPGothic",
                                 "Noto Sans CJK JP"});
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

bool CoversWithoutFallback(const QFont& font, const QString& text) {
    // The font's own face, as it is picked for Latin text: QFontMetrics
    // would answer for whatever face the font falls back to for a script.
    const QRawFont face = QRawFont::fromFont(font, QFontDatabase::Latin);
    if (!face.isValid()) return false;
    for (const char32_t c : text.toUcs4()) {
        if (!face.supportsCharacter(c)) return false;
    }
    return true;
}

QFont InterfaceFont() {
    // Half-width kana and kanji, as the captions use them.
    const QString japanese = QString::fromUtf8("ﾚｰｽ開催");
    const QFont platform = QApplication::font();
    if (CoversWithoutFallback(platform, japanese)) return platform;
    for (const char* family : kJapaneseInterfaceFamilies) {
        QFont font(QString::fromLatin1(family));
        font.setPointSizeF(9.0);
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        if (QFontInfo(font).family() == font.family() && CoversWithoutFallback(font, japanese)) {
            return font;
        }
    }
    return platform;
}

void UseInterfaceFont() {
    static const bool done = [] {
        QApplication::setFont(InterfaceFont());
        return true;
    }();
    (void)done;
}

}  // namespace lomi::ui
