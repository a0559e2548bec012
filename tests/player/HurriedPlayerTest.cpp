// A hurried player: Take Back pressed again, or a card pressed, while cards
// are still being laid out, and a chosen wild card that the pile has used up.
// Each case was found by the soak test of the real window.

#include "player/Hand.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/DiscardPile.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class HurriedPlayer : public PlayersTurnTest {
  protected:
    static void Drawn() {
        MustDraw = false;
        HasDrawn = true;
    }
    static void Click(int card, i16 button) {
        PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
        PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
    }
    // A meld of the player's laid in an earlier turn.
    static void OldMeld(int rank, std::initializer_list<int> cards) {
        for (int c : cards) {
            Place(c, PlayerMelds);
            Cards[c].MeldRank[kPlayer] = static_cast<i16>(rank);
            ++MeldTable[rank].Count[kPlayer];
        }
        MeldTable[rank].Melded[kPlayer] = true;
        if (MeldTable[rank].Count[kPlayer] >= 7) HasCanasta[kPlayer] = true;
        MeldOpened[kPlayer] = true;
    }
    static void TopOfPile(int card) {
        Place(card, DiscardPile);
        TopDiscard = static_cast<i16>(card);
        ShuffleDiscard();
    }
    // The cards that lie on the player's meld of a rank, wild cards apart.
    static std::pair<int, int> Holding(int rank) {
        int cards = 0;
        int wild = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location != PlayerMelds || Cards[i].MeldRank[kPlayer] != rank) continue;
            ++cards;
            wild += IsWildIndex(i);
        }
        return {cards, wild};
    }
    static void ExpectBooksMatchTheTable(int rank) {
        const auto [cards, wild] = Holding(rank);
        EXPECT_EQ(MeldTable[rank].Count[kPlayer], cards) << "rank " << rank;
        EXPECT_EQ(MeldTable[rank].WildCount[kPlayer], wild) << "rank " << rank;
    }
};

// ---- a wild card chosen, then used up by the pile ----

TEST_F(HurriedPlayer, AChosenWildCardThatMadeUpAPileMeldIsNotBookedOnASecondMeld) {
    OldMeld(9, {57, 58, 59});
    TopOfPile(89);  // a King
    Hand({90, 1, 20, 30, 35});
    Click(1, kLeftButton);  // the Joker is chosen...
    ASSERT_EQ(SelectedWild, 1);
    Click(89, kLeftButton);  // ...and the pile's King with the hand's King takes it along
    ASSERT_EQ(Cards[1].Location, PlayerMelds);
    ASSERT_EQ(Cards[1].MeldRank[kPlayer], 13);
    EXPECT_EQ(SelectedWild, 0);
    EXPECT_FALSE(Pic(1).border);
    // A right click on the Nines now has no wild card to add.
    Click(57, kRightButton);
    EXPECT_EQ(Cards[1].MeldRank[kPlayer], 13);
    ExpectBooksMatchTheTable(13);
    ExpectBooksMatchTheTable(9);
    EXPECT_EQ(MeldTable[9].Count[kPlayer], 3);
}

// ---- Take Back ----

TEST_F(HurriedPlayer, AWildCardTakenBackLeavesAPureCanastaShownAndScoredAsPure) {
    OldMeld(9, {57, 58, 59, 60, 61, 62, 63});
    Hand({1, 2, 89, 90, 20, 30, 35});
    Drawn();
    Click(1, kLeftButton);
    Click(57, kRightButton);
    ASSERT_EQ(Frmtable().lblMelds[9].caption, " Mixed Canasta 8 Wild:-1");
    // Two Kings make a short meld, so the discard is refused and taken back.
    Click(89, kLeftButton);
    Click(90, kLeftButton);
    ASSERT_EQ(MeldTable[13].Count[kPlayer], 2);
    MnuTakeBack_Click();
    EXPECT_EQ(Cards[1].Location, PlayerHand);
    EXPECT_EQ(Frmtable().lblMelds[9].caption, " Pure Canasta 7 Wild:-0");
    EXPECT_EQ(PureCanastas[kPlayer], 1);
    EXPECT_EQ(MixedCanastas[kPlayer], 0);
    ExpectBooksMatchTheTable(9);
}

TEST_F(HurriedPlayer, TakeBackPressedAgainWhileCardsGoBackReturnsEachCardOnce) {
    MinMeld[kPlayer] = 50;
    TopOfPile(19);  // a Four; the player holds two more
    Hand({17, 18, 30, 35, 40});
    Click(19, kLeftButton);
    ASSERT_EQ(MeldTable[4].Count[kPlayer], 3);
    ASSERT_FALSE(MeldOpened[kPlayer]);
    // The second press comes while the pile's Four is on its way back.
    int presses = 0;
    sys.onWait = [&] {
        if (presses == 0 && Cards[19].Location == PlayerMelds && MeldTable[4].Count[kPlayer] == 0) {
            ++presses;
            MnuTakeBack_Click();
        }
    };
    MnuTakeBack_Click();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(Cards[19].Location, DiscardPile);
    EXPECT_EQ(MeldTable[4].Count[kPlayer], 0);
    EXPECT_EQ(TakeBackPenalty, 50);
    ExpectBooksMatchTheTable(4);
}

TEST_F(HurriedPlayer, PressesWhileTakeBackLaysOutTheTableAreNotCounted) {
    MinMeld[kPlayer] = 50;
    TopOfPile(19);
    Hand({17, 18, 30, 35, 40});
    Click(19, kLeftButton);
    // A press on the stock and one on a hand card at every pause of the Take Back.
    sys.onWait = [&] {
        PicCards_MouseDown(100, kLeftButton, 0, 0, 0);
        Click(30, kRightButton);
    };
    MnuTakeBack_Click();
    sys.onWait = nullptr;
    EXPECT_EQ(HandCount[kPlayer], 5);
    EXPECT_EQ(Cards[100].Location, Stock);
    EXPECT_EQ(Cards[30].Location, PlayerHand);
    EXPECT_TRUE(PlayerTurn);
    ExpectBooksMatchTheTable(4);
}

}  // namespace
}  // namespace cardovia::testing
