#include "deck/Dealing.h"
#include "deck/Drawing.h"
#include "support/TestTable.h"

#include <numeric>

namespace cardovia::testing {
namespace {

class DealTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
    }
    // Thirty naturals of ranks Four..King, with no red three among them.
    static std::vector<int> Naturals(int from) {
        std::vector<int> v(30);
        std::iota(v.begin(), v.end(), from);
        return v;
    }
    void ScriptDeal(const std::vector<int>& cards) {
        for (int c : cards) sys.randomScript.push_back(c / 108.0);
    }
};

TEST_F(DealTest, TheSideThatDoesNotDealGetsTheFirstCardAndFifteenEach) {
    ScriptDeal(Naturals(20));
    Script({60});
    DealEm(2);
    // Dealer 2: the player's hand got cards 20, 22, 24...
    EXPECT_EQ(Cards[20].Location, PlayerHand);
    EXPECT_EQ(Cards[21].Location, OpponentHand);
    EXPECT_EQ(Cards[48].Location, PlayerHand);
    EXPECT_EQ(HandCount[1], 15);
    EXPECT_EQ(HandCount[2], 15);
    EXPECT_EQ(StockCount, 108 - 30 - 1);
    EXPECT_EQ(TopDiscard, 60);
    EXPECT_EQ(DiscardCount, 1);
    EXPECT_TRUE(GameInProgress);
    EXPECT_TRUE(Frmtable().MnuPlay.enabled);
    // Every dealt card travels in 10 ms steps; the turn-up takes three 500 ms steps.
    EXPECT_EQ(sys.TotalWaited(), 15 * 5 * 10 + 15 * 4 * 10 + 3 * 500 + 150);
    EXPECT_TRUE(sys.dialogs.empty());

    ResetModel();
    AllInStock();
    ScriptDeal(Naturals(20));
    Script({60});
    DealEm(1);
    EXPECT_EQ(Cards[20].Location, OpponentHand);
    EXPECT_EQ(Cards[21].Location, PlayerHand);
}

TEST_F(DealTest, AWildCardTurnedUpStaysFrozenUnderTheNextCard) {
    LearningMode = true;
    ScriptDeal(Naturals(20));
    Script({1, 60});
    DealEm(2);
    EXPECT_EQ(Cards[1].Location, DiscardPile);
    EXPECT_EQ(TopDiscard, 60);
    EXPECT_EQ(DiscardCount, 2);
    EXPECT_EQ(StockCount, 108 - 30 - 2);
    EXPECT_EQ(Pic(1).top, 8280 - 300);      // the Joker stands out
    EXPECT_EQ(Pic(60).top, 8280 + 2 * 15);  // the top card in the slot after the last
    EXPECT_GT(Pic(60).z, Pic(1).z);
    EXPECT_EQ(PileState, PileStates::Frozen);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Frozen 2");
    EXPECT_EQ(Frmtable().Shape1.borderColor, 0x00FFFFu);
    EXPECT_EQ(Frmtable().StatusPanels[2], "Wild or Red 3 turned up  - another card dealt");
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].message,
              "Wild or Red 3 turned up - another card  will be dealt and Discard pile Frozen.");
    EXPECT_EQ(sys.dialogs[0].title, "Learning Message");
    EXPECT_EQ(sys.dialogs[0].caption0, "Continue");
}

TEST_F(DealTest, ABlackThreeTurnedUpIsANaturalCardWithNoMessage) {
    ScriptDeal(Naturals(20));
    Script({13});
    DealEm(1);
    EXPECT_EQ(TopDiscard, 13);
    EXPECT_EQ(Frmtable().StatusPanels[2], "");
}

TEST_F(DealTest, TurningUpGoesOnUntilANaturalCardShows) {
    // Eleven wild cards in a row: the pile still gets a natural top card.
    ScriptDeal(Naturals(20));
    Script({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 105, 70});
    DealEm(2);
    EXPECT_EQ(TopDiscard, 70);
    EXPECT_EQ(DiscardCount, 14);
    EXPECT_EQ(Cards[105].Location, DiscardPile);  // a red three turned up stays in the pile
    EXPECT_EQ(Pic(70).top, 8280 + 14 * 15);
}

TEST_F(DealTest, RedThreesDealtGoToTheBoardAndAreReplacedEvenByAThirdOne) {
    std::vector<int> cards = Naturals(20);
    cards[0] = 105;  // the player's first and second cards are red threes
    cards[2] = 106;
    ScriptDeal(cards);
    Script({60});
    Script({107, 50, 51});  // the first replacement is itself a red three
    DealEm(2);
    for (int c : {105, 106, 107}) EXPECT_EQ(Cards[c].Location, PlayerRedThrees) << c;
    EXPECT_EQ(Cards[50].Location, PlayerHand);
    EXPECT_EQ(Cards[51].Location, PlayerHand);
    EXPECT_EQ(HandCount[1], 15);
    // The board is laid out face up in index order, top to bottom.
    EXPECT_EQ(Pic(105).left, 480);
    EXPECT_EQ(Pic(105).top, 5280);
    EXPECT_EQ(Pic(106).top, 5330);
    EXPECT_EQ(Pic(107).top, 5380);
    EXPECT_EQ(Pic(107).image, 107);
    EXPECT_EQ(RedThreeCount[1], 3);
    EXPECT_EQ(Frmtable().lblMelds[14].caption, "Pts. -300");
    EXPECT_EQ(StockCount, 108 - 30 - 1 - 3);
}

class DrawTest : public DealTest {};

TEST_F(DrawTest, TheOpponentsRedThreeShowsFaceUpOnItsBoardAfterANudge) {
    SpeedDelay = 300;
    Script({108, 40});
    TakeCardDeck(2);
    EXPECT_EQ(Cards[108].Location, OpponentRedThrees);
    EXPECT_EQ(Pic(108).image, 108);
    EXPECT_EQ(Pic(108).left, 480);
    EXPECT_EQ(Pic(108).top, 2280);
    EXPECT_EQ(Cards[40].Location, OpponentHand);
    EXPECT_EQ(Pic(40).image, CardBackImage());
    EXPECT_EQ(HandCount[2], 1);
    // The nudge pauses SpeedDelay + 150; the board is laid out at SpeedDelay + 200.
    const auto& w = sys.waits;
    EXPECT_NE(std::find(w.begin(), w.end(), 450), w.end());
    EXPECT_NE(std::find(w.begin(), w.end(), 500), w.end());
    EXPECT_EQ(DelayMs, 300);
}

TEST_F(DrawTest, DrawingTheLastCardEmptiesTheStockAndAnEmptyStockGivesNothing) {
    for (int i = 1; i <= kDeckSize; ++i) Place(i, OpponentHand);
    Place(44, Stock);
    Place(105, Stock);
    StockCount = 2;
    Place(45, PlayerHand);
    Script({44});
    TakeCardDeck(1);
    EXPECT_EQ(Cards[44].Location, PlayerHand);
    EXPECT_EQ(StockCount, 1);
    Script({105});
    TakeCardDeck(1);
    // The red three goes to the board; its replacement draw finds the stock empty.
    EXPECT_EQ(Cards[105].Location, PlayerRedThrees);
    EXPECT_EQ(StockCount, 0);
    EXPECT_EQ(Frmtable().LblStock.caption, "Stock:- 0");
    EXPECT_EQ(HandCount[1], 2);
    TakeTwoFromStock(1);
    EXPECT_EQ(HandCount[1], 2);
}

}  // namespace
}  // namespace cardovia::testing
