// The white face every front shares, its corner indexes and lettering, the suit shapes, and the
// number cards and aces built from them.

#include "ui/qt/CardArtParts.h"

#include <QFont>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace cardovia::qt::art {
namespace {

// The card's rounded corners and its border, in card units.
constexpr qreal kCornerRadius = 4.5;
constexpr qreal kBorderWidth = 0.8;

// Number cards: three pip columns and a band of rows between the corner indexes.
constexpr qreal kPipColumnLeft = 21.5;
constexpr qreal kPipColumnRight = kCardWidth - kPipColumnLeft;
constexpr qreal kPipTopRow = 16.5;
constexpr qreal kPipBottomRow = kCardHeight - kPipTopRow;
constexpr qreal kPipHeight = 12.4;
constexpr qreal kAcePipHeight = 32.0;

// Card units are scaled by the painter; this tells how many device pixels one unit spans,
// so hairlines can be kept at least one device pixel wide.
qreal DevicePixelsPerUnit(const QPainter& painter) {
    return std::sqrt(std::abs(painter.deviceTransform().determinant()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Suit shapes, each one unit tall and centred on the origin.

// Joining outlines turns their curves into straight pieces sized for the coordinates in use;
// shapes are therefore joined at a large size and only then brought back down, so they stay
// smooth when drawn big.
constexpr qreal kJoinScale = 1000.0;

QPainterPath Joined(const QPainterPath& first, const QPainterPath& second) {
    const QTransform up = QTransform::fromScale(kJoinScale, kJoinScale);
    const QTransform down = QTransform::fromScale(1 / kJoinScale, 1 / kJoinScale);
    return down.map(up.map(first).united(up.map(second)));
}

namespace {

QPainterPath Circle(QPointF centre, qreal radius) {
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    return circle;
}

QPainterPath StemPath() {
    QPainterPath stem;
    stem.moveTo(0.0, 0.12);
    stem.cubicTo(0.02, 0.32, 0.09, 0.44, 0.21, 0.5);
    stem.lineTo(-0.21, 0.5);
    stem.cubicTo(-0.09, 0.44, -0.02, 0.32, 0.0, 0.12);
    stem.closeSubpath();
    return stem;
}

QPainterPath HeartPath() {
    QPainterPath heart;
    heart.moveTo(0.0, 0.5);
    heart.cubicTo(-0.12, 0.3, -0.5, 0.12, -0.5, -0.2);
    heart.cubicTo(-0.5, -0.4, -0.37, -0.5, -0.25, -0.5);
    heart.cubicTo(-0.1, -0.5, -0.02, -0.42, 0.0, -0.3);
    heart.cubicTo(0.02, -0.42, 0.1, -0.5, 0.25, -0.5);
    heart.cubicTo(0.37, -0.5, 0.5, -0.4, 0.5, -0.2);
    heart.cubicTo(0.5, 0.12, 0.12, 0.3, 0.0, 0.5);
    heart.closeSubpath();
    return heart;
}

QPainterPath DiamondPath() {
    QPainterPath diamond;
    diamond.moveTo(0.0, -0.5);
    diamond.quadTo(0.16, -0.22, 0.38, 0.0);
    diamond.quadTo(0.16, 0.22, 0.0, 0.5);
    diamond.quadTo(-0.16, 0.22, -0.38, 0.0);
    diamond.quadTo(-0.16, -0.22, 0.0, -0.5);
    diamond.closeSubpath();
    return diamond;
}

QPainterPath SpadePath() {
    QPainterPath blade;
    blade.moveTo(0.0, -0.5);
    blade.cubicTo(0.12, -0.3, 0.48, -0.14, 0.48, 0.12);
    blade.cubicTo(0.48, 0.28, 0.36, 0.36, 0.25, 0.36);
    blade.cubicTo(0.12, 0.36, 0.03, 0.3, 0.0, 0.2);
    blade.cubicTo(-0.03, 0.3, -0.12, 0.36, -0.25, 0.36);
    blade.cubicTo(-0.36, 0.36, -0.48, 0.28, -0.48, 0.12);
    blade.cubicTo(-0.48, -0.14, -0.12, -0.3, 0.0, -0.5);
    blade.closeSubpath();
    return Joined(blade, StemPath());
}

QPainterPath ClubPath() {
    constexpr qreal kLeafRadius = 0.225;
    QPainterPath club = Circle({0.0, -0.275}, kLeafRadius);
    club = Joined(club, Circle({-0.245, 0.075}, kLeafRadius));
    club = Joined(club, Circle({0.245, 0.075}, kLeafRadius));
    club = Joined(club, Circle({0.0, -0.02}, 0.12));
    return Joined(club, StemPath());
}

const QPainterPath& SuitShape(Suit suit) {
    static const std::array<QPainterPath, 4> shapes{ClubPath(), DiamondPath(), HeartPath(),
                                                    SpadePath()};
    return shapes[static_cast<std::size_t>(suit)];
}

}  // namespace

void PaintPip(QPainter& painter, Suit suit, QPointF centre, qreal height, bool upsideDown) {
    painter.save();
    painter.translate(centre);
    if (upsideDown) painter.rotate(180);
    painter.scale(height, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SuitInk(suit));
    painter.drawPath(SuitShape(suit));
    painter.restore();
}

// ---------------------------------------------------------------------------------------------
// Lettering. Glyph outlines are scaled like the rest of the art, so text keeps its place and
// proportion on every card size.

namespace {

constexpr int kGlyphDesignSize = 200;

QFont SerifFont() {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Serif Condensed"), QStringLiteral("DejaVu Serif"),
                      QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(kGlyphDesignSize);
    return font;
}

QPainterPath RawText(const QString& text) {
    QPainterPath path;
    path.addText(0, 0, SerifFont(), text);
    return path;
}

// Height of a capital in the design font, so all ranks share one letter height whatever
// their tails and so the same box always gives the same size.
qreal DesignCapHeight() {
    static const qreal height = RawText(QStringLiteral("H")).boundingRect().height();
    return height;
}

// The text with capitals `box.height()` tall standing on the box's bottom, centred across it,
// and squeezed sideways only when it would not fit (as the two digits of a ten would).
QPainterPath FittedText(const QString& text, const QRectF& box) {
    const QPainterPath raw = RawText(text);
    const QRectF bounds = raw.boundingRect();
    if (bounds.isEmpty() || DesignCapHeight() <= 0) return {};  // no usable font on this system
    const qreal scaleY = box.height() / DesignCapHeight();
    const qreal scaleX = std::min(scaleY, box.width() / bounds.width());
    const QTransform place =
        QTransform::fromScale(scaleX, scaleY) *
        QTransform::fromTranslate(box.center().x() - bounds.center().x() * scaleX, box.bottom());
    return place.map(raw);
}

}  // namespace

void FillText(QPainter& painter, const QString& text, const QRectF& box, const QBrush& brush) {
    painter.fillPath(FittedText(text, box), brush);
}

// ---------------------------------------------------------------------------------------------
// The white face every card front shares.

namespace {

QRectF CardOutline(const QPainter& painter, qreal* borderWidth) {
    *borderWidth = std::max(kBorderWidth, 1.0 / DevicePixelsPerUnit(painter));
    const qreal inset = *borderWidth / 2;
    return QRectF(0, 0, kCardWidth, kCardHeight).adjusted(inset, inset, -inset, -inset);
}

}  // namespace

void PaintBlankCard(QPainter& painter, const QBrush& fill) {
    qreal borderWidth = 0;
    const QRectF outline = CardOutline(painter, &borderWidth);
    painter.setPen(QPen(kBorderInk, borderWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(outline, kCornerRadius, kCornerRadius);
}

namespace {

QString RankText(Rank rank) {
    switch (rank) {
        case Rank::Jack:
            return QStringLiteral("J");
        case Rank::Queen:
            return QStringLiteral("Q");
        case Rank::King:
            return QStringLiteral("K");
        case Rank::Ace:
            return QStringLiteral("A");
        default:
            return QString::number(static_cast<int>(rank));
    }
}

}  // namespace

void PaintCornerIndex(QPainter& painter, const Face& face) {
    const QRectF letters(kIndexCentreX - kIndexMaxWidth / 2, kIndexTop, kIndexMaxWidth,
                         kIndexCapHeight);
    FillText(painter, RankText(face.rank), letters, SuitInk(face.suit));
    PaintPip(painter, face.suit, {kIndexCentreX, kIndexPipCentreY}, kIndexPipHeight, false);
}

// ---------------------------------------------------------------------------------------------
// Number cards.

namespace {

enum Column { kLeft, kMiddle, kRight };

struct PipSpot {
    Column column;
    qreal row;  // 0 = top row, 1 = bottom row
};

// The familiar arrangements: pips in the lower half face the other player.
std::vector<PipSpot> PipSpots(Rank rank) {
    constexpr qreal kThird = 1.0 / 3.0;
    std::vector<PipSpot> corners{{kLeft, 0}, {kRight, 0}, {kLeft, 1}, {kRight, 1}};
    std::vector<PipSpot> sides{{kLeft, 0},    {kRight, 0}, {kLeft, 0.5},
                               {kRight, 0.5}, {kLeft, 1},  {kRight, 1}};
    std::vector<PipSpot> tallSides{{kLeft, 0},       {kRight, 0},         {kLeft, kThird},
                                   {kRight, kThird}, {kLeft, 2 * kThird}, {kRight, 2 * kThird},
                                   {kLeft, 1},       {kRight, 1}};
    auto with = [](std::vector<PipSpot> spots, std::initializer_list<PipSpot> extra) {
        spots.insert(spots.end(), extra);
        return spots;
    };
    switch (rank) {
        case Rank::Two:
            return {{kMiddle, 0}, {kMiddle, 1}};
        case Rank::Three:
            return {{kMiddle, 0}, {kMiddle, 0.5}, {kMiddle, 1}};
        case Rank::Four:
            return corners;
        case Rank::Five:
            return with(corners, {{kMiddle, 0.5}});
        case Rank::Six:
            return sides;
        case Rank::Seven:
            return with(sides, {{kMiddle, 0.25}});
        case Rank::Eight:
            return with(sides, {{kMiddle, 0.25}, {kMiddle, 0.75}});
        case Rank::Nine:
            return with(tallSides, {{kMiddle, 0.5}});
        case Rank::Ten:
            return with(tallSides, {{kMiddle, kThird / 2}, {kMiddle, 1 - kThird / 2}});
        default:
            return {};
    }
}

qreal ColumnX(Column column) {
    switch (column) {
        case kLeft:
            return kPipColumnLeft;
        case kRight:
            return kPipColumnRight;
        case kMiddle:
            break;
    }
    return kCardWidth / 2;
}

}  // namespace

void PaintNumberPips(QPainter& painter, const Face& face) {
    for (const PipSpot& spot : PipSpots(face.rank)) {
        const QPointF centre(ColumnX(spot.column),
                             kPipTopRow + spot.row * (kPipBottomRow - kPipTopRow));
        PaintPip(painter, face.suit, centre, kPipHeight, spot.row > 0.5);
    }
}

void PaintAce(QPainter& painter, Suit suit) {
    // The ace of spades traditionally wears a flourish; a fine double ring keeps it ours.
    if (suit == Suit::Spades) {
        painter.save();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(OutlinePen(0.6, kBlackInk));
        painter.drawEllipse(kCardCentre, 21.5, 21.5);
        painter.setPen(OutlinePen(0.3, kBlackInk));
        painter.drawEllipse(kCardCentre, 23.0, 23.0);
        painter.restore();
    }
    PaintPip(painter, suit, kCardCentre, kAcePipHeight, false);
}

}  // namespace cardovia::qt::art
