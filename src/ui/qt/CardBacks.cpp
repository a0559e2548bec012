// Backs: a lattice of fine diamonds inside a white margin, around a central rosette.

#include "ui/qt/CardArt.h"
#include "ui/qt/CardArtParts.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace cardovia::qt::art {
namespace {

struct BackStyle {
    QColor light;
    QColor base;
    QColor dark;
};

BackStyle StyleOfBack(int image) {
    if (image == kBlueBackImage) {
        return {kBlueBackLight, kBlueBackBase, kBlueBackDark};
    }
    return {kRedBackLight, kRedBackBase, kRedBackDark};
}

constexpr qreal kBackMargin = 3.6;
constexpr qreal kBackInnerRadius = 2.6;
constexpr qreal kLatticePitch = 5.0;

// Threads run diagonally both ways through the card's centre, so the pattern looks the same
// whichever way up the card lies and nobody can tell one back from another by its pattern.
void PaintLattice(QPainter& painter, const QRectF& field, const BackStyle& style) {
    const int reach = static_cast<int>(std::ceil((field.width() + field.height()) / kLatticePitch));
    const qreal length = field.width() + field.height();
    QColor thread = style.light;
    thread.setAlpha(150);
    painter.setPen(QPen(thread, 0.45));
    for (int k = -reach; k <= reach; ++k) {
        const QPointF through = kCardCentre + QPointF(k * kLatticePitch, 0);
        painter.drawLine(through - QPointF(length, length), through + QPointF(length, length));
        painter.drawLine(through - QPointF(length, -length), through + QPointF(length, -length));
    }
    // A small bead where the threads cross.
    painter.setPen(Qt::NoPen);
    painter.setBrush(style.light);
    const qreal half = kLatticePitch / 2;
    for (int i = -reach; i <= reach; ++i) {
        for (int j = -reach; j <= reach; ++j) {
            const QPointF bead = kCardCentre + QPointF(i * half, j * half);
            if ((i + j) % 2 == 0 && field.contains(bead)) painter.drawEllipse(bead, 0.6, 0.6);
        }
    }
}

void PaintRosette(QPainter& painter, const BackStyle& style) {
    constexpr int kPetals = 8;
    constexpr qreal kRadius = 11.0;
    painter.setPen(QPen(style.light, 0.6));
    painter.setBrush(style.dark);
    painter.drawEllipse(kCardCentre, kRadius + 2.5, kRadius + 5.5);
    painter.setBrush(style.base);
    for (int i = 0; i < kPetals; ++i) {
        painter.save();
        painter.translate(kCardCentre);
        painter.rotate(i * 360.0 / kPetals);
        painter.drawEllipse(QPointF(0, -kRadius / 2), 2.6, kRadius / 2);
        painter.restore();
    }
    painter.setBrush(style.light);
    painter.drawEllipse(kCardCentre, 2.2, 2.2);
}

}  // namespace

void PaintBack(QPainter& painter, int image) {
    const BackStyle style = StyleOfBack(image);
    PaintBlankCard(painter, kFaceWhite);
    const QRectF field(kBackMargin, kBackMargin, kCardWidth - 2 * kBackMargin,
                       kCardHeight - 2 * kBackMargin);
    QPainterPath fieldShape;
    fieldShape.addRoundedRect(field, kBackInnerRadius, kBackInnerRadius);

    QRadialGradient depth(kCardCentre, kCardHeight / 2);
    depth.setColorAt(0.0, style.base);
    depth.setColorAt(1.0, style.dark);
    painter.fillPath(fieldShape, depth);

    painter.save();
    painter.setClipPath(fieldShape);
    PaintLattice(painter, field, style);
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(style.light, 0.6));
    painter.drawRoundedRect(field.adjusted(1.8, 1.8, -1.8, -1.8), 1.6, 1.6);
    PaintRosette(painter, style);
}

}  // namespace cardovia::qt::art
