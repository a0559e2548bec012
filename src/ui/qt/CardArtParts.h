#pragma once

// What the pieces of the card artwork share: the description of a face, the canvas they are
// drawn on, the common helpers and each piece's entry point. Only the artwork includes this;
// everyone else goes through CardArt.h.

#include "model/Preferences.h"
#include "ui/qt/CardPalette.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace cardovia::qt::art {

// ---------------------------------------------------------------------------------------------
// What a face shows.

enum class Suit { Clubs, Diamonds, Hearts, Spades };

// Number ranks carry their pip count as value so layouts can be looked up directly.
enum class Rank {
    Joker = 0,
    Two = 2,
    Three,
    Four,
    Five,
    Six,
    Seven,
    Eight,
    Nine,
    Ten,
    Jack,
    Queen,
    King,
    Ace
};

struct Face {
    Rank rank;
    Suit suit;
};

inline bool IsRed(Suit suit) {
    return suit == Suit::Hearts || suit == Suit::Diamonds;
}

// The ink of a suit's pips and indices; with Four-Colour Suits, clubs are green
// and diamonds blue.
inline QColor SuitInk(Suit suit) {
    if (FourColourSuits && suit == Suit::Clubs) return kClubGreen;
    if (FourColourSuits && suit == Suit::Diamonds) return kDiamondBlue;
    return IsRed(suit) ? kRedInk : kBlackInk;
}

// ---------------------------------------------------------------------------------------------
// Geometry. Every picture is drawn on a canvas of "card units", 71 wide and 96 tall, which
// the painter then stretches onto the target; so one design serves every screen size.

inline constexpr qreal kCardWidth = 71.0;
inline constexpr qreal kCardHeight = 96.0;
inline constexpr QPointF kCardCentre{kCardWidth / 2, kCardHeight / 2};

// Corner index: rank letters above a small suit pip, in a narrow column at the edge.
inline constexpr qreal kIndexCentreX = 7.4;
inline constexpr qreal kIndexTop = 3.4;
inline constexpr qreal kIndexCapHeight = 10.6;
inline constexpr qreal kIndexMaxWidth = 11.6;
inline constexpr qreal kIndexPipCentreY = 20.8;
inline constexpr qreal kIndexPipHeight = 8.0;

// ---------------------------------------------------------------------------------------------
// Helpers every piece draws with.

inline QPen OutlinePen(qreal width, const QColor& colour = kOutline) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Draws `paint` a second time turned upside down, as card pictures read the same both ways.
template <typename Paint>
void PaintBothWays(QPainter& painter, QPointF pivot, Paint paint) {
    paint();
    painter.save();
    painter.translate(pivot);
    painter.rotate(180);
    painter.translate(-pivot);
    paint();
    painter.restore();
}

// The union of two outlines, kept smooth at any size (see CardFaces.cpp).
QPainterPath Joined(const QPainterPath& first, const QPainterPath& second);

// A suit pip `height` card units tall, centred on `centre`.
void PaintPip(QPainter& painter, Suit suit, QPointF centre, qreal height, bool upsideDown);

// Fills `text` with capitals `box.height()` tall standing on the box's bottom, centred across it.
void FillText(QPainter& painter, const QString& text, const QRectF& box, const QBrush& brush);

// The rounded card with its border, filled with `fill`.
void PaintBlankCard(QPainter& painter, const QBrush& fill);

// Rank and suit in the top left corner.
void PaintCornerIndex(QPainter& painter, const Face& face);

// ---------------------------------------------------------------------------------------------
// The pieces. Each paints on a card already blank, in card units.

void PaintNumberPips(QPainter& painter, const Face& face);  // CardFaces.cpp
void PaintAce(QPainter& painter, Suit suit);                // CardFaces.cpp
void PaintCourt(QPainter& painter, const Face& face);       // CardCourts.cpp
void PaintJoker(QPainter& painter);                         // CardJoker.cpp

// A whole back, blank card included (CardBacks.cpp).
void PaintBack(QPainter& painter, int image);

}  // namespace cardovia::qt::art
