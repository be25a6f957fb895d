#pragma once

#include <QFont>

namespace lomi::ui {

// Fixed-pitch Japanese gothic at 9 pt for the report box: a full-width
// character is exactly two half-width columns, so the report's columns line
// up. The Windows face first, then a free font installed on Linux.
QFont FixedGothicFont();

// Proportional Japanese gothic at 9.75 pt for the tally button and the
// pattern description.
QFont ProportionalGothicFont();

// The font of controls that carry none of their own: the platform's
// default interface font when it has kana and kanji itself, otherwise the
// first installed Japanese interface font at 9 pt (Yu Gothic UI, Meiryo UI,
// MS UI Gothic on Windows, IPAPGothic on Linux), so that half-width kana
// and kanji come from one font.
QFont InterfaceFont();

// Whether font itself, without falling back to another font, has a glyph
// for every character of text.
bool CoversWithoutFallback(const QFont& font, const QString& text);

// Makes InterfaceFont the application's font (message boxes, menus and
// every window then use it). Each window calls it; only the first call
// does anything.
void UseInterfaceFont();

}  // namespace lomi::ui
