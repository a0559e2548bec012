#include "rules/DiscardPile.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class PileTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
    }
    void Pile(std::initializer_list<int> cards, int top) {
        for (int c : cards) Place(c, DiscardPile);
        TopDiscard = static_cast<i16>(top);
        ShuffleDiscard();
    }
};

TEST_F(PileTest, ThePileIsDrawnInIndexOrderWithTheTopCardLast) {
    Pile({17, 89, 81}, 81);  // a Queen discarded onto a Four and a King
    EXPECT_EQ(Pic(17).left, 240);
    EXPECT_EQ(Pic(17).top, 8280);
    EXPECT_EQ(Pic(81).left, 241);
    EXPECT_EQ(Pic(89).left, 242);
    EXPECT_EQ(Pic(89).top, 8310);
    EXPECT_EQ(Pic(81).top, 8325);
    EXPECT_GT(Pic(81).z, Pic(89).z);
    EXPECT_EQ(DiscardCount, 3);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Num Cards 3");
}

TEST_F(PileTest, AnEmptyPileCountsNothing) {
    DiscardCount = 4;
    ShuffleDiscard();
    EXPECT_EQ(DiscardCount, 0);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Num Cards 0");
}

TEST_F(PileTest, TheStateDependsOnTheSideTheTopCardAndWhatLiesBelow) {
    struct Case {
        std::vector<int> cards;
        int top;
        bool opened;
        PileStates state;
        const char* caption;
    };
    const Case cases[] = {
        {{}, 0, false, PileStates::Frozen, "Frozen 0"},
        {{}, 0, true, PileStates::Open, "Cards 0"},
        {{40, 41}, 41, true, PileStates::Open, "Cards 2"},
        {{40, 41}, 41, false, PileStates::Frozen, "Frozen 2"},
        {{40, 2}, 2, true, PileStates::Blocked, "Blocked 2"},      // a Joker on top
        {{40, 7}, 7, true, PileStates::Blocked, "Blocked 2"},      // a Two on top
        {{40, 13}, 13, true, PileStates::Blocked, "Blocked 2"},    // a black three on top
        {{40, 106}, 106, true, PileStates::Blocked, "Blocked 2"},  // a red three on top
        {{40, 2}, 2, false, PileStates::Frozen, "Frozen 2"},       // not opened: never Blocked
        {{2, 40}, 40, true, PileStates::Frozen, "Frozen 2"},       // wild card lower down
        {{14, 40}, 40, true, PileStates::Frozen, "Frozen 2"},      // black three lower down
        {{40, 105}, 40, true, PileStates::Frozen, "Frozen 2"},     // red three lower down
    };
    const std::uint32_t colour[] = {0x00FF00, 0x00FFFF, 0x0000FF};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption + std::string(" top ") + std::to_string(c.top));
        AllInStock();
        for (int card : c.cards) Place(card, DiscardPile);
        TopDiscard = static_cast<i16>(c.top);
        ShuffleDiscard();
        MeldOpened[1] = c.opened;
        MeldOpened[2] = !c.opened;
        DiscardFrozen(1);
        EXPECT_EQ(PileState, c.state);
        EXPECT_EQ(Frmtable().LblDiscard.caption, c.caption);
        const int which = c.state == PileStates::Open ? 0 : c.state == PileStates::Frozen ? 1 : 2;
        EXPECT_EQ(Frmtable().Shape1.borderColor, colour[which]);
    }
}

}  // namespace
}  // namespace cardovia::testing
