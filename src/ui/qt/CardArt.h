#pragma once

#include <QPixmap>
#include <QRectF>

class QPainter;

namespace cardovia::qt {

// Picture numbers of the two card backs; faces are 1..108, one per card of the deck.
inline constexpr int kBlueBackImage = 109;
inline constexpr int kRedBackImage = 110;

// Paints picture `image` (1..108 = face of card N, 109 = blue back, 110 = red back)
// so that it fills `target` (a card-shaped rectangle, aspect 71:96). Works at any scale.
// Everything outside the card's rounded corners is left untouched, and an unknown
// picture number paints nothing.
void PaintCard(QPainter& painter, const QRectF& target, int image);

// The picture rendered at `deviceSize` device pixels (the displayed size times the
// device pixel ratio), with that ratio set on the pixmap. Cached per (image, size);
// the cache is bounded (evict oldest sizes when the view is resized many times).
// Must be called from the GUI thread, as pixmaps can only live there.
QPixmap CardPixmap(int image, QSize deviceSize, qreal devicePixelRatio);

}  // namespace cardovia::qt
