#include "player/FollowMouse.h"
#include "player/Hand.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class HandTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
    }
};

TEST_F(HandTest, FifteenCardsSpanTheirRowsInCardOrder) {
    // The player's cards are dealt in no particular order; the layout is by index.
    const int mine[15] = {100, 3, 60, 13, 44, 45, 8, 90, 91, 92, 70, 20, 30, 105, 1};
    for (int c : mine) Place(c, PlayerHand);
    for (int c = 21; c < 36; ++c) {
        if (c != 30) Place(c, OpponentHand);
    }
    Place(50, OpponentHand);
    SortHand(1);
    SortHand(2);
    std::vector<int> order;
    for (int c = 1; c <= kDeckSize; ++c) {
        if (Cards[c].Location == PlayerHand) order.push_back(c);
    }
    for (std::size_t k = 0; k < order.size(); ++k) {
        EXPECT_EQ(Pic(order[k]).left, 1680 + 400 * static_cast<int>(k));
        EXPECT_EQ(Pic(order[k]).top, 8200);
        EXPECT_EQ(Pic(order[k]).image, order[k]);
        if (k > 0) {
            EXPECT_GT(Pic(order[k]).z, Pic(order[k - 1]).z);
        }
    }
    EXPECT_EQ(Pic(order.back()).left, 7280);
    EXPECT_EQ(Pic(35).left, 1680 + 200 * 13);
    EXPECT_EQ(Pic(50).left, 4480);
    EXPECT_EQ(Pic(50).top, 120);
    EXPECT_EQ(HandCount[1], 15);
    EXPECT_EQ(HandCount[2], 15);
    EXPECT_EQ(HandPoints[1], 20 + 50 + 10 + 5 + 5 + 5 + 20 + 10 + 10 + 10 + 10 + 5 + 5 + 100 + 50);
    // Laying out the opponent's hand leaves the player's figures in the status bar.
    EXPECT_EQ(Frmtable().StatusPanels[3], "Points in Hand " + std::to_string(HandPoints[1]));
    EXPECT_EQ(Frmtable().StatusPanels[4], "Cards 15");
}

TEST_F(HandTest, EverySortingStartsBothHandsAtTheFirstPlace) {
    Place(40, OpponentHand);
    Place(41, PlayerHand);
    SortHand(2);
    EXPECT_EQ(NextCardX[2], 1880);
    SortHand(1);
    EXPECT_EQ(NextCardX[1], 2080);
    EXPECT_EQ(NextCardX[2], 1680);
}

TEST_F(HandTest, TheOpponentsCardsShowTheChosenBack) {
    Place(40, OpponentHand);
    CardBack = true;
    SortHand(2);
    EXPECT_EQ(Pic(40).image, 109);
    CardBack = false;
    SortHand(2);
    EXPECT_EQ(Pic(40).image, 110);
}

TEST_F(HandTest, APickedUpCardFollowsThePointerAndSnapsBackOnTheNextSorting) {
    Timer& timer = Frmtable().Timer1;
    FollowMouse.SetTimer(&timer);
    Place(60, PlayerHand);
    Place(61, PlayerHand);
    SortHand(1);
    sys.pointer = {2000, 8600};
    PickUpCard(61);
    EXPECT_TRUE(timer.enabled);
    sys.pointer = {2500, 7000};
    timer.Tick();
    // The card keeps its distance from the pointer: it moved as far as the pointer did.
    EXPECT_EQ(Pic(61).left, 2080 + 500);
    EXPECT_EQ(Pic(61).top, 8200 - 1600);
    SortHand(1);
    EXPECT_FALSE(FollowMouse.Enabled());
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(Pic(61).left, 2080);
    EXPECT_EQ(Pic(61).top, 8200);
    sys.pointer = {0, 0};
    timer.Tick();
    EXPECT_EQ(Pic(61).left, 2080);
}

}  // namespace
}  // namespace cardovia::testing
