#include "deck/CardTravel.h"
#include "deck/Stock.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

using Waits = std::vector<std::int64_t>;

TEST_F(TableTest, ACardTravelsFaceUpIntoThePlayersHandInTenMillisecondSteps) {
    AllInStock();
    SpeedDelay = 300;
    NextCardX[1] = 2480;
    MoveCardDeck(1, 77);
    EXPECT_EQ(sys.waits, (Waits{10, 10, 10, 10, 10}));  // four waypoints, then the card sound
    ASSERT_EQ(sys.sounds.size(), 1u);
    EXPECT_EQ(sys.sounds[0], (dir / "card.wav").string());
    EXPECT_EQ(Pic(77).image, 77);
    EXPECT_EQ(Pic(77).left, 2480);
    EXPECT_EQ(Pic(77).top, 8200);
    EXPECT_EQ(Cards[77].Location, Stock);  // the callers move the card
    EXPECT_EQ(NextCardX[1], 2480);
    EXPECT_EQ(DelayMs, 300);
}

TEST_F(TableTest, TheOpponentsCardTravelsFaceDownInTheChosenBack) {
    AllInStock();
    for (bool blue : {true, false}) {
        CardBack = blue;
        sys.waits.clear();
        NextCardX[2] = 1880;
        MoveCardDeck(2, 30);
        EXPECT_EQ(sys.waits, (Waits{10, 10, 10, 10}));
        EXPECT_EQ(Pic(30).image, blue ? 109 : 110);
        EXPECT_EQ(Pic(30).left, 1880);
        EXPECT_EQ(Pic(30).top, 120);
    }
}

TEST_F(TableTest, EachWaypointBringsTheTravellingCardToTheFront) {
    AllInStock();
    StackStock();
    std::int64_t lastZ = Pic(108).z;
    sys.onIdle = nullptr;
    MoveCardDeck(1, 5);
    EXPECT_GT(Pic(5).z, lastZ);
}

TEST_F(TableTest, TheStockIsStackedFaceDownInIndexOrderAndRecounted) {
    AllInStock();
    CardBack = true;
    Place(3, PlayerHand);
    Pic(3).visible = true;
    DelayMs = 40;
    StackStock();
    EXPECT_EQ(sys.waits, (Waits{40}));
    EXPECT_EQ(StockCount, 107);
    EXPECT_EQ(Frmtable().LblStock.caption, "Stock:- 107");
    EXPECT_EQ(Pic(1).left, 120);
    EXPECT_EQ(Pic(1).top, 240);
    EXPECT_EQ(Pic(2).left, 122);
    EXPECT_EQ(Pic(2).top, 238);
    EXPECT_EQ(Pic(4).left, 124);  // card 3 is not in the stock and takes no place
    EXPECT_EQ(Pic(108).image, 109);
    EXPECT_TRUE(Pic(108).visible);
    for (int i = 1; i < kDeckSize; ++i) {
        if (i != 3) {
            EXPECT_LT(Pic(i).z, Pic(108).z);
        }
    }
    EXPECT_EQ(DelayMs, SpeedDelay);
}

TEST_F(TableTest, AnEmptyStockIsShownEmpty) {
    AllInStock();
    for (int i = 1; i <= kDeckSize; ++i) Place(i, OpponentHand);
    StackStock();
    EXPECT_EQ(StockCount, 0);
    EXPECT_EQ(Frmtable().LblStock.caption, "Stock:- 0");
}

}  // namespace
}  // namespace cardovia::testing
