// The real window: it shows what the form says, keys reach the menus, and a
// hand is played with the mouse alone, presses, drags and right clicks.

#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "rules/MinimumMeld.h"
#include "support/WindowTest.h"
#include "ui/Form.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableView.h"

#include <QAction>
#include <QGraphicsScene>
#include <QLabel>
#include <QTest>

#include <array>
#include <cstdlib>

namespace cardovia::testing {
namespace {

using TableWindowTest = WindowTest;

// The window's card pictures, and the ones lying at a place of the form.
std::vector<qt::CardItem*> CardItems(const qt::TableWindow& window) {
    std::vector<qt::CardItem*> cards;
    for (QGraphicsItem* item : window.view()->scene()->items()) {
        if (auto* card = dynamic_cast<qt::CardItem*>(item)) cards.push_back(card);
    }
    return cards;
}

TEST_F(TableWindowTest, ItStartsWithTheDeckFaceDownScalesWithTheWindowAndKeysReachTheMenus) {
    window->Sync();
    const auto cards = CardItems(*window);
    ASSERT_EQ(cards.size(), 108u);
    for (qt::CardItem* card : cards) {
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->shownImage(), 110);
        EXPECT_EQ(card->pos(), QPointF(Pic(card->index()).left, Pic(card->index()).top));
    }
    EXPECT_EQ(window->windowTitle(), "Cardovia");
    EXPECT_EQ(window->StatusPanel(2)->text(), " Press F2 or use Menu for new game");
    window->resize(640, 480);
    QCoreApplication::processEvents();
    const qreal small = window->view()->transform().m11();
    window->resize(1600, 1100);
    QCoreApplication::processEvents();
    EXPECT_GT(window->view()->transform().m11(), small * 2);
    const QRectF shown = window->view()->mapFromScene(window->view()->sceneRect()).boundingRect();
    EXPECT_LE(shown.width(), Viewport()->width() + 1);
    // F3 opens Hand Help; while the Play menu is off (a deal), its keys are off too.
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_TRUE(Frmtable().framHand.visible);
    EXPECT_FALSE(window->ActionFor(Frmtable().MnuTakeBack)->isEnabled());
    Frmtable().MnuPlay.enabled = false;
    window->Sync();
    EXPECT_FALSE(window->ActionFor(Frmtable().MnuNew)->isEnabled());
}

TEST_F(TableWindowTest, AHandIsPlayedWithTheMouseToTheResultsPanel) {
    int draws = 0;
    int discards = 0;
    bool dealt = false;
    RunGame([&] {
        if (Frmtable().FramResults.visible) return true;
        if (!PlayerTurn || PlayerMoveInProgress()) return false;
        if (!dealt && MustDraw && !HasDrawn) {
            // The window shows the hands as the form lays them out.
            dealt = true;
            window->Sync();
            int shown[3] = {};
            for (qt::CardItem* card : CardItems(*window)) {
                const int where = Cards[card->index()].Location;
                if (where != PlayerHand && where != OpponentHand) continue;
                ++shown[where];
                EXPECT_EQ(card->shownImage(), where == PlayerHand ? card->index() : 110);
                EXPECT_EQ(card->pos().y(), where == PlayerHand ? 8200 : 120);
            }
            EXPECT_EQ(shown[1], HandCount[1]);
            EXPECT_EQ(shown[2], HandCount[2]);
            EXPECT_TRUE(window->ActionFor(Frmtable().MnuTakeBack)->isEnabled());
        }
        if (MustDraw && !HasDrawn) {
            for (int i = kDeckSize; i >= 1; --i) {
                if (Cards[i].Location == Stock) return Click(i, Qt::LeftButton), ++draws, false;
            }
        }
        if (!HasDrawn) return false;
        std::array<int, 16> held{};
        for (int i = 1; i <= kDeckSize; ++i) held[Cards[i].Rank] += Cards[i].Location == PlayerHand;
        // A meld begun is finished first; new melds only when together they meet the minimum.
        EstablishPoints(kPlayer);
        const bool mayOpen = MeldOpened[1] || HandMeldPoints[1] >= MinMeld[1];
        for (int i = 1; i <= kDeckSize; ++i) {
            const int r = Cards[i].Rank;
            if (Cards[i].Location != PlayerHand || IsWildIndex(i) || r == kBlackThree ||
                r == kRedThree)
                continue;
            if ((MeldTable[r].Count[1] > 0 || (mayOpen && held[r] >= 3)) &&
                CanMeldFromHandPlayer(i)) {
                Drag(i);
                return false;
            }
        }
        // Throw the lowest lone card, or else the last card of the hand.
        int lone = 0;
        for (int i = kDeckSize; i >= 1; --i) {
            if (Cards[i].Location == PlayerHand && (lone == 0 || held[Cards[i].Rank] == 1))
                lone = i;
        }
        Click(lone, Qt::RightButton);
        discards += Cards[lone].Location == DiscardPile;
        if (PlayerTurn && HasDrawn) window->ActionFor(Frmtable().MnuTakeBack)->trigger();
        return false;
    });
    EXPECT_TRUE(dealt);
    EXPECT_GT(draws, 0);
    EXPECT_GT(discards, 0);
    EXPECT_FALSE(Frmtable().PointsTotal[1].caption.empty());
    EXPECT_TRUE(platform.errors.empty());
}

}  // namespace
}  // namespace cardovia::testing
