#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace lomi::ui {

// Window layouts are written in twips (1/1440 inch). At 96 dpi a pixel is
// 15 twips; Qt scales logical pixels for screens of other densities.
inline constexpr int kTwipsPerPixel = 15;

int TwipsToPixels(int twips);
QSize TwipsSize(int width, int height);
QRect TwipsRect(int left, int top, int width, int height);

// Puts widget at a fixed place inside its parent (no layout), so it keeps
// its place when the window is resized.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// The same, but a control whose own height is taller than the place (a
// check box on a font or style with a larger box) grows about the place's
// middle instead of being cut off.
void PlaceTwipsGrowing(QWidget* widget, int left, int top, int width, int height);

}  // namespace lomi::ui
