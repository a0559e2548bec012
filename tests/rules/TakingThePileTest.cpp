#include "rules/MeldTable.h"
#include "rules/RulesTable.h"
#include "rules/TakingThePile.h"
#include "ui/Errors.h"

#include <utility>
#include <vector>

namespace cardovia::testing {
namespace {

constexpr int kJoker1 = 1;
constexpr int kTwo1 = 5;
constexpr int kBlackThree1 = 13;
constexpr int kFour1 = 17;
constexpr int kFive1 = 25;
constexpr int kSeven1 = 41;
constexpr int kQueen1 = 81;
constexpr int kKing1 = 89;
constexpr int kRedThree1 = 105;

constexpr int kQueen = 12;

constexpr const char* kTwoInHand = "Has two cards in hand same as discard card so may take.";
constexpr const char* kOneAndWildFrozen =
    "Has one card in hand same value as discard card plus one or more wild cards so may take.";
constexpr const char* kOneAndWildOpen =
    "Has one cards in hand same as discard card plus one or more wild cards so may take.";
constexpr const char* kMatchesMeld = "Can Meld the discard card so may take it.";

using Pauses = std::vector<std::int64_t>;

class TakingThePileTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        LearningMode = true;
        GameInProgress = true;
    }
    // The learning messages shown, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const DialogRequest& d : sys.dialogs) texts.push_back(d.message);
        return texts;
    }
    // Asks, as the player's click or Thaddock's turn does, and takes when allowed.
    bool AskAndTake(int side) {
        if (!CanTakeUpDiscard(side)) return false;
        TakeDiscardPile(side);
        return true;
    }
};

TEST_F(TakingThePileTest, AnEmptyPileIsRefusedSilentlyAndItsFrameKeepsItsColour) {
    MeldOpened[kPlayer] = true;
    Hand(kPlayer, {kQueen1, kQueen1 + 1});
    LayMeld(kPlayer, kQueen, {kQueen1 + 2, kQueen1 + 3, kQueen1 + 4});
    TopDiscard = kQueen1 + 4;  // the last pile taken: still named, no longer there
    PileState = PileStates::Frozen;
    Frmtable().Shape1.borderColor = kYellow;
    Frmtable().LblDiscard.caption = "Frozen 0";
    CanTakePile = true;

    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));

    EXPECT_FALSE(CanTakePile);
    EXPECT_TRUE(sys.dialogs.empty());
    EXPECT_EQ(PileState, PileStates::Frozen);
    EXPECT_EQ(Frmtable().Shape1.borderColor, kYellow);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Frozen 0");
}

TEST_F(TakingThePileTest, AWildCardOnTopBlocksTheOpenedSideAndFreezesTheOther) {
    MeldOpened[kOpponent] = true;
    Pile({kKing1, kJoker1});
    Hand(kOpponent, {kJoker1 + 1, kJoker1 + 2, kTwo1, kKing1 + 1, kKing1 + 2});
    EXPECT_FALSE(CanTakeUpDiscard(kOpponent));
    EXPECT_EQ(PileState, PileStates::Blocked);
    EXPECT_EQ(Frmtable().Shape1.borderColor, kRed);

    // Not opened: Frozen, but wild cards are never natural cards of the top's rank.
    Hand(kPlayer, {kJoker1 + 3, kTwo1 + 1, kTwo1 + 2});
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(PileState, PileStates::Frozen);
    EXPECT_TRUE(sys.dialogs.empty());
}

TEST_F(TakingThePileTest, ABlackThreeOnTopBlocksAnOpenedSideWhateverItHolds) {
    MeldOpened[kPlayer] = true;
    Pile({kFour1, kBlackThree1});
    Hand(kPlayer, {kBlackThree1 + 1, kBlackThree1 + 2, kJoker1});
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(PileState, PileStates::Blocked);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Blocked 2");
    EXPECT_TRUE(sys.dialogs.empty());
}

TEST_F(TakingThePileTest, AFrozenPileNeedsAPairOrOneCardAndAWild) {
    MeldOpened[kPlayer] = true;
    Pile({kTwo1, kFour1, kKing1});  // frozen by the Two under the King
    Hand(kPlayer, {kKing1 + 1, kFive1});
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(PileState, PileStates::Frozen);

    // A King meld does not thaw a frozen pile.
    LayMeld(kPlayer, kKing, {kKing1 + 5, kKing1 + 6, kKing1 + 7});
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    EXPECT_TRUE(sys.dialogs.empty());

    Hand(kPlayer, {kTwo1 + 3});
    EXPECT_TRUE(CanTakeUpDiscard(kPlayer));
    Hand(kPlayer, {kKing1 + 2});
    EXPECT_TRUE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kOneAndWildFrozen, kTwoInHand}));
}

TEST_F(TakingThePileTest, AnOpenPileMayBeTakenOntoAMatchingMeldWithNoMatchingCardInHand) {
    MeldOpened[kPlayer] = true;
    LayMeld(kPlayer, kKing, {kKing1, kKing1 + 1, kKing1 + 2});
    Pile({kFour1, kKing1 + 3});
    Hand(kPlayer, {kFive1, kFive1 + 1});
    PlayerTurn = true;

    ASSERT_TRUE(AskAndTake(kPlayer));

    EXPECT_EQ(Messages(), (std::vector<std::string>{kMatchesMeld}));
    EXPECT_EQ(Cards[kKing1 + 3].Location, PlayerMelds);
    EXPECT_EQ(Cards[kFour1].Location, PlayerHand);
    EXPECT_EQ(MeldTable[kKing].Count[kPlayer], 4);
    EXPECT_EQ(Frmtable().lblMelds[kKing].caption, "Pure:- 4 Wild:-0");
    EXPECT_EQ(HandCount[kPlayer], 3);
}

TEST_F(TakingThePileTest, TheOpenPilesOneCardMessageIsWordedDifferently) {
    MeldOpened[kPlayer] = true;
    Pile({kFour1, kQueen1});
    Hand(kPlayer, {kQueen1 + 1, kTwo1});
    EXPECT_TRUE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(PileState, PileStates::Open);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kOneAndWildOpen}));

    // One card of the top's rank and no wild card is not enough.
    Place(kTwo1, Stock);
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    EXPECT_EQ(sys.dialogs.size(), 1u);
}

TEST_F(TakingThePileTest, AQueenAndAJokerTakeAFrozenQueenAndOpenTheMinimum) {
    MinMeld[kPlayer] = 50;
    Pile({kFour1, kQueen1});
    Hand(kPlayer, {kJoker1, kQueen1 + 1, kFive1});
    PlayerTurn = true;

    ASSERT_TRUE(AskAndTake(kPlayer));

    EXPECT_EQ(Messages(), (std::vector<std::string>{kOneAndWildFrozen}));
    const MeldRecord& m = MeldTable[kQueen];
    EXPECT_EQ(m.Count[kPlayer], 3);
    EXPECT_EQ(m.WildCount[kPlayer], 1);
    EXPECT_EQ(m.CountSinceWild[kPlayer], 1);
    EXPECT_EQ(Cards[kJoker1].Location, PlayerMelds);
    EXPECT_TRUE(Cards[kJoker1].MeldedFromHand);
    // Joined with the pile, it keeps its own rank; its meld is the one it was laid on.
    EXPECT_EQ(Cards[kJoker1].Rank, kJoker);
    EXPECT_EQ(Cards[kJoker1].MeldRank[kPlayer], kQueen);
    EXPECT_EQ(Pic(kJoker1).top, 5280);  // wild cards head the column
    EXPECT_EQ(RankCount[kJoker], 0);
    // Ten, ten and fifty: the minimum of fifty is met by the take itself.
    EXPECT_EQ(MinMeld[kPlayer], -20);
    EXPECT_TRUE(MeldOpened[kPlayer]);
    EXPECT_EQ(Panel(1), "Minimum Meld Points Met");
    EXPECT_EQ(Frmtable().lblMelds[kQueen].caption, "Mixed:- 3 Wild:-1");
    // The pile is gone and, the player having opened, shows Open.
    EXPECT_EQ(DiscardCount, 0);
    EXPECT_EQ(TopDiscard, kQueen1);
    EXPECT_EQ(PileState, PileStates::Open);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Cards 0");
    EXPECT_EQ(Panel(2), "Player now Meld or Discard");
    EXPECT_EQ(DelayMs, SpeedDelay);
}

TEST_F(TakingThePileTest, ThaddockMakesUpAMeldOfTwoWithHisFirstWildCardJokersBeforeTwos) {
    MeldOpened[kOpponent] = true;
    Pile({kTwo1, kQueen1});
    Hand(kOpponent, {kQueen1 + 1, kTwo1 + 1, kJoker1 + 2, kFive1});
    SetPanel(2, "Thaddock is taking his turn.");

    ASSERT_TRUE(AskAndTake(kOpponent));

    EXPECT_EQ(Cards[kJoker1 + 2].Location, OpponentMelds);
    EXPECT_EQ(Cards[kJoker1 + 2].Rank, kJoker);
    EXPECT_EQ(Cards[kJoker1 + 2].MeldRank[kOpponent], kQueen);
    EXPECT_EQ(Cards[kTwo1].Location, OpponentHand);  // from the pile
    EXPECT_EQ(Cards[kTwo1 + 1].Location, OpponentHand);
    EXPECT_EQ(MeldTable[kQueen].Count[kOpponent], 3);
    EXPECT_EQ(MeldTable[kQueen].WildCount[kOpponent], 1);
    EXPECT_EQ(RankCount[kTwo], 2);
    EXPECT_EQ(RankCount[kJoker], 0);
    EXPECT_EQ(Frmtable().lblMeldsC[kQueen].caption, "Mixed:- 3 Wild:-1");
    // Not the player's turn: the status line is Thaddock's.
    EXPECT_EQ(Panel(2), "Thaddock is taking his turn.");
}

TEST_F(TakingThePileTest, ANotYetOpenedSideTakesBlackThreesOntoAMeldOfThrees) {
    Pile({kFour1, kBlackThree1});
    Hand(kPlayer, {kBlackThree1 + 1, kBlackThree1 + 2, kFive1});
    MinMeld[kPlayer] = 50;

    ASSERT_TRUE(AskAndTake(kPlayer));

    EXPECT_EQ(Messages(), (std::vector<std::string>{kTwoInHand}));
    EXPECT_EQ(MeldTable[kBlackThree].Count[kPlayer], 3);
    EXPECT_EQ(Frmtable().lblMelds[kBlackThree].caption, "Pure:- 3 Wild:-0");
    EXPECT_EQ(Pic(kBlackThree1 + 2).left, 13560);
    EXPECT_EQ(MinMeld[kPlayer], 35);
    EXPECT_EQ(PileState, PileStates::Frozen);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Frozen 0");
}

TEST_F(TakingThePileTest, ThePlayerLaysOnlyEnoughSevensToMakeThreeWhileThaddockLaysThemAll) {
    for (int side : {kPlayer, kOpponent}) {
        SCOPED_TRACE(side);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        MeldOpened[side] = true;
        Pile({kFour1, kSeven1});
        Hand(side, {kSeven1 + 1, kSeven1 + 2, kSeven1 + 3, kSeven1 + 4, kFive1});

        ASSERT_TRUE(AskAndTake(side));

        const i16 hand = side == kPlayer ? PlayerHand : OpponentHand;
        if (side == kPlayer) {
            EXPECT_EQ(MeldTable[kSeven].Count[side], 3);
            EXPECT_TRUE(Cards[kSeven1 + 1].MeldedFromHand);
            EXPECT_TRUE(Cards[kSeven1 + 2].MeldedFromHand);
            EXPECT_EQ(Cards[kSeven1 + 3].Location, hand);
            EXPECT_EQ(Cards[kSeven1 + 4].Location, hand);
            EXPECT_FALSE(Cards[kSeven1 + 3].MeldedFromHand);
            EXPECT_EQ(RankCount[kSeven], 2);
        } else {
            EXPECT_EQ(MeldTable[kSeven].Count[side], 5);
            EXPECT_EQ(RankCount[kSeven], 0);
        }
        EXPECT_EQ(Cards[kFour1].Location, hand);
        EXPECT_EQ(Cards[kFive1].Location, hand);
    }
}

TEST_F(TakingThePileTest, EveryPileCardIsMarkedAsTakenAndTheHandCardsLaidAsFromHand) {
    MeldOpened[kPlayer] = true;
    Pile({kFour1, kFive1, kQueen1});
    Hand(kPlayer, {kQueen1 + 1, kQueen1 + 2, kKing1});
    ASSERT_TRUE(AskAndTake(kPlayer));
    for (int c : {kFour1, kFive1, kQueen1}) EXPECT_TRUE(Cards[c].FromDiscard) << c;
    for (int c : {kQueen1 + 1, kQueen1 + 2}) {
        EXPECT_FALSE(Cards[c].FromDiscard) << c;
        EXPECT_TRUE(Cards[c].MeldedFromHand) << c;
    }
    EXPECT_FALSE(Cards[kQueen1].MeldedFromHand);
    EXPECT_FALSE(Cards[kKing1].MeldedFromHand);
    // The hand is laid out with the pile's cards in index order.
    EXPECT_EQ(HandCount[kPlayer], 3);
    EXPECT_EQ(Pic(kFour1).left, 1680);
    EXPECT_EQ(Pic(kFive1).left, 2080);
    EXPECT_EQ(Pic(kKing1).left, 2480);
    EXPECT_EQ(RankCount[kFour], 1);
}

TEST_F(TakingThePileTest, ARedThreeInThePileGoesToTheTakersBoardNotTheHand) {
    MeldOpened[kPlayer] = true;
    Pile({kRedThree1, kFour1, kQueen1});  // possible only from the turn-up at the deal
    Hand(kPlayer, {kQueen1 + 1, kQueen1 + 2, kKing1});
    ASSERT_TRUE(AskAndTake(kPlayer));
    EXPECT_EQ(Cards[kRedThree1].Location, PlayerRedThrees);
    EXPECT_TRUE(Cards[kRedThree1].FromDiscard);
    EXPECT_EQ(RedThreeCount[kPlayer], 1);
    // The Queens are already on the table, so the red three counts for the player.
    EXPECT_EQ(Frmtable().lblMelds[14].caption, "Pts. 100");
    EXPECT_EQ(HandCount[kPlayer], 2);
    EXPECT_EQ(RankCount[kRedThree], 0);
}

TEST_F(TakingThePileTest, ThePilesCardsOfTheTopsRankAllGoToTheMeldBeforeAnyHandCard) {
    // Two Kings in the pile take one from the hand; three take none.
    for (int inPile : {2, 3}) {
        SCOPED_TRACE(inPile);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        MeldOpened[kPlayer] = true;
        if (inPile == 2) Pile({kKing1, kFour1, kKing1 + 1});
        if (inPile == 3) Pile({kKing1, kFour1, kKing1 + 2, kKing1 + 1});
        Hand(kPlayer, {kKing1 + 3, kKing1 + 4, kFive1});
        ASSERT_TRUE(AskAndTake(kPlayer));
        EXPECT_EQ(Cards[kKing1 + 1].Location, PlayerMelds);
        EXPECT_EQ(MeldTable[kKing].Count[kPlayer], 3);
        EXPECT_EQ(Cards[kKing1 + 3].Location, inPile == 2 ? PlayerMelds : PlayerHand);
        EXPECT_EQ(Cards[kKing1 + 4].Location, PlayerHand);
    }
}

TEST_F(TakingThePileTest, APlayersTakeIsPacedCardByCard) {
    MeldOpened[kPlayer] = true;
    Pile({kFour1, kQueen1});
    Hand(kPlayer, {kQueen1 + 1, kQueen1 + 2, kFive1});
    std::vector<std::pair<int, int>> handCardsDuringPause;
    sys.onWait = [&] {
        for (int c : {kQueen1 + 1, kQueen1 + 2}) {
            if (Pic(c).top == 8200 - 1000) handCardsDuringPause.emplace_back(c, Pic(c).image);
        }
    };

    ASSERT_TRUE(AskAndTake(kPlayer));

    // The top Queen glides up and is laid; the Four glides up into the hand;
    // the first hand Queen steps forward at the take's own pace, the second at
    // the pace the meld booking has put back.
    EXPECT_EQ(Waits(), (Pauses{150, 150, 150, 1, 150, 150, 150, 250, 1, 150, 1}));
    EXPECT_EQ(sys.sounds.size(), 3u);
    EXPECT_EQ(handCardsDuringPause, (std::vector<std::pair<int, int>>{{kQueen1 + 1, kQueen1 + 1},
                                                                      {kQueen1 + 2, kQueen1 + 2}}));
}

TEST_F(TakingThePileTest, ThaddocksTakeIsPacedWithHisMeldsLaidOutCardByCard) {
    MeldOpened[kOpponent] = true;
    Pile({kQueen1});
    Hand(kOpponent, {kQueen1 + 1, kJoker1, kFive1, kFive1 + 1});
    Pic(kQueen1 + 1).top = 120;
    int nudgedTop = 0;
    sys.onWait = [&] {
        if (nudgedTop == 0 && Pic(kQueen1 + 1).top != 120 && Cards[kQueen1 + 1].Location == 2) {
            nudgedTop = Pic(kQueen1 + 1).top;
        }
    };

    ASSERT_TRUE(AskAndTake(kOpponent));

    // Glide, lay out one Queen; step a hand Queen forward, lay out two; the
    // Joker steps forward, lay out three.
    EXPECT_EQ(Waits(), (Pauses{150, 150, 150, 50, 1, 250, 50, 50, 1, 650, 50, 50, 50, 1}));
    EXPECT_EQ(nudgedTop, 120 + 1000);
    EXPECT_EQ(HandCount[kOpponent], 2);
}

TEST_F(TakingThePileTest, ACardLeavingThePileGlidesUpTheTableInThreeSteps) {
    Place(kQueen1, DiscardPile);
    std::vector<std::pair<int, int>> path;
    sys.onWait = [&] { path.emplace_back(Pic(kQueen1).left, Pic(kQueen1).top); };
    DelayMs = 1;
    GlidePileCard(kQueen1);
    EXPECT_EQ(path, (std::vector<std::pair<int, int>>{{1320, 6840}, {3840, 5400}, {5640, 3840}}));
    EXPECT_EQ(Waits(), (Pauses{150, 150, 150}));
    EXPECT_EQ(DelayMs, SpeedDelay);
}

TEST_F(TakingThePileTest, AnErrorWhileDecidingIsReportedAndTheAnswerIsNo) {
    MeldOpened[kPlayer] = true;
    Pile({kQueen1});
    Hand(kPlayer, {kQueen1 + 1, kQueen1 + 2});
    sys.onDialog = [](const DialogRequest&) { throw GameError(5, "Invalid procedure call"); };
    EXPECT_FALSE(CanTakeUpDiscard(kPlayer));
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: CanTakeUpDiscard\r\nError #5: Invalid procedure "
              "call");
}

TEST_F(TakingThePileTest, TakingAPileToppedByAWildCardIsReportedAndMovesNothing) {
    Pile({kFour1, kJoker1});
    TakeDiscardPile(kOpponent);
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: TakeDiscardPile\r\nError #9: Subscript out of range");
    EXPECT_EQ(Cards[kFour1].Location, DiscardPile);
    EXPECT_EQ(Cards[kJoker1].Location, DiscardPile);
}

}  // namespace
}  // namespace cardovia::testing
