// The joker: a jester's cap with bells over a grinning face, and the word spelled out.

#include "ui/qt/CardArtParts.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <iterator>

namespace cardovia::qt::art {
namespace {

void PaintJokerCornerIndex(QPainter& painter) {
    constexpr qreal kLetterHeight = 5.2;
    constexpr qreal kLetterPitch = 6.4;
    const QString word = QStringLiteral("JOKER");
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QRectF box(kIndexCentreX - kIndexMaxWidth / 2, kIndexTop + i * kLetterPitch,
                         kIndexMaxWidth, kLetterHeight);
        FillText(painter, word.mid(i, 1), box, kJesterRed);
    }
}

void PaintJesterBell(QPainter& painter, QPointF centre, qreal radius) {
    QRadialGradient shine(centre - QPointF(radius, radius) / 3, radius * 1.25);
    shine.setColorAt(0.0, kJesterBellShine);
    shine.setColorAt(1.0, kGold);
    painter.setPen(OutlinePen(0.35, kDarkGold));
    painter.setBrush(shine);
    painter.drawEllipse(centre, radius, radius);
    painter.drawLine(centre + QPointF(-radius / 2, radius / 3.5),
                     centre + QPointF(radius / 2, radius / 3.5));
}

void PaintJesterCap(QPainter& painter) {
    struct Point {
        QPointF base1, tip, base2, control1, control2;
        QColor colour;
    };
    const Point flaps[] = {
        {{27.5, 41.0}, {15.0, 30.0}, {32.0, 39.0}, {19.0, 35.0}, {24.0, 31.0}, kJesterBlue},
        {{39.0, 39.0}, {56.0, 30.0}, {43.5, 41.0}, {47.0, 31.0}, {52.0, 35.0}, kJesterGreen},
        {{29.0, 40.0}, {35.5, 17.0}, {42.0, 40.0}, {30.0, 28.0}, {41.0, 28.0}, kJesterRed},
    };
    painter.setPen(OutlinePen(0.45));
    for (const Point& flap : flaps) {
        QPainterPath path;
        path.moveTo(flap.base1);
        path.quadTo(flap.control1, flap.tip);
        path.quadTo(flap.control2, flap.base2);
        path.closeSubpath();
        painter.setBrush(flap.colour);
        painter.drawPath(path);
    }
    for (const Point& flap : flaps) PaintJesterBell(painter, flap.tip, 2.1);

    const QRectF band(26.0, 38.5, 19.0, 4.2);
    painter.setBrush(kGold);
    painter.setPen(OutlinePen(0.4, kDarkGold));
    painter.drawRoundedRect(band, 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kJesterPurple);
    for (int i = 0; i < 4; ++i) {
        const QPointF c(band.left() + 3.2 + i * 4.2, band.center().y());
        painter.drawPolygon(QPolygonF{c + QPointF(0, -1.4), c + QPointF(1.2, 0),
                                      c + QPointF(0, 1.4), c + QPointF(-1.2, 0)});
    }
}

void PaintJesterFace(QPainter& painter) {
    const QPointF centre(35.5, 49.0);
    painter.setPen(OutlinePen(0.45));
    painter.setBrush(kSkin);
    painter.drawEllipse(centre, 7.8, 8.6);
    // Laughing eyes, rosy cheeks, a round red nose and a wide grin.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(OutlinePen(0.6));
    painter.drawArc(QRectF(30.6, 45.0, 3.4, 2.6), 20 * 16, 140 * 16);
    painter.drawArc(QRectF(37.0, 45.0, 3.4, 2.6), 20 * 16, 140 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kJesterCheeks);
    painter.drawEllipse(QPointF(30.5, 51.0), 1.6, 1.1);
    painter.drawEllipse(QPointF(40.5, 51.0), 1.6, 1.1);
    painter.setBrush(kJesterRed);
    painter.drawEllipse(QPointF(35.5, 49.8), 1.5, 1.5);
    QPainterPath grin;
    grin.moveTo(31.3, 52.5);
    grin.quadTo(35.5, 58.8, 39.7, 52.5);
    grin.quadTo(35.5, 54.6, 31.3, 52.5);
    painter.setPen(OutlinePen(0.4, kJesterGrinOutline));
    painter.setBrush(kJesterGrin);
    painter.drawPath(grin);
}

// A fan of coloured points around the neck, each tipped with a little bell.
void PaintJesterRuff(QPainter& painter) {
    constexpr int kPoints = 7;
    constexpr qreal kFirstAngle = 22.0;
    constexpr qreal kLastAngle = 158.0;
    constexpr qreal kInner = 7.0;
    constexpr qreal kOuter = 14.5;
    const QPointF neck(35.5, 50.5);
    const qreal step = (kLastAngle - kFirstAngle) / (kPoints - 1);
    auto at = [&](qreal degrees, qreal radius) {
        const qreal radians = qDegreesToRadians(degrees);
        return neck + QPointF(std::cos(radians), std::sin(radians)) * radius;
    };
    painter.setPen(OutlinePen(0.35));
    for (int i = 0; i < kPoints; ++i) {
        const qreal angle = kFirstAngle + i * step;
        painter.setBrush(kJesterMotley[i % std::size(kJesterMotley)]);
        painter.drawPolygon(QPolygonF{at(angle - step * 0.7, kInner), at(angle, kOuter),
                                      at(angle + step * 0.7, kInner)});
    }
    for (int i = 0; i < kPoints; ++i) {
        PaintJesterBell(painter, at(kFirstAngle + i * step, kOuter), 1.25);
    }
}

void PaintJokerBanner(QPainter& painter) {
    const QString word = QStringLiteral("JOKER");
    constexpr qreal kLetterWidth = 7.6;
    constexpr qreal kTop = 71.0;
    constexpr qreal kCapHeight = 8.6;
    const qreal left = kCardCentre.x() - kLetterWidth * word.size() / 2;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QRectF box(left + i * kLetterWidth, kTop, kLetterWidth, kCapHeight);
        FillText(painter, word.mid(i, 1), box, kJesterMotley[i % std::size(kJesterMotley)]);
    }
}

void PaintJokerGlow(QPainter& painter) {
    QRadialGradient glow(QPointF(35.5, 40.0), 26.0);
    glow.setColorAt(0.0, kJokerGlowCentre);
    glow.setColorAt(1.0, kJokerGlowRim);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(35.5, 40.0), 26.0, 26.0);
}

}  // namespace

void PaintJoker(QPainter& painter) {
    PaintJokerGlow(painter);
    PaintJesterRuff(painter);
    PaintJesterFace(painter);
    PaintJesterCap(painter);
    PaintJokerBanner(painter);
    PaintBothWays(painter, kCardCentre, [&] { PaintJokerCornerIndex(painter); });
}

}  // namespace cardovia::qt::art
