#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/DiscardPile.h"
#include "rules/MeldTable.h"
#include "player/Hand.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class MovesTest : public PlayersTurnTest {
  protected:
    void SetUp() override {
        PlayersTurnTest::SetUp();
        MinMeld[1] = 15;
        MinMeld[2] = 15;
    }
    void Drawn() {
        MustDraw = false;
        HasDrawn = true;
    }
    static void Down(int card, i16 button) { PicCards_MouseDown(card, button, 0, 0, 0); }
    static void Click(int card, i16 button) {
        PicCards_MouseDown(card, button, 0, 0, 0);
        PicCards_MouseUp(card, button, 0, 0, 0);
    }
    // Lays a meld of the player's directly: a canasta to allow going out, for instance.
    static void Meld(int rank, std::initializer_list<int> cards) {
        BookMeld(1, rank, cards);
        for (int c : cards) {
            if (IsWildIndex(c)) Cards[c].Rank = static_cast<i16>(rank);  // joined by the player
        }
        MeldOpened[1] = true;
    }
    std::string Status() const { return Frmtable().StatusPanels[2]; }
};

TEST_F(MovesTest, PressesOutsideThePlayersTurnOrOnThaddocksCardsDoNothing) {
    Place(40, OpponentHand);
    Hand({41, 42});
    Down(40, kLeftButton);
    EXPECT_EQ(Status(), "");
    PlayerTurn = false;
    Down(100, kLeftButton);  // the stock
    EXPECT_EQ(HandCount[1], 2);
    EXPECT_TRUE(MustDraw);
}

TEST_F(MovesTest, TheStockGivesTwoCardsOnceATurn) {
    LearningMode = true;
    Hand({41});
    Script({60, 61});
    Down(100, kLeftButton);
    EXPECT_EQ(Cards[60].Location, PlayerHand);
    EXPECT_EQ(Cards[61].Location, PlayerHand);
    EXPECT_TRUE(HasDrawn);
    EXPECT_FALSE(MustDraw);
    EXPECT_EQ(Status(), "Player now Meld and Discard.");
    ASSERT_EQ(sys.dialogs.size(), 2u);
    EXPECT_EQ(sys.dialogs[0].message, "You will now be given two cards.");
    EXPECT_EQ(sys.dialogs[1].message,
              "You should now Meld if you wish  and can by pushing cards to Meld table and then "
              "discard a card by Right clicking on to it.");
    Down(100, kLeftButton);
    EXPECT_EQ(HandCount[1], 3);
}

TEST_F(MovesTest, ACardPressedAndReleasedAnywhereGoesOntoItsMeld) {
    Hand({89, 90, 91, 41, 42});
    Drawn();
    for (int k : {89, 90, 91}) {
        PicCards_MouseDown(k, kLeftButton, 0, 0, 0);
        sys.pointer = {9000, 200};  // dragged somewhere odd
        PicCards_MouseUp(k, kLeftButton, 0, 0, 0);
        EXPECT_EQ(Cards[k].Location, PlayerMelds) << k;
    }
    EXPECT_EQ(MeldTable[13].Count[1], 3);
    EXPECT_EQ(Frmtable().lblMelds[13].caption, "Pure:- 3 Wild:-0");
    EXPECT_EQ(MinMeld[1], -5);  // met by the second King; the third does not count
    EXPECT_TRUE(MeldOpened[1]);
    // A card that cannot be laid is refused with a beep.
    Down(41, kLeftButton);
    EXPECT_EQ(Status(), "You cannot Meld this card.");
    EXPECT_EQ(sys.beeps, 1);
    // A release without its own press lays nothing.
    PicCards_MouseUp(42, kLeftButton, 0, 0, 0);
    EXPECT_EQ(Cards[42].Location, PlayerHand);
}

TEST_F(MovesTest, WildCardsJoinWithinTheirQuota) {
    Meld(9, {57, 58});
    Hand({1, 5, 6, 20, 21});
    Drawn();
    // A second wild card on two naturals and one wild card is accepted...
    Meld(9, {7});
    Click(1, kLeftButton);
    EXPECT_EQ(SelectedWild, 1);
    EXPECT_TRUE(Pic(1).border);
    Click(57, kRightButton);
    EXPECT_EQ(Cards[1].Location, PlayerMelds);
    EXPECT_EQ(Cards[1].Rank, 9);
    EXPECT_TRUE(Cards[1].MeldedFromHand);
    EXPECT_EQ(MeldTable[9].WildCount[1], 2);
    EXPECT_EQ(SelectedWild, 0);
    EXPECT_FALSE(Pic(1).border);
    // ...but a third would outnumber the natural cards.
    Click(5, kLeftButton);
    Click(58, kRightButton);
    EXPECT_EQ(Status(), "Cannot add Wild card - Meld has quota.");
    EXPECT_EQ(Cards[5].Location, PlayerHand);
    EXPECT_EQ(SelectedWild, 0);
    EXPECT_FALSE(Pic(5).border);
    // A meld pressed with no wild card chosen.
    Down(57, kRightButton);
    EXPECT_EQ(Status(), "Player Melding and Discarding");
}

TEST_F(MovesTest, AWildCardIsChosenAndLetGoOfWithTheLeftButton) {
    Hand({2, 20, 21});
    Click(2, kLeftButton);  // neither drawing nor having drawn is needed to choose
    EXPECT_EQ(SelectedWild, 2);
    Click(2, kLeftButton);
    EXPECT_EQ(SelectedWild, 0);
    EXPECT_FALSE(Pic(2).border);
    // With one card and no canasta it cannot be chosen.
    Place(20, Stock);
    Place(21, Stock);
    SortHand(1);
    Click(2, kLeftButton);
    EXPECT_EQ(Status(), "Playeryou cannot add this Wild card - no Canasta");
    EXPECT_EQ(SelectedWild, 0);
}

TEST_F(MovesTest, BlackThreesAreLaidOnlyAsTheLastThreeCards) {
    Meld(12, {81, 82, 83, 84, 85, 86, 87});
    Hand({13, 14, 15, 20, 21});
    Drawn();
    Click(13, kLeftButton);
    EXPECT_EQ(Status(), "Player you can only Meld as 3/4 Threes - last cards hand.");
    Place(21, Stock);
    SortHand(1);
    Click(13, kLeftButton);  // four cards, three of them black threes, and a canasta
    for (int c : {13, 14, 15}) EXPECT_EQ(Cards[c].Location, PlayerMelds) << c;
    EXPECT_EQ(Cards[20].Location, PlayerHand);
    EXPECT_EQ(MeldTable[3].Count[1], 3);
    // A chosen wild card is refused by the black-three meld.
    Place(5, PlayerHand);
    SortHand(1);
    Click(5, kLeftButton);
    Click(13, kRightButton);
    EXPECT_EQ(Status(), "Cannot add Wild card - Meld has quota.");
}

TEST_F(MovesTest, APressOnAPileCardOfAnotherRankTakesNothing) {
    MeldOpened[1] = true;
    Meld(10, {65, 66, 67});
    Place(68, DiscardPile);
    Place(44, DiscardPile);
    TopDiscard = 68;
    ShuffleDiscard();
    Hand({20});
    Down(44, kLeftButton);
    EXPECT_EQ(Cards[68].Location, DiscardPile);
    EXPECT_TRUE(MustDraw);
    Down(68, kLeftButton);
    EXPECT_EQ(Cards[68].Location, PlayerMelds);
    EXPECT_EQ(Cards[44].Location, PlayerHand);
    EXPECT_TRUE(HasDrawn);
}

TEST_F(MovesTest, DiscardingWaitsForCompleteMeldsAndTheMinimum) {
    MinMeld[1] = 50;
    Hand({89, 90, 91, 92, 41, 42});
    Drawn();
    Click(89, kLeftButton);
    Click(42, kRightButton);
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].title, "Unfinished Meld");
    EXPECT_EQ(sys.dialogs[0].message,
              "You have an unfinished Meld - Complete it or click 'Take Back' button or Menu "
              "above.");
    EXPECT_EQ(sys.dialogs[0].caption0, "Right");
    EXPECT_TRUE(PlayerTurn);
    Click(90, kLeftButton);
    Click(91, kLeftButton);
    Click(42, kRightButton);  // three Kings are 30 of the 50 needed
    EXPECT_EQ(sys.dialogs.back().title, "Minimum Meld not met.");
    EXPECT_TRUE(PlayerTurn);
    Click(92, kLeftButton);
    Hand({97, 98, 99});
    for (int ace : {97, 98, 99}) Click(ace, kLeftButton);
    EXPECT_TRUE(MeldOpened[1]);
    Click(42, kRightButton);
    EXPECT_FALSE(PlayerTurn);
    EXPECT_EQ(TopDiscard, 42);
    EXPECT_EQ(Status(), "Thaddock is now taking his turn.");
    EXPECT_FALSE(Cards[89].MeldedFromHand);
}

TEST_F(MovesTest, TheLastCardWithoutACanastaStaysButTheTurnPasses) {
    Hand({41});
    Drawn();
    LearningMode = true;
    Click(41, kLeftButton);
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].message, "You do not have a Canasta so cannot go out.");
    Click(41, kRightButton);
    EXPECT_EQ(sys.dialogs[1].title, "Cannot Discard");
    EXPECT_EQ(sys.dialogs[1].message,
              "You cannot discard last card with no Canasta, Thaddock will now play");
    EXPECT_EQ(sys.dialogs[1].caption0, "O.K.");
    EXPECT_EQ(sys.dialogs[1].picture, 2);
    EXPECT_EQ(Cards[41].Location, PlayerHand);
    EXPECT_FALSE(PlayerTurn);
}

TEST_F(MovesTest, LayingTheLastCardEndsTheTurnAtOnce) {
    Meld(12, {81, 82, 83, 84, 85, 86, 87});
    Hand({88});
    Drawn();
    Click(88, kLeftButton);
    EXPECT_EQ(HandCount[1], 0);
    EXPECT_FALSE(PlayerTurn);
    EXPECT_FALSE(MustDraw);
    EXPECT_FALSE(HasDrawn);
}

TEST_F(MovesTest, ASecondClickDuringADiscardDoesNotDiscardAgain) {
    MeldOpened[1] = true;
    Hand({41, 50, 60});
    Drawn();
    int extra = 0;
    sys.onWait = [&] {
        if (extra++ == 0) Click(50, kRightButton);  // a quick second right click
    };
    Click(41, kRightButton);
    EXPECT_EQ(Cards[41].Location, DiscardPile);
    EXPECT_EQ(Cards[50].Location, PlayerHand);
    EXPECT_EQ(CountAt(DiscardPile), 1);
    EXPECT_GT(extra, 0);
}

TEST_F(MovesTest, TakeBackReturnsTheTurnsCardsAndChargesForThePile) {
    // The player takes a frozen pile topped by a Queen with one Queen and a Joker in hand.
    Place(30, DiscardPile);
    Place(82, DiscardPile);
    TopDiscard = 82;
    ShuffleDiscard();
    MinMeld[1] = 90;
    Hand({83, 1, 44});
    Down(82, kLeftButton);
    ASSERT_EQ(Cards[82].Location, PlayerMelds);
    ASSERT_EQ(Cards[1].Location, PlayerMelds);
    ASSERT_EQ(Cards[30].Location, PlayerHand);
    EXPECT_FALSE(MeldOpened[1]);
    const int minimumBefore = MinMeld[1];
    MnuTakeBack_Click();
    EXPECT_EQ(Cards[82].Location, DiscardPile);
    EXPECT_EQ(Cards[83].Location, PlayerHand);
    EXPECT_EQ(Cards[30].Location, PlayerHand);  // what went into the hand stays there
    EXPECT_EQ(Cards[1].Location, PlayerHand);
    EXPECT_EQ(Cards[1].Rank, kJoker);
    EXPECT_EQ(Cards[1].Value, 50);
    EXPECT_EQ(MeldTable[12].Count[1], 0);
    EXPECT_FALSE(MeldTable[12].Melded[1]);
    EXPECT_EQ(MeldTable[12].WildCount[1], 0);
    EXPECT_EQ(MinMeld[1], minimumBefore + 10 + 10 + 50);
    EXPECT_EQ(MinMeld[1], 90);
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].title, "Cards taken back");
    EXPECT_EQ(sys.dialogs[0].message,
              "Player you lose 50 points for taking Discard and failing to meet Minimum Meld");
    EXPECT_EQ(TakeBackPenalty, 50);
    EXPECT_EQ(MeldPoints[1], -50);
    EXPECT_TRUE(HasDrawn);
    EXPECT_TRUE(MustDraw);
}

TEST_F(MovesTest, TakeBackOfATwoCardMeldAfterOpeningShowsNoDialog) {
    Meld(13, {89, 90, 91});
    Hand({41, 42, 43, 3});
    Drawn();
    Click(41, kLeftButton);
    Click(42, kLeftButton);
    Click(3, kLeftButton);
    Click(89, kRightButton);  // the Joker joins the Kings
    ASSERT_EQ(Cards[3].Location, PlayerMelds);
    ASSERT_EQ(MeldTable[7].Count[1], 2);
    MnuTakeBack_Click();
    for (int c : {41, 42, 3}) EXPECT_EQ(Cards[c].Location, PlayerHand) << c;
    EXPECT_EQ(Cards[3].Rank, kJoker);
    EXPECT_EQ(MeldTable[13].WildCount[1], 0);
    EXPECT_EQ(MeldTable[13].Count[1], 3);
    EXPECT_EQ(Cards[89].Location, PlayerMelds);  // laid in an earlier turn
    EXPECT_TRUE(sys.dialogs.empty());
    EXPECT_EQ(TakeBackPenalty, 0);
    // With nothing laid, Take Back still lets the player discard.
    HasDrawn = false;
    MnuTakeBack_Click();
    EXPECT_TRUE(HasDrawn);
}

}  // namespace
}  // namespace cardovia::testing
