#include "player/HandHelp.h"
#include "player/HoverHints.h"
#include "player/Hand.h"
#include "rules/DiscardPile.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class HelpTest : public PlayersTurnTest {
  protected:
    void SetUp() override {
        PlayersTurnTest::SetUp();
        MinMeld[1] = 50;
    }
    void Pile(std::initializer_list<int> cards, int top, bool opened) {
        for (int c : cards) Place(c, DiscardPile);
        TopDiscard = static_cast<i16>(top);
        MeldOpened[1] = opened;
        ShuffleDiscard();
        DiscardFrozen(1);
    }
    using Lines = std::vector<std::string>;
    static const Lines& Headings() { return Frmtable().lstHeading.items; }
    static const Lines& Column(int i) { return Frmtable().lstValue[i].items; }
};

TEST_F(HelpTest, BeforeTheDealOnlyASingleLineIsShown) {
    GameInProgress = false;
    getList();
    getList();
    EXPECT_EQ(Headings(), Lines{"Come back after deal to see hand details"});
    EXPECT_TRUE(Column(0).empty());
    EXPECT_TRUE(Frmtable().framHand.visible);
    cmdFinished_Click();
    EXPECT_FALSE(Frmtable().framHand.visible);
}

TEST_F(HelpTest, RowsGoWildCardsFirstWithTheirVerdicts) {
    Hand({89, 90, 91, 41, 42, 1});
    Pile({60}, 60, true);
    getList();
    getList();  // shown once however often it is asked for
    EXPECT_EQ(Column(0), (Lines{"Jokers", "Sevens", "Kings"}));
    EXPECT_EQ(Column(1), (Lines{"1", "2", "3"}));
    EXPECT_EQ(Column(3), (Lines{"Wild cards", "With Wild", "Yes"}));
    EXPECT_EQ(Headings(), (Lines{" The Up Discard card is Nine Points valueue 10"}));
}

TEST_F(HelpTest, AFrozenPileWithTwoOfItsRankInHandMayBeTaken) {
    Hand({66, 67, 13, 20});
    Pile({65}, 65, false);
    getList();
    EXPECT_EQ(Headings(), (Lines{"You can take Discard - value with cards in hand 30",
                                 " You must meet minimum meld points of 50",
                                 " The Up Discard card is Ten Points valueue 10"}));
    EXPECT_TRUE(CanTakePile);
    EXPECT_EQ(Column(0), (Lines{"Threes", "Fours", "Tens"}));
    EXPECT_EQ(Column(3), (Lines{"Black Three", "No", "No"}));
}

TEST_F(HelpTest, AnOpenPileMayBeTakenWithOneOfItsRankAndATwo) {
    Hand({26, 5, 90});
    Pile({25}, 25, true);
    CanTakePile = false;
    getList();
    EXPECT_EQ(Headings(), (Lines{" The Up Discard card is Five Points valueue 5",
                                 "You can Meld Discard with Two - points valueue 30"}));
    EXPECT_TRUE(CanTakePile);
}

TEST_F(HelpTest, HoverHintsFollowTheTurn) {
    Hand({41, 5});
    Place(30, OpponentHand);
    Pile({60}, 60, true);
    PicCards_MouseMove(100, 0, 0, 0, 0);
    EXPECT_EQ(Pic(100).mouseIcon, kPointerMayClick);
    EXPECT_EQ(Pic(100).toolTip, "Player left click to take two cards.");
    PicCards_MouseMove(41, 0, 0, 0, 0);
    EXPECT_EQ(Pic(41).mouseIcon, kPointerMayNot);
    EXPECT_EQ(Pic(41).toolTip, "Player take Stock or Discard card first.");
    PicCards_MouseMove(60, 0, 0, 0, 0);  // an open pile: unchanged
    EXPECT_EQ(Pic(60).toolTip, "");
    PicCards_MouseMove(30, 0, 0, 0, 0);  // Thaddock's card: nothing
    EXPECT_EQ(Pic(30).mousePointer, Pointer::Default);

    MustDraw = false;
    PicCards_MouseMove(100, 0, 0, 0, 0);
    EXPECT_EQ(Pic(100).mouseIcon, kPointerMayNot);
    EXPECT_EQ(Pic(100).toolTip, "Meld or Discard now.");
    PicCards_MouseMove(5, 0, 0, 0, 0);
    EXPECT_EQ(Pic(5).toolTip, "Left click and then click Meld to add to.");
    PicCards_MouseMove(41, 0, 0, 0, 0);
    EXPECT_EQ(Pic(41).mouseIcon, kPointerGrasp);
    EXPECT_EQ(Pic(41).toolTip, "Push card to Meld table - Right Click Discard.");
    Place(89, PlayerMelds);
    PicCards_MouseMove(89, 0, 0, 0, 0);
    EXPECT_EQ(Pic(89).toolTip, "First left Click on Wild card to Add.");
    SelectedWild = 5;
    PicCards_MouseMove(89, 0, 0, 0, 0);
    EXPECT_EQ(Pic(89).toolTip, "Right Click to add the Wild card.");
    PlayerTurn = false;
    Pic(41).toolTip.clear();
    PicCards_MouseMove(41, 0, 0, 0, 0);
    EXPECT_EQ(Pic(41).toolTip, "");
}

TEST_F(HelpTest, HoveringOverAFrozenOrBlockedPileTellsWhetherItMayBeTaken) {
    Hand({66, 20});
    Pile({65}, 65, false);
    PicCards_MouseMove(65, 0, 0, 0, 0);
    EXPECT_EQ(Pic(65).mouseIcon, kPointerMayNot);
    EXPECT_EQ(Pic(65).toolTip, "Cannot take - take two Stock Cards.");
    Hand({67});
    PicCards_MouseMove(65, 0, 0, 0, 0);
    EXPECT_EQ(Pic(65).mouseIcon, kPointerMayClick);
    EXPECT_EQ(Pic(65).toolTip, "Player left click to take card.");
    Place(2, DiscardPile);
    Pile({}, 2, true);
    PicCards_MouseMove(2, 0, 0, 0, 0);
    EXPECT_EQ(Pic(2).toolTip, "Player discard Blocked - take two Stock cards.");
}

TEST_F(HelpTest, LearningModeSaysItIsOnAndOffAndThenStaysQuiet) {
    MnuLearn_Click();
    EXPECT_TRUE(LearningMode);
    EXPECT_EQ(Frmtable().MnuLearn.caption, "Learning Mode On");
    EXPECT_EQ(sys.dialogs.back().message,
              "Learning Mode is now on. Click button again to turn off");
    EXPECT_EQ(sys.dialogs.back().title, "Learning Message");
    MnuLearn_Click();
    EXPECT_FALSE(LearningMode);
    EXPECT_EQ(Frmtable().MnuLearn.caption, "Learning Mode Off");
    EXPECT_EQ(sys.dialogs.back().message,
              "Learning Mode is now off. Click button again to turn on");
    EXPECT_EQ(sys.dialogs.back().caption0, "Continue");
    const auto shown = sys.dialogs.size();
    Hand({41});
    Place(40, DiscardPile);
    PicCards_MouseMove(41, 0, 0, 0, 0);
    EXPECT_EQ(sys.dialogs.size(), shown);
}

}  // namespace
}  // namespace cardovia::testing
