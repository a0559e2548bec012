#include "ui/qt/CardArt.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <list>
#include <vector>

namespace cardovia::qt {
namespace {

// ---------------------------------------------------------------------------------------------
// What each picture number shows.

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

constexpr int kLastJokerImage = 4;
constexpr int kFirstTwoImage = 5;
constexpr int kFirstBlackThreeImage = 13;
constexpr int kFirstFourImage = 17;
constexpr int kFirstRedThreeImage = 105;
constexpr int kLastFaceImage = 108;
constexpr int kImageCount = kRedBackImage;

// Both packs of the deck are interleaved: every face appears on two consecutive numbers.
constexpr int kCopiesPerFace = 2;
constexpr int kImagesPerFullRank = 8;

Suit SuitInRankRun(int offsetInRun) {
    return static_cast<Suit>(offsetInRun / kCopiesPerFace);
}

Face FaceOf(int image) {
    // A joker has no suit; the one given here is never looked at.
    if (image <= kLastJokerImage) return {Rank::Joker, Suit::Spades};
    if (image < kFirstBlackThreeImage) return {Rank::Two, SuitInRankRun(image - kFirstTwoImage)};
    if (image < kFirstFourImage) {
        const bool firstPair = image - kFirstBlackThreeImage < kCopiesPerFace;
        return {Rank::Three, firstPair ? Suit::Clubs : Suit::Spades};
    }
    if (image < kFirstRedThreeImage) {
        const int offset = image - kFirstFourImage;
        const int rank = static_cast<int>(Rank::Four) + offset / kImagesPerFullRank;
        return {static_cast<Rank>(rank), SuitInRankRun(offset % kImagesPerFullRank)};
    }
    const bool firstPair = image - kFirstRedThreeImage < kCopiesPerFace;
    return {Rank::Three, firstPair ? Suit::Hearts : Suit::Diamonds};
}

bool IsRed(Suit suit) {
    return suit == Suit::Hearts || suit == Suit::Diamonds;
}

// ---------------------------------------------------------------------------------------------
// Geometry. Every picture is drawn on a canvas of "card units", 71 wide and 96 tall, which
// the painter then stretches onto the target; so one design serves every screen size.

constexpr qreal kCardWidth = 71.0;
constexpr qreal kCardHeight = 96.0;
constexpr QPointF kCardCentre{kCardWidth / 2, kCardHeight / 2};
constexpr qreal kCornerRadius = 4.5;
constexpr qreal kBorderWidth = 0.8;

// Corner index: rank letters above a small suit pip, in a narrow column at the edge.
constexpr qreal kIndexCentreX = 7.4;
constexpr qreal kIndexTop = 3.4;
constexpr qreal kIndexCapHeight = 10.6;
constexpr qreal kIndexMaxWidth = 11.6;
constexpr qreal kIndexPipCentreY = 20.8;
constexpr qreal kIndexPipHeight = 8.0;

// Number cards: three pip columns and a band of rows between the corner indexes.
constexpr qreal kPipColumnLeft = 21.5;
constexpr qreal kPipColumnRight = kCardWidth - kPipColumnLeft;
constexpr qreal kPipTopRow = 16.5;
constexpr qreal kPipBottomRow = kCardHeight - kPipTopRow;
constexpr qreal kPipHeight = 12.4;
constexpr qreal kAcePipHeight = 32.0;

// Court cards keep their portrait inside this framed panel, clear of the corner indexes.
constexpr QRectF kCourtPanel{14.5, 10.0, kCardWidth - 29.0, kCardHeight - 20.0};

const QColor kRedInk{0xc8, 0x10, 0x2e};
const QColor kBlackInk{0x1c, 0x1c, 0x22};
const QColor kBorderInk{0x70, 0x70, 0x78};
const QColor kFaceWhite{0xff, 0xff, 0xfd};
const QColor kGold{0xd8, 0xa5, 0x2a};
const QColor kDarkGold{0x8a, 0x62, 0x10};
const QColor kOutline{0x3a, 0x2a, 0x20};
const QColor kSkin{0xf6, 0xd7, 0xba};

QColor SuitInk(Suit suit) {
    return IsRed(suit) ? kRedInk : kBlackInk;
}

QPen OutlinePen(qreal width, const QColor& colour = kOutline) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Card units are scaled by the painter; this tells how many device pixels one unit spans,
// so hairlines can be kept at least one device pixel wide.
qreal DevicePixelsPerUnit(const QPainter& painter) {
    return std::sqrt(std::abs(painter.deviceTransform().determinant()));
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

void FillText(QPainter& painter, const QString& text, const QRectF& box, const QBrush& brush) {
    painter.fillPath(FittedText(text, box), brush);
}

// ---------------------------------------------------------------------------------------------
// The white face every card front shares.

QRectF CardOutline(const QPainter& painter, qreal* borderWidth) {
    *borderWidth = std::max(kBorderWidth, 1.0 / DevicePixelsPerUnit(painter));
    const qreal inset = *borderWidth / 2;
    return QRectF(0, 0, kCardWidth, kCardHeight).adjusted(inset, inset, -inset, -inset);
}

void PaintBlankCard(QPainter& painter, const QBrush& fill) {
    qreal borderWidth = 0;
    const QRectF outline = CardOutline(painter, &borderWidth);
    painter.setPen(QPen(kBorderInk, borderWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(outline, kCornerRadius, kCornerRadius);
}

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

void PaintCornerIndex(QPainter& painter, const Face& face) {
    const QRectF letters(kIndexCentreX - kIndexMaxWidth / 2, kIndexTop, kIndexMaxWidth,
                         kIndexCapHeight);
    FillText(painter, RankText(face.rank), letters, SuitInk(face.suit));
    PaintPip(painter, face.suit, {kIndexCentreX, kIndexPipCentreY}, kIndexPipHeight, false);
}

// ---------------------------------------------------------------------------------------------
// Number cards.

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

// ---------------------------------------------------------------------------------------------
// Court cards: a framed, double-ended portrait. Each half is drawn in "half units": x runs
// from the panel's middle, y from the panel's top down to its midline.

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
            return {QColor(0xb3, 0x1b, 0x2f), QColor(0x6e, 0x0b, 0x1a), kGold,
                    QColor(0xfb, 0xef, 0xe0)};
        case Rank::Queen:
            return {QColor(0x2a, 0x58, 0xb8), QColor(0x13, 0x2c, 0x6e), kGold,
                    QColor(0xec, 0xf1, 0xfb)};
        default:
            return {QColor(0x22, 0x8a, 0x55), QColor(0x0f, 0x4c, 0x2d), kGold,
                    QColor(0xee, 0xf7, 0xec)};
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
    painter.setPen(OutlinePen(0.5, QColor(0, 0, 0, 90)));
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
    painter.setPen(OutlinePen(0.4, QColor(0x80, 0x78, 0x70)));
    painter.setBrush(QColor(0xfb, 0xfa, 0xf6));
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
    painter.setPen(OutlinePen(0.9, QColor(0x6b, 0x45, 0x20)));
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
    painter.setPen(OutlinePen(0.35, QColor(0x50, 0x55, 0x60)));
    painter.setBrush(QColor(0xc8, 0xcf, 0xd8));
    painter.drawPath(head);
    PaintHand(painter);
}

// The queen holds a rose.
void PaintRose(QPainter& painter) {
    const QPointF bloom(kHand.x(), 21.0);
    painter.setPen(OutlinePen(0.6, QColor(0x2d, 0x6a, 0x2a)));
    painter.drawLine(kHand, bloom);
    QPainterPath leaf;
    leaf.moveTo(kHand.x(), 27.0);
    leaf.quadTo(kHand.x() - 3.0, 24.5, kHand.x() - 3.4, 25.8);
    leaf.quadTo(kHand.x() - 2.8, 27.4, kHand.x(), 27.0);
    painter.setBrush(QColor(0x3c, 0x9a, 0x3a));
    painter.setPen(OutlinePen(0.3, QColor(0x2d, 0x6a, 0x2a)));
    painter.drawPath(leaf);
    painter.setPen(OutlinePen(0.35, QColor(0x7a, 0x10, 0x20)));
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
    painter.setBrush(QColor(0xe8, 0x9a, 0x8a));
    painter.drawEllipse(QPointF(-2.9, 21.3), 1.0, 0.7);
    painter.drawEllipse(QPointF(2.9, 21.3), 1.0, 0.7);
}

void PaintSmile(QPainter& painter) {
    painter.setPen(OutlinePen(0.45, QColor(0xa0, 0x30, 0x30)));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(-1.6, 21.0, 3.2, 1.8), 200 * 16, 140 * 16);
}

QLinearGradient GoldShine(qreal top, qreal bottom) {
    QLinearGradient gold(0, top, 0, bottom);
    gold.setColorAt(0.0, QColor(0xff, 0xe0, 0x7a));
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
    painter.setPen(OutlinePen(0.35, QColor(0x80, 0x78, 0x70)));
    painter.setBrush(QColor(0xe2, 0xdd, 0xd5));
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
    painter.setPen(OutlinePen(0.35, QColor(0x80, 0x78, 0x70)));
    painter.setBrush(QColor(0xee, 0xea, 0xe4));
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
    painter.setBrush(QColor(0x5a, 0x33, 0x1a));
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
    painter.setBrush(QColor(0x3a, 0x8f, 0xd8));
    painter.drawEllipse(QPointF(0, 10.8), 1.1, 1.3);
    painter.setBrush(Qt::white);
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
    painter.setBrush(QColor(0xa8, 0x5a, 0x20));
    painter.drawPath(hair);
}

void PaintJackCap(QPainter& painter, const CourtStyle& style) {
    QPainterPath feather;
    feather.moveTo(2.5, 10.5);
    feather.cubicTo(4.5, 7.5, 7.5, 5.8, 10.8, 5.6);
    feather.cubicTo(8.8, 7.4, 7.0, 9.8, 4.2, 12.2);
    feather.closeSubpath();
    painter.setPen(OutlinePen(0.35, QColor(0x8a, 0x80, 0x60)));
    painter.setBrush(QColor(0xfa, 0xf4, 0xdc));
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

// ---------------------------------------------------------------------------------------------
// The joker: a jester's cap with bells over a grinning face, and the word spelled out.

const QColor kJesterRed{0xd6, 0x1f, 0x3a};
const QColor kJesterBlue{0x1f, 0x5f, 0xc8};
const QColor kJesterGreen{0x1e, 0x9a, 0x50};
const QColor kJesterPurple{0x7a, 0x2c, 0xa8};
const QColor kJesterOrange{0xe8, 0x7a, 0x10};

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
    shine.setColorAt(0.0, QColor(0xff, 0xf2, 0xb0));
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
    painter.setBrush(QColor(0xf0, 0x90, 0x90));
    painter.drawEllipse(QPointF(30.5, 51.0), 1.6, 1.1);
    painter.drawEllipse(QPointF(40.5, 51.0), 1.6, 1.1);
    painter.setBrush(kJesterRed);
    painter.drawEllipse(QPointF(35.5, 49.8), 1.5, 1.5);
    QPainterPath grin;
    grin.moveTo(31.3, 52.5);
    grin.quadTo(35.5, 58.8, 39.7, 52.5);
    grin.quadTo(35.5, 54.6, 31.3, 52.5);
    painter.setPen(OutlinePen(0.4, QColor(0x80, 0x20, 0x20)));
    painter.setBrush(QColor(0xb0, 0x20, 0x30));
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
    const QColor colours[] = {kJesterRed, kJesterBlue, kJesterOrange, kJesterGreen, kJesterPurple};
    const qreal step = (kLastAngle - kFirstAngle) / (kPoints - 1);
    auto at = [&](qreal degrees, qreal radius) {
        const qreal radians = qDegreesToRadians(degrees);
        return neck + QPointF(std::cos(radians), std::sin(radians)) * radius;
    };
    painter.setPen(OutlinePen(0.35));
    for (int i = 0; i < kPoints; ++i) {
        const qreal angle = kFirstAngle + i * step;
        painter.setBrush(colours[i % std::size(colours)]);
        painter.drawPolygon(QPolygonF{at(angle - step * 0.7, kInner), at(angle, kOuter),
                                      at(angle + step * 0.7, kInner)});
    }
    for (int i = 0; i < kPoints; ++i) {
        PaintJesterBell(painter, at(kFirstAngle + i * step, kOuter), 1.25);
    }
}

void PaintJokerBanner(QPainter& painter) {
    const QString word = QStringLiteral("JOKER");
    const QColor colours[] = {kJesterRed, kJesterBlue, kJesterOrange, kJesterGreen, kJesterPurple};
    constexpr qreal kLetterWidth = 7.6;
    constexpr qreal kTop = 71.0;
    constexpr qreal kCapHeight = 8.6;
    const qreal left = kCardCentre.x() - kLetterWidth * word.size() / 2;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QRectF box(left + i * kLetterWidth, kTop, kLetterWidth, kCapHeight);
        FillText(painter, word.mid(i, 1), box, colours[i]);
    }
}

void PaintJokerGlow(QPainter& painter) {
    QRadialGradient glow(QPointF(35.5, 40.0), 26.0);
    glow.setColorAt(0.0, QColor(0xff, 0xe9, 0x8a, 200));
    glow.setColorAt(1.0, QColor(0xff, 0xe9, 0x8a, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(35.5, 40.0), 26.0, 26.0);
}

void PaintJoker(QPainter& painter) {
    PaintJokerGlow(painter);
    PaintJesterRuff(painter);
    PaintJesterFace(painter);
    PaintJesterCap(painter);
    PaintJokerBanner(painter);
    PaintBothWays(painter, kCardCentre, [&] { PaintJokerCornerIndex(painter); });
}

// ---------------------------------------------------------------------------------------------
// Backs: a lattice of fine diamonds inside a white margin, around a central rosette.

struct BackStyle {
    QColor light;
    QColor base;
    QColor dark;
};

BackStyle StyleOfBack(int image) {
    if (image == kBlueBackImage) {
        return {QColor(0x7f, 0xaa, 0xec), QColor(0x1f, 0x4e, 0xa8), QColor(0x12, 0x2e, 0x6e)};
    }
    return {QColor(0xf2, 0x8c, 0x96), QColor(0xb8, 0x18, 0x2e), QColor(0x70, 0x0c, 0x1a)};
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

// ---------------------------------------------------------------------------------------------

void PaintFront(QPainter& painter, const Face& face) {
    PaintBlankCard(painter, kFaceWhite);
    switch (face.rank) {
        case Rank::Joker:
            PaintJoker(painter);
            return;
        case Rank::Ace:
            PaintAce(painter, face.suit);
            break;
        case Rank::Jack:
        case Rank::Queen:
        case Rank::King:
            PaintCourt(painter, face);
            break;
        default:
            PaintNumberPips(painter, face);
            break;
    }
    PaintBothWays(painter, kCardCentre, [&] { PaintCornerIndex(painter, face); });
}

// ---------------------------------------------------------------------------------------------
// Pixmap cache: one set of pictures per displayed size, most recently used size first. A few
// sizes cover the table's card sizes and a window being resized; older ones are dropped.

constexpr std::size_t kMaxCachedSizes = 6;

struct SizedPictures {
    QSize deviceSize;
    qreal ratio;
    std::array<QPixmap, kImageCount + 1> pictures;  // indexed by picture number
};

std::list<SizedPictures>& Cache() {
    static std::list<SizedPictures> cache;
    return cache;
}

SizedPictures& PicturesFor(QSize deviceSize, qreal ratio) {
    std::list<SizedPictures>& cache = Cache();
    const auto found = std::find_if(cache.begin(), cache.end(), [&](const SizedPictures& set) {
        return set.deviceSize == deviceSize && qFuzzyCompare(set.ratio, ratio);
    });
    if (found != cache.end()) {
        cache.splice(cache.begin(), cache, found);
        return cache.front();
    }
    // Pixmaps must not outlive the application, so the cache is emptied as it shuts down; the
    // hook is set again whenever the cache fills anew, in case another application follows.
    if (cache.empty()) qAddPostRoutine([] { Cache().clear(); });
    cache.push_front(SizedPictures{deviceSize, ratio, {}});
    while (cache.size() > kMaxCachedSizes) cache.pop_back();
    return cache.front();
}

QPixmap Render(int image, QSize deviceSize, qreal ratio) {
    QPixmap pixmap(deviceSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        PaintCard(painter, QRectF(QPointF(0, 0), QSizeF(deviceSize)), image);
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace

void PaintCard(QPainter& painter, const QRectF& target, int image) {
    if (image < 1 || image > kImageCount || target.isEmpty()) return;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kCardWidth, target.height() / kCardHeight);
    if (image > kLastFaceImage) {
        PaintBack(painter, image);
    } else {
        PaintFront(painter, FaceOf(image));
    }
    painter.restore();
}

QPixmap CardPixmap(int image, QSize deviceSize, qreal devicePixelRatio) {
    if (image < 1 || image > kImageCount || deviceSize.isEmpty() || devicePixelRatio <= 0) {
        return QPixmap();
    }
    QPixmap& slot = PicturesFor(deviceSize, devicePixelRatio).pictures[image];
    if (slot.isNull()) slot = Render(image, deviceSize, devicePixelRatio);
    return slot;
}

}  // namespace cardovia::qt
