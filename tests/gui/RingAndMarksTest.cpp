// What a sighted keyboard player sees: the ring round the part of a card that
// shows, the Hint's mark beside the corner index rather than over it, and the
// ring on a panel's button.

#include "layout/Hand.h"
#include "model/CardFace.h"
#include "model/Preferences.h"
#include "model/Table.h"
#include "rules/MeldTable.h"
#include "support/WindowTest.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableView.h"

#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTest>

#include <limits>

namespace cardovia::testing {
namespace {

using RingAndMarksTest = WindowTest;

QGraphicsPathItem* Ring(qt::TableView* view) {
    for (QGraphicsItem* item : view->scene()->items()) {
        if (item->zValue() == std::numeric_limits<qreal>::max())
            return qgraphicsitem_cast<QGraphicsPathItem*>(item);
    }
    return nullptr;
}

// The ring's outline on the table: it is carried by the item it rings.
QPainterPath RingOutline(qt::TableView* view) {
    const QGraphicsPathItem* ring = Ring(view);
    return ring->sceneTransform().map(ring->path());
}

qt::CardItem* ItemOf(qt::TableView* view, int card) {
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* c = dynamic_cast<qt::CardItem*>(item); c && c->index() == card) return c;
    }
    return nullptr;
}

int CardNamed(const std::string& face) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (FaceName(i) == face) return i;
    }
    return 0;
}

// The ring round the rectangle from (left, top) to (right, bottom): 10 twips
// outside the card's own edges, 25 inside an edge where a card in front cuts
// it off (half the sliver's height when that is less).
QRectF Around(qreal left, qreal top, qreal right, qreal bottom, bool cutRight,
              qreal cutBottom = 0) {
    return QRectF(
        QPointF(left - 10, top - 10),
        QPointF(cutRight ? right - 25 : right + 10, cutBottom ? bottom - cutBottom : bottom + 10));
}

TEST_F(RingAndMarksTest, TheRingOutlinesOnlyThePartOfItsObjectThatShows) {
    SmoothMotion = false;
    SetUpDeck();
    // Five cards of the hand, each 400 twips right of the last and in front of it.
    const int hand[] = {5, 9, 13, 17, 21};
    for (int card : hand) Cards[card].Location = PlayerHand;
    SortHand(kPlayer);
    // A column of three Kings as the meld table lays them: each 25 twips lower and in front.
    const int kings[] = {CardNamed("King of Hearts"), CardNamed("King of Spades"),
                         CardNamed("King of Clubs")};
    const int column = MeldColumnLeft[13];
    for (int k = 0; k < 3; ++k) {
        ShowFace(kings[k]);
        Pic(kings[k]).Move(column, kPlayerMeldTop + k * kMeldCascade);
        ZOrder(Pic(kings[k]));
    }
    // A card lying across the lower right corner of another, as a dragged card does.
    const int under = 40, across = 44;
    for (int card : {under, across}) ShowFace(card);
    Pic(under).Move(9000, 3000);
    Pic(across).Move(9000 + 600, 3000 + 900);
    ZOrder(Pic(under));
    ZOrder(Pic(across));
    const int x = kHandFirstLeft, y = kPlayerHandTop, step = kPlayerCardStep;
    TableForm& f = Frmtable();
    // The ring's outline on the table once these objects, and no others, hold it.
    const auto ringOn = [&](const std::vector<Control*>& objects) {
        for (Control* control : f.Controls) control->focused = false;
        for (Control* control : objects) control->focused = true;
        window->Sync();
        return RingOutline(window->view());
    };

    struct Case {
        const char* what;
        std::vector<Control*> focused;
        QRectF ring;  // none: round all the objects
    };
    const Case cases[] = {
        {"the first card of the hand: the strip left of the second",
         {&Pic(hand[0])},
         Around(x, y, x + step, y + kCardHeight, true)},
        {"a card in the middle of the hand",
         {&Pic(hand[2])},
         Around(x + 2 * step, y, x + 3 * step, y + kCardHeight, true)},
        {"the last card of the hand shows whole",
         {&Pic(hand[4])},
         Around(x + 4 * step, y, x + 4 * step + kCardWidth, y + kCardHeight, false)},
        {"the first card of a meld: the sliver above the next",
         {&Pic(kings[0])},
         Around(column, kPlayerMeldTop, column + kCardWidth, kPlayerMeldTop + kMeldCascade, false,
                kMeldCascade / 2.0)},
        {"the last card of a meld shows whole",
         {&Pic(kings[2])},
         Around(column, kPlayerMeldTop + 2 * kMeldCascade, column + kCardWidth,
                kPlayerMeldTop + 2 * kMeldCascade + kCardHeight, false)},
        {"a card with its corner covered: the outline of what shows, on its edges",
         {&Pic(under)},
         QRectF(9000, 3000, kCardWidth, kCardHeight)},
        {"every card of a meld: round the whole column",
         {&Pic(kings[0]), &Pic(kings[1]), &Pic(kings[2])},
         QRectF()},
        {"a row of the score board: its heading and figures together",
         {&f.Label3, &f.LblCurrTot[1], &f.LblCurrTot[2]},
         QRectF()},
    };
    for (const Case& c : cases) {
        const QPainterPath ring = ringOn(c.focused);
        EXPECT_TRUE(Ring(window->view())->isVisible()) << c.what;
        QRectF expected = c.ring;
        if (expected.isNull()) {
            for (const Control* control : c.focused)
                expected |= qt::TableView::SceneRectOf(*control);
            expected.adjust(-10, -10, 10, 10);
        }
        EXPECT_EQ(ring.boundingRect(), expected) << c.what;
    }
    // The covered corner is left out: the outline turns in round it.
    const QPainterPath corner = ringOn({&Pic(under)});
    EXPECT_TRUE(corner.contains(QPointF(9000 + 300, 3000 + 1200)));
    EXPECT_FALSE(corner.contains(QPointF(9000 + 900, 3000 + 1200)));
    // A meld's ring is carried by its front card, so the others do not cover it.
    ringOn({&Pic(kings[0]), &Pic(kings[1]), &Pic(kings[2])});
    EXPECT_EQ(Ring(window->view())->parentItem(), ItemOf(window->view(), kings[2]));
    // No ring without an object to hold it.
    ringOn({});
    EXPECT_FALSE(Ring(window->view())->isVisible());

    // The ring travels with a gliding card, already the shape it has where the card comes to rest.
    SmoothMotion = true;
    platform.SetTimeScale(1);  // glides long enough to see a frame of
    Picture& last = Pic(hand[4]);
    ringOn({&last});
    qt::CardItem* item = ItemOf(window->view(), hand[4]);
    ASSERT_TRUE(item);
    const QPointF from = item->pos();
    last.Move(last.left + 3000, last.top - 3000);
    window->Sync();
    ASSERT_TRUE(QTest::qWaitFor([&] { return item->pos() != from; }, 1000));
    const QPointF at = item->pos();  // on its way, unless the machine was slow to draw a frame
    EXPECT_EQ(RingOutline(window->view()).boundingRect(),
              Around(at.x(), at.y(), at.x() + kCardWidth, at.y() + kCardHeight, false));
}

// A card's picture drawn alone, five twips a pixel, with room round it.
constexpr int kMargin = 100;
QImage Drawn(int card, bool hinted) {
    Picture picture;
    picture.width = kCardWidth;
    picture.height = kCardHeight;
    picture.image = static_cast<i16>(card);
    picture.hinted = hinted;
    qt::CardItem item(card, &picture);
    item.Sync();
    QImage image((kCardWidth + 2 * kMargin) / 5, (kCardHeight + 2 * kMargin) / 5,
                 QImage::Format_RGB32);
    image.fill(QColor(10, 107, 46));
    QPainter painter(&image);
    painter.scale(0.2, 0.2);
    painter.translate(kMargin, kMargin);
    QStyleOptionGraphicsItem option;
    item.paint(&painter, &option, nullptr);
    return image;
}

// How many pixels differ within a rectangle of the card, in twips.
int Differing(const QImage& a, const QImage& b, const QRectF& twips) {
    const QRect pixels((twips.left() + kMargin) / 5, (twips.top() + kMargin) / 5, twips.width() / 5,
                       twips.height() / 5);
    int n = 0;
    for (int py = pixels.top(); py <= pixels.bottom(); ++py)
        for (int px = pixels.left(); px <= pixels.right(); ++px)
            n += a.pixel(px, py) != b.pixel(px, py);
    return n;
}

TEST_F(RingAndMarksTest, TheHintsMarkLeavesTheCornerIndexesReadable) {
    SetUpDeck();
    // The corner indexes lie 24 twips in from the sides and 51 from the top and
    // bottom, 175 wide and 320 tall; "10" is the widest.
    const QRectF topIndex(25, 50, 175, 320);
    const QRectF bottomIndex(kCardWidth - 200, kCardHeight - 370, 175, 320);
    const QRectF above(-kMargin, -kMargin, kCardWidth + 2 * kMargin, kMargin - 10);
    const QRectF below(-kMargin, kCardHeight + 10, kCardWidth + 2 * kMargin, kMargin - 10);
    // What shows of a card in the hand: the strip left of its neighbour, and a little of the
    // card before it.
    const QRectF strip(-kMargin, 0, kMargin + kPlayerCardStep, kCardHeight);
    for (const char* face : {"Ten of Hearts", "Ten of Clubs", "Queen of Spades", "Joker"}) {
        const int card = CardNamed(face);
        ASSERT_NE(card, 0) << face;
        const QImage plain = Drawn(card, false), marked = Drawn(card, true);
        EXPECT_EQ(Differing(plain, marked, topIndex), 0) << face;
        EXPECT_EQ(Differing(plain, marked, bottomIndex), 0) << face;
        // Nothing above or below the card: it would show over its neighbours in the hand.
        EXPECT_EQ(Differing(plain, marked, above), 0) << face;
        EXPECT_EQ(Differing(plain, marked, below), 0) << face;
        // Framed on the strip's three sides: at least the strip's height and width in gold.
        EXPECT_GT(Differing(plain, marked, strip), (kCardHeight + 2 * kPlayerCardStep) / 5) << face;
    }
}

TEST_F(RingAndMarksTest, APanelsButtonWithTheRingShowsIt) {
    TableForm& f = Frmtable();
    for (Button* button : {&f.cmdSave, &f.cmdNew, &f.CmdTarget, &f.cmdFinished}) {
        button->parent->visible = true;
        ZOrder(*button->parent);
        const QRectF at = qt::TableView::SceneRectOf(*button);
        const auto look = [&](const QRectF& part) {
            window->Sync();
            return window->view()
                ->grab(window->view()->mapFromScene(part).boundingRect())
                .toImage();
        };
        // The button itself changes, as well as what lies round it.
        const QRectF inside = at.adjusted(45, 45, -45, -45);
        const QImage plainAround = look(at.adjusted(-60, -60, 60, 60)), plain = look(inside);
        button->focused = true;
        EXPECT_NE(look(at.adjusted(-60, -60, 60, 60)), plainAround) << button->name;
        EXPECT_NE(look(inside), plain) << button->name;
        button->focused = false;
        EXPECT_EQ(look(inside), plain) << button->name;
        button->parent->visible = false;
    }
}

}  // namespace
}  // namespace cardovia::testing
