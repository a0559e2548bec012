// The real window shows what the form says and keys reach its menus; the soak
// plays whole games on it with the mouse.

#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Card.h"
#include "model/Table.h"
#include "support/WindowTest.h"
#include "ui/Form.h"
#include "model/Preferences.h"
#include "ui/qt/CardArt.h"
#include "ui/qt/CardPalette.h"
#include "ui/qt/ControlItems.h"
#include "ui/qt/TableView.h"

#include <QAction>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <map>

namespace cardovia::testing {
namespace {

using TableWindowTest = WindowTest;

TEST_F(TableWindowTest, ItStartsWithTheDeckFaceDownAndKeysReachTheMenus) {
    window->Sync();
    int shown = 0;
    for (QGraphicsItem* item : window->view()->scene()->items()) {
        auto* card = dynamic_cast<qt::CardItem*>(item);
        if (!card) continue;
        ++shown;
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->shownImage(), 110);
        EXPECT_EQ(card->pos(), QPointF(Pic(card->index()).left, Pic(card->index()).top));
    }
    EXPECT_EQ(shown, 108);
    EXPECT_EQ(window->windowTitle(), "Cardovia");
    EXPECT_EQ(window->StatusPanel(2)->text(), " Press F2 or use Menu for new game");
    // F3 opens Hand Help; while the Play menu is off (a deal), its keys are off too.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_TRUE(Frmtable().framHand.visible);
    EXPECT_FALSE(window->ActionFor(Frmtable().MnuTakeBack)->isEnabled());
    Frmtable().MnuPlay.enabled = false;
    window->Sync();
    EXPECT_FALSE(window->ActionFor(Frmtable().MnuNew)->isEnabled());
}

TEST_F(TableWindowTest, ClicksDrawFromTheStockAndLayACardOfTheHand) {
    SetUpDeck();
    GameInProgress = PlayerTurn = MustDraw = true;
    window->Sync();
    const QGraphicsItem* top = window->view()->scene()->itemAt(QPointF(600, 600), QTransform());
    ASSERT_TRUE(dynamic_cast<const qt::CardItem*>(top));
    const QPoint at = window->view()->mapFromScene(top->sceneBoundingRect().center());
    QTest::mouseClick(window->view()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(HandCount[kPlayer], 2);
    window->Sync();
    EXPECT_EQ(window->StatusPanel(2)->text(), "Player now Meld and Discard.");
    // Three Kings in the hand: the first pressed is picked up, and let go it is laid on the table.
    for (int king : {89, 90, 91}) Cards[king].Location = PlayerHand;
    SortHand(kPlayer);
    window->Sync();
    QTest::mouseClick(window->view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      window->view()->mapFromScene(QPointF(Pic(89).left + 100, Pic(89).top + 300)));
    EXPECT_EQ(Cards[89].Location, PlayerMelds);
    EXPECT_FALSE(FollowMouse.Enabled());
}

TEST_F(TableWindowTest, KeysDrawFromTheStockAndLayACardOfTheHand) {
    SetUpDeck();
    GameInProgress = PlayerTurn = MustDraw = true;
    window->Sync();
    // S draws two; its repeats while held and a second press draw nothing.
    QTest::sendKeyEvent(QTest::Press, window->view(), Qt::Key_S, 's', Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, "s", true);
    QApplication::sendEvent(window->view(), &repeat);
    EXPECT_EQ(HandCount[kPlayer], 2);
    QTest::keyClick(window->view(), Qt::Key_S);
    EXPECT_EQ(HandCount[kPlayer], 2);
    for (int king : {89, 90, 91}) Cards[king].Location = PlayerHand;
    SortHand(kPlayer);
    // Tab reaches the hand (the melds' row is empty), Right the first King, and Enter lays it.
    QTest::keyClick(window->view(), Qt::Key_Tab);
    int n = 0;
    while (n++ < 10 && Pic(89).focused == false) QTest::keyClick(window->view(), Qt::Key_Right);
    ASSERT_TRUE(Pic(89).focused);
    QTest::keyClick(window->view(), Qt::Key_Return);
    EXPECT_EQ(Cards[89].Location, PlayerMelds);
}

TEST(CardArtTest, FourColourSuitsInkClubsGreenAndDiamondsBlueFromTheNextCardDrawn) {
    // The ink most of a Two's pips are drawn in: Red, blacK, Green or Blue.
    const std::pair<char, QColor> inks[] = {{'R', qt::art::kRedInk},
                                            {'K', qt::art::kBlackInk},
                                            {'G', qt::art::kClubGreen},
                                            {'B', qt::art::kDiamondBlue}};
    std::string drawn;
    for (bool four : {false, true}) {
        FourColourSuits = four;
        for (int two : {5, 7, 9, 11}) {  // clubs, diamonds, hearts, spades
            const QImage image = qt::CardPixmap(two, QSize(142, 192), 1).toImage();
            std::map<char, int> count;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    for (const auto& [name, ink] : inks) {
                        if (std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                                std::abs(c.blue() - ink.blue()) <
                            30)
                            ++count[name];
                    }
                }
            }
            drawn += std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                         return a.second < b.second;
                     })->first;
        }
        drawn += ' ';
    }
    FourColourSuits = false;
    EXPECT_EQ(drawn, "KRRK GBRK ");
}

}  // namespace
}  // namespace cardovia::testing
