#include "ui/fonts.h"

#include <QStringList>

namespace lomi::ui {

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

}  // namespace lomi::ui
