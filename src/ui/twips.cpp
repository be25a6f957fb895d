#include "ui/twips.h"

#include <QWidget>

namespace lomi::ui {

int TwipsToPixels(int twips) {
    // Round half away from zero so that 7 twips and 8 twips differ.
    const int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

QSize TwipsSize(int width, int height) { return {TwipsToPixels(width), TwipsToPixels(height)}; }

QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipsRect(left, top, width, height));
}

void PlaceTwipsGrowing(QWidget* widget, int left, int top, int width, int height) {
    QRect place = TwipsRect(left, top, width, height);
    const int needed = widget->sizeHint().height();
    if (needed > place.height()) {
        place.setTop(place.top() - (needed - place.height()) / 2);
        place.setHeight(needed);
    }
    widget->setGeometry(place);
}

}  // namespace lomi::ui
