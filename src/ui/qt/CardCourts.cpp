// Court cards: a framed, double-ended portrait. Each half is drawn in "half units": x runs
// from the panel's middle, y from the panel's top down to its midline.

#include "ui/qt/CardArtParts.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QTransform>

namespace cardovia::qt::art {
namespace {

// Court cards keep their portrait inside this framed panel, clear of the corner indexes.
constexpr QRectF kCourtPanel{14.5, 10.0, kCardWidth - 29.0, kCardHeight - 20.0};
constexpr qreal kHalfHeight = kCourtPanel.height() / 2;

struct CourtStyle {
    QColor robe;
    QColor robeShade;
    QColor trim;
    QColor panelTint;
};

CourtStyle StyleOf(Rank rank) {
    switch (rank) {
        case Rank::King:
            return {kKingRobe, kKingRobeShade, kGold, kKingPanel};
        case Rank::Queen:
            return {kQueenRobe, kQueenRobeShade, kGold, kQueenPanel};
        default:
            return {kJackRobe, kJackRobeShade, kGold, kJackPanel};
    }
}

// Heads, hair and headgear are sketched around a face five units wide, then enlarged and raised
// together, leaving the lower part of each half to the shoulders and whatever the figure holds.
constexpr qreal kHeadScale = 1.2;
constexpr qreal kHeadLift = -3.7;
constexpr qreal kShoulderTop = 27.4;
constexpr QPointF kHand{15.5, 33.0};
constexpr QPointF kHalfPip{-15.5, 6.5};
constexpr qreal kHalfPipHeight = 7.0;

QPainterPath MirroredAcross(const QPainterPath& leftSide) {
    return Joined(leftSide, QTransform::fromScale(-1, 1).map(leftSide));
}

void PaintRobe(QPainter& painter, const CourtStyle& style) {
    const qreal edge = kCourtPanel.width() / 2 + 1;
    const qreal bottom = kHalfHeight + 1;
    QPainterPath robe;
    robe.moveTo(-edge, bottom);
    robe.lineTo(-edge, 33.0);
    robe.cubicTo(-20.0, 29.5, -16.0, 28.0, -9.0, kShoulderTop);
    robe.lineTo(9.0, kShoulderTop);
    robe.cubicTo(16.0, 28.0, 20.0, 29.5, edge, 33.0);
    robe.lineTo(edge, bottom);
    robe.closeSubpath();
    QLinearGradient shade(-edge, 0, edge, 0);
    shade.setColorAt(0.0, style.robeShade);
    shade.setColorAt(0.45, style.robe);
    shade.setColorAt(1.0, style.robeShade);
    painter.setPen(OutlinePen(0.5));
    painter.setBrush(shade);
    painter.drawPath(robe);

    // Folds where the arms meet the body keep the robe from reading as one flat blot.
    QPainterPath folds;
    folds.moveTo(-13.5, 30.0);
    folds.quadTo(-11.5, 34.0, -12.0, bottom);
    folds.moveTo(13.5, 30.0);
    folds.quadTo(11.5, 34.0, 12.0, bottom);
    painter.setPen(OutlinePen(0.5, kRobeFolds));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(folds);
}

void PaintGoldCollar(QPainter& painter, const CourtStyle& style) {
    QPainterPath collar;
    collar.moveTo(-9.5, kShoulderTop);
    collar.lineTo(0.0, 36.0);
    collar.lineTo(9.5, kShoulderTop);
    collar.lineTo(6.0, kShoulderTop);
    collar.lineTo(0.0, 32.5);
    collar.lineTo(-6.0, kShoulderTop);
    collar.closeSubpath();
    collar.addRect(QRectF(-1.5, 34.0, 3.0, kHalfHeight - 33.0));
    collar.setFillRule(Qt::WindingFill);
    painter.setBrush(style.trim);
    painter.setPen(OutlinePen(0.35, kDarkGold));
    painter.drawPath(collar.simplified());
}

// Ermine across the shoulders marks the king from afar.
void PaintErmine(QPainter& painter) {
    QPainterPath left;
    left.moveTo(0.0, kShoulderTop);
    left.lineTo(-9.0, kShoulderTop);
    left.cubicTo(-13.0, 27.6, -17.0, 28.6, -19.5, 31.0);
    left.lineTo(-18.4, 33.4);
    left.cubicTo(-14.0, 31.2, -7.0, 30.8, 0.0, 32.2);
    left.closeSubpath();
    painter.setPen(OutlinePen(0.4, kKingWhiteOutline));
    painter.setBrush(kErmine);
    painter.drawPath(MirroredAcross(left));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlackInk);
    for (const qreal side : {-1.0, 1.0}) {
        for (const QPointF spot :
             {QPointF(15.2, 31.0), QPointF(10.8, 29.7), QPointF(6.2, 29.4), QPointF(2.0, 29.8)}) {
            painter.drawEllipse(QPointF(spot.x() * side, spot.y()), 0.5, 0.85);
        }
    }
}

void PaintHand(QPainter& painter) {
    painter.setPen(OutlinePen(0.4));
    painter.setBrush(kSkin);
    painter.drawEllipse(kHand, 1.9, 1.6);
}

void PaintSceptre(QPainter& painter) {
    const qreal x = kHand.x();
    painter.setPen(OutlinePen(0.9, kDarkGold));
    painter.drawLine(QPointF(x, kHalfHeight), QPointF(x, 9.5));
    painter.setPen(OutlinePen(0.4, kDarkGold));
    painter.setBrush(kGold);
    painter.drawEllipse(QPointF(x, 8.0), 1.9, 1.9);
    painter.drawLine(QPointF(x, 6.1), QPointF(x, 3.2));
    painter.drawLine(QPointF(x - 1.2, 4.3), QPointF(x + 1.2, 4.3));
    PaintHand(painter);
}

// The jack stands guard with a halberd.
void PaintHalberd(QPainter& painter) {
    const qreal x = kHand.x();
    painter.setPen(OutlinePen(0.9, kHalberdShaft));
    painter.drawLine(QPointF(x, kHalfHeight), QPointF(x, 7.0));
    QPainterPath head;
    head.moveTo(x - 0.8, 7.6);
    head.lineTo(x, 2.4);
    head.lineTo(x + 0.8, 6.6);
    head.lineTo(x + 4.6, 5.8);
    head.quadTo(x + 3.4, 9.0, x + 4.6, 12.2);
    head.lineTo(x + 0.8, 11.2);
    head.lineTo(x - 0.8, 11.2);
    head.closeSubpath();
    painter.setPen(OutlinePen(0.35, kHalberdBladeOutline));
    painter.setBrush(kHalberdBlade);
    painter.drawPath(head);
    PaintHand(painter);
}

// The queen holds a rose.
void PaintRose(QPainter& painter) {
    const QPointF bloom(kHand.x(), 21.0);
    painter.setPen(OutlinePen(0.6, kRoseStem));
    painter.drawLine(kHand, bloom);
    QPainterPath leaf;
    leaf.moveTo(kHand.x(), 27.0);
    leaf.quadTo(kHand.x() - 3.0, 24.5, kHand.x() - 3.4, 25.8);
    leaf.quadTo(kHand.x() - 2.8, 27.4, kHand.x(), 27.0);
    painter.setBrush(kRoseLeaf);
    painter.setPen(OutlinePen(0.3, kRoseStem));
    painter.drawPath(leaf);
    painter.setPen(OutlinePen(0.35, kRoseBloomOutline));
    painter.setBrush(kRedInk);
    painter.drawEllipse(bloom, 2.5, 2.2);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(bloom.x() - 1.2, bloom.y() - 1.0, 2.4, 2.0), 30 * 16, 220 * 16);
    PaintHand(painter);
}

void PaintHead(QPainter& painter) {
    painter.setPen(OutlinePen(0.4));
    painter.setBrush(kSkin);
    painter.drawRect(QRectF(-2.2, 23.0, 4.4, 3.6));
    painter.drawEllipse(QPointF(0, 19.3), 5.0, 6.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutline);
    painter.drawEllipse(QPointF(-1.8, 18.8), 0.6, 0.7);
    painter.drawEllipse(QPointF(1.8, 18.8), 0.6, 0.7);
    painter.setBrush(kCourtCheeks);
    painter.drawEllipse(QPointF(-2.9, 21.3), 1.0, 0.7);
    painter.drawEllipse(QPointF(2.9, 21.3), 1.0, 0.7);
}

void PaintSmile(QPainter& painter) {
    painter.setPen(OutlinePen(0.45, kCourtSmile));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(-1.6, 21.0, 3.2, 1.8), 200 * 16, 140 * 16);
}

QLinearGradient GoldShine(qreal top, qreal bottom) {
    QLinearGradient gold(0, top, 0, bottom);
    gold.setColorAt(0.0, kGoldHighlight);
    gold.setColorAt(1.0, kGold);
    return gold;
}

void PaintKingCrown(QPainter& painter) {
    QPainterPath crown;
    crown.moveTo(-5.6, 13.8);
    crown.lineTo(-6.6, 6.2);
    crown.lineTo(-3.2, 9.8);
    crown.lineTo(0.0, 4.6);
    crown.lineTo(3.2, 9.8);
    crown.lineTo(6.6, 6.2);
    crown.lineTo(5.6, 13.8);
    crown.closeSubpath();
    painter.setPen(OutlinePen(0.4, kDarkGold));
    painter.setBrush(GoldShine(4.6, 13.8));
    painter.drawPath(crown);
    for (const QPointF tip : {QPointF(-6.6, 6.2), QPointF(0.0, 4.6), QPointF(6.6, 6.2)}) {
        painter.drawEllipse(tip, 1.0, 1.0);
    }
    painter.setBrush(kRedInk);
    painter.drawEllipse(QPointF(0, 11.6), 1.1, 1.3);
}

void PaintKingHair(QPainter& painter) {
    painter.setPen(OutlinePen(0.35, kKingWhiteOutline));
    painter.setBrush(kKingHair);
    painter.drawEllipse(QPointF(0, 17.0), 6.2, 6.0);
}

void PaintKingBeard(QPainter& painter) {
    QPainterPath beard;
    beard.moveTo(-5.0, 19.5);
    beard.cubicTo(-5.2, 25.0, -3.0, 29.0, 0.0, 31.0);
    beard.cubicTo(3.0, 29.0, 5.2, 25.0, 5.0, 19.5);
    beard.cubicTo(3.5, 22.5, 1.5, 22.0, 0.0, 21.6);
    beard.cubicTo(-1.5, 22.0, -3.5, 22.5, -5.0, 19.5);
    beard.closeSubpath();
    painter.setPen(OutlinePen(0.35, kKingWhiteOutline));
    painter.setBrush(kKingBeard);
    painter.drawPath(beard);
}

void PaintQueenHair(QPainter& painter) {
    QPainterPath hair;
    hair.moveTo(0, 11.5);
    hair.cubicTo(6.5, 11.5, 7.5, 17.0, 7.0, 22.0);
    hair.cubicTo(6.8, 25.0, 8.0, 27.0, 9.0, 28.5);
    hair.lineTo(-9.0, 28.5);
    hair.cubicTo(-8.0, 27.0, -6.8, 25.0, -7.0, 22.0);
    hair.cubicTo(-7.5, 17.0, -6.5, 11.5, 0, 11.5);
    hair.closeSubpath();
    painter.setPen(OutlinePen(0.35));
    painter.setBrush(kQueenHair);
    painter.drawPath(hair);
}

void PaintQueenTiara(QPainter& painter) {
    QPainterPath tiara;
    tiara.moveTo(-5.4, 13.6);
    tiara.quadTo(-5.6, 10.0, -3.4, 10.4);
    tiara.quadTo(-2.0, 7.2, 0.0, 7.0);
    tiara.quadTo(2.0, 7.2, 3.4, 10.4);
    tiara.quadTo(5.6, 10.0, 5.4, 13.6);
    tiara.closeSubpath();
    painter.setPen(OutlinePen(0.4, kDarkGold));
    painter.setBrush(GoldShine(7.0, 13.6));
    painter.drawPath(tiara);
    painter.setBrush(kTiaraJewel);
    painter.drawEllipse(QPointF(0, 10.8), 1.1, 1.3);
    painter.setBrush(kTiaraPearl);
    for (const QPointF pearl : {QPointF(-3.4, 10.4), QPointF(3.4, 10.4), QPointF(0.0, 7.0)}) {
        painter.drawEllipse(pearl, 0.7, 0.7);
    }
}

void PaintJackHair(QPainter& painter) {
    QPainterPath hair;
    hair.moveTo(-5.6, 21.5);
    hair.cubicTo(-7.0, 16.0, -5.0, 12.0, 0, 12.0);
    hair.cubicTo(5.0, 12.0, 7.0, 16.0, 5.6, 21.5);
    hair.cubicTo(5.0, 18.0, 3.0, 15.5, 0, 15.5);
    hair.cubicTo(-3.0, 15.5, -5.0, 18.0, -5.6, 21.5);
    hair.closeSubpath();
    painter.setPen(OutlinePen(0.35));
    painter.setBrush(kJackHair);
    painter.drawPath(hair);
}

void PaintJackCap(QPainter& painter, const CourtStyle& style) {
    QPainterPath feather;
    feather.moveTo(2.5, 10.5);
    feather.cubicTo(4.5, 7.5, 7.5, 5.8, 10.8, 5.6);
    feather.cubicTo(8.8, 7.4, 7.0, 9.8, 4.2, 12.2);
    feather.closeSubpath();
    painter.setPen(OutlinePen(0.35, kJackFeatherOutline));
    painter.setBrush(kJackFeather);
    painter.drawPath(feather);

    QPainterPath cap;
    cap.moveTo(-7.2, 14.2);
    cap.cubicTo(-7.5, 9.0, -3.0, 7.6, 1.0, 7.8);
    cap.cubicTo(5.0, 8.0, 7.8, 10.0, 7.0, 14.2);
    cap.closeSubpath();
    painter.setPen(OutlinePen(0.4));
    painter.setBrush(style.robeShade);
    painter.drawPath(cap);
    painter.setBrush(style.trim);
    painter.setPen(OutlinePen(0.35, kDarkGold));
    painter.drawRoundedRect(QRectF(-7.0, 12.6, 14.0, 2.0), 0.8, 0.8);
}

void PaintBody(QPainter& painter, Rank rank, const CourtStyle& style) {
    PaintRobe(painter, style);
    PaintGoldCollar(painter, style);
    if (rank == Rank::King) PaintErmine(painter);
    switch (rank) {
        case Rank::King:
            PaintSceptre(painter);
            break;
        case Rank::Queen:
            PaintRose(painter);
            break;
        default:
            PaintHalberd(painter);
            break;
    }
}

void PaintHeadOf(QPainter& painter, Rank rank, const CourtStyle& style) {
    painter.save();
    painter.translate(0, kHeadLift);
    painter.scale(kHeadScale, kHeadScale);
    switch (rank) {
        case Rank::King:
            PaintKingHair(painter);
            PaintHead(painter);
            PaintKingBeard(painter);
            PaintKingCrown(painter);
            break;
        case Rank::Queen:
            PaintQueenHair(painter);
            PaintHead(painter);
            PaintSmile(painter);
            PaintQueenTiara(painter);
            break;
        default:
            PaintHead(painter);
            PaintSmile(painter);
            PaintJackHair(painter);
            PaintJackCap(painter, style);
            break;
    }
    painter.restore();
}

void PaintCourtHalf(QPainter& painter, const Face& face, const CourtStyle& style) {
    painter.save();
    painter.translate(kCourtPanel.center().x(), kCourtPanel.top());
    painter.setClipRect(QRectF(-kCourtPanel.width() / 2, 0, kCourtPanel.width(), kHalfHeight));
    PaintBody(painter, face.rank, style);
    PaintHeadOf(painter, face.rank, style);
    PaintPip(painter, face.suit, kHalfPip, kHalfPipHeight, false);
    painter.restore();
}

}  // namespace

void PaintCourt(QPainter& painter, const Face& face) {
    const CourtStyle style = StyleOf(face.rank);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style.panelTint);
    painter.drawRect(kCourtPanel);

    PaintBothWays(painter, kCardCentre, [&] { PaintCourtHalf(painter, face, style); });

    painter.setBrush(Qt::NoBrush);
    painter.setPen(OutlinePen(0.5, kDarkGold));
    painter.drawLine(QPointF(kCourtPanel.left(), kCardCentre.y()),
                     QPointF(kCourtPanel.right(), kCardCentre.y()));
    painter.setPen(QPen(SuitInk(face.suit), 0.7));
    painter.drawRect(kCourtPanel);
    painter.setPen(QPen(kGold, 0.5));
    painter.drawRect(kCourtPanel.adjusted(1.0, 1.0, -1.0, -1.0));
}

}  // namespace cardovia::qt::art
