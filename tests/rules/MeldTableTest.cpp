#include "player/FollowMouse.h"
#include "rules/MeldTable.h"
#include "rules/RulesTable.h"
#include "ui/Errors.h"

#include <vector>

namespace cardovia::testing {
namespace {

constexpr int kJoker1 = 1;
constexpr int kTwo1 = 5;
constexpr int kFive1 = 25;
constexpr int kQueen1 = 81;
constexpr int kKing1 = 89;
constexpr int kAce1 = 97;

constexpr int kFive = 5;
constexpr int kQueen = 12;

class MeldTableTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        MeldOpened[kPlayer] = MeldOpened[kOpponent] = true;
        // A card kept back in each hand, so laying a meld never empties it.
        Hand(kPlayer, {kAce1 + 7});
        Hand(kOpponent, {kAce1 + 6});
    }
    // Lays a natural card from the hand as the player's moves and Thaddock's
    // melding do: booked, then the meld laid out.
    static void Lay(int card, int rank, int side) {
        Cards[card].Location = static_cast<i16>(side);
        PutCardOnMeld(card, rank, side);
        SortaMeld(rank, side);
    }
    static void Wild(int card, int rank, int side) {
        Cards[card].Location = static_cast<i16>(side);
        AddWildCard(card, rank, side);
    }
    static const Label& PlayerLabel(int rank) { return Frmtable().lblMelds[rank]; }
};

TEST_F(MeldTableTest, SevenNaturalQueensMakeAPureCanastaShownInOrange) {
    for (int n = 0; n < 3; ++n) Lay(kQueen1 + n, kQueen, kPlayer);
    EXPECT_TRUE(PlayerLabel(kQueen).visible);
    EXPECT_EQ(PlayerLabel(kQueen).caption, "Pure:- 3 Wild:-0");
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kPaleGreen);
    EXPECT_FALSE(HasCanasta[kPlayer]);

    for (int n = 3; n < 7; ++n) Lay(kQueen1 + n, kQueen, kPlayer);
    EXPECT_EQ(PlayerLabel(kQueen).caption, " Pure Canasta 7 Wild:-0");
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kOrange);
    EXPECT_TRUE(HasCanasta[kPlayer]);
    EXPECT_EQ(MeldTable[kQueen].Count[kPlayer], 7);
    EXPECT_EQ(MeldTable[kQueen].CountSinceWild[kPlayer], 0);
    EXPECT_EQ(PureCanastas[kPlayer], 1);
}

TEST_F(MeldTableTest, CardsLaidFromTheFirstWildCardOnMakeTheMeldMixed) {
    for (int n = 0; n < 4; ++n) Lay(kQueen1 + n, kQueen, kPlayer);
    Wild(kJoker1, kQueen, kPlayer);
    EXPECT_EQ(PlayerLabel(kQueen).caption, "Mixed:- 5 Wild:-1");
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kPaleGreen);

    Lay(kQueen1 + 4, kQueen, kPlayer);
    Lay(kQueen1 + 5, kQueen, kPlayer);
    const MeldRecord& m = MeldTable[kQueen];
    EXPECT_EQ(m.Count[kPlayer], 7);
    EXPECT_EQ(m.WildCount[kPlayer], 1);
    EXPECT_EQ(m.CountSinceWild[kPlayer], 3);
    EXPECT_EQ(PlayerLabel(kQueen).caption, " Mixed Canasta 7 Wild:-1");
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kYellow);
    EXPECT_TRUE(HasCanasta[kPlayer]);
}

TEST_F(MeldTableTest, APureCanastaThatTakesAWildCardTurnsMixed) {
    for (int n = 0; n < 7; ++n) Lay(kQueen1 + n, kQueen, kPlayer);
    ASSERT_EQ(PlayerLabel(kQueen).backColor, kOrange);
    Wild(kTwo1, kQueen, kPlayer);
    EXPECT_EQ(MeldTable[kQueen].CountSinceWild[kPlayer], 1);
    EXPECT_EQ(PlayerLabel(kQueen).caption, " Mixed Canasta 8 Wild:-1");
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kYellow);
    EXPECT_EQ(PureCanastas[kPlayer], 0);
    EXPECT_EQ(MixedCanastas[kPlayer], 1);
}

TEST_F(MeldTableTest, WildCardsLieAtTheTopOfTheColumnWhateverOrderTheyCameIn) {
    Lay(kQueen1, kQueen, kPlayer);
    Lay(kQueen1 + 1, kQueen, kPlayer);
    Wild(kTwo1, kQueen, kPlayer);
    Lay(kQueen1 + 2, kQueen, kPlayer);
    Wild(kJoker1, kQueen, kPlayer);

    const std::vector<int> column = {kJoker1, kTwo1, kQueen1, kQueen1 + 1, kQueen1 + 2};
    for (std::size_t n = 0; n < column.size(); ++n) {
        SCOPED_TRACE(column[n]);
        EXPECT_EQ(Pic(column[n]).left, 10320);
        EXPECT_EQ(Pic(column[n]).top, 5280 + 25 * static_cast<int>(n));
        EXPECT_EQ(Pic(column[n]).image, column[n]);
        if (n > 0) {
            EXPECT_GT(Pic(column[n]).z, Pic(column[n - 1]).z);
        }
    }
    EXPECT_EQ(PlayerLabel(kQueen).caption, "Mixed:- 5 Wild:-2");
}

TEST_F(MeldTableTest, ThaddocksMeldsCascadeInTheUpperRowCardByCard) {
    LayMeld(kOpponent, kFive, {kFive1, kFive1 + 1, kFive1 + 2});
    SortaMeld(kFive, kOpponent);
    EXPECT_EQ(Pic(kFive1 + 2).left, 2640);
    EXPECT_EQ(Pic(kFive1 + 2).top, 2250 + 50);
    EXPECT_EQ(Waits(), (std::vector<std::int64_t>{50, 50, 50, 1}));
    EXPECT_EQ(sys.sounds.size(), 1u);
    EXPECT_EQ(Frmtable().lblMeldsC[kFive].caption, "Pure:- 3 Wild:-0");
    EXPECT_FALSE(Frmtable().lblMelds[kFive].visible);
    EXPECT_EQ(DelayMs, SpeedDelay);

    // The player's melds are laid out at once, then the card sound.
    sys.waits.clear();
    LayMeld(kPlayer, kFive, {kFive1 + 3, kFive1 + 4, kFive1 + 5});
    SortaMeld(kFive, kPlayer);
    EXPECT_EQ(Waits(), (std::vector<std::int64_t>{1}));
    EXPECT_EQ(Pic(kFive1 + 5).top, 5280 + 50);
}

TEST_F(MeldTableTest, WhileTheResultsPanelShowsTheTableIsLeftAlone) {
    LayMeld(kPlayer, kQueen, {kQueen1, kQueen1 + 1, kQueen1 + 2});
    Pic(kQueen1).Move(111, 222);
    Pic(kQueen1).border = true;
    FollowMouse.SetObject(&Pic(kKing1));
    FollowMouse.SetEnabled(true);
    TableIdle = true;
    DelayMs = 7;

    SortaMeld(kQueen, kPlayer);

    EXPECT_EQ(Pic(kQueen1).left, 111);
    EXPECT_EQ(Pic(kQueen1).top, 222);
    EXPECT_TRUE(Pic(kQueen1).border);
    EXPECT_FALSE(PlayerLabel(kQueen).visible);
    EXPECT_EQ(PlayerLabel(kQueen).caption, "");
    EXPECT_TRUE(FollowMouse.Enabled());
    EXPECT_TRUE(sys.waits.empty());
    EXPECT_TRUE(sys.sounds.empty());
    EXPECT_EQ(DelayMs, 7);
}

TEST_F(MeldTableTest, LayingOutAMeldStopsTheDragAndClearsSelectionBorders) {
    LayMeld(kPlayer, kQueen, {kJoker1, kQueen1, kQueen1 + 1});
    Pic(kJoker1).border = true;
    FollowMouse.SetObject(&Pic(kQueen1 + 1));
    FollowMouse.SetEnabled(true);
    SortaMeld(kQueen, kPlayer);
    EXPECT_FALSE(FollowMouse.Enabled());
    EXPECT_FALSE(Pic(kJoker1).border);
}

TEST_F(MeldTableTest, LayingTheLastCardOfTheHandEndsThePlayersTurnAtOnce) {
    Place(kAce1 + 7, Stock);
    Hand(kPlayer, {kKing1, kKing1 + 1});
    LayMeld(kPlayer, kKing, {kKing1 + 2, kKing1 + 3, kKing1 + 4, kKing1 + 5, kKing1 + 6});
    PlayerTurn = MustDraw = HasDrawn = true;

    Lay(kKing1, kKing, kPlayer);
    EXPECT_TRUE(PlayerTurn);
    EXPECT_TRUE(HasDrawn);

    Lay(kKing1 + 1, kKing, kPlayer);
    EXPECT_EQ(HandCount[kPlayer], 0);
    EXPECT_FALSE(PlayerTurn);
    EXPECT_FALSE(MustDraw);
    EXPECT_FALSE(HasDrawn);
}

TEST_F(MeldTableTest, ThaddocksCanastaLeavesThePlayersLabelOfTheSameRankAsItWas) {
    for (int n = 0; n < 7; ++n) Lay(kQueen1 + n, kQueen, kPlayer);
    Lay(kQueen1 + 7, kQueen, kOpponent);
    EXPECT_EQ(PlayerLabel(kQueen).backColor, kOrange);
    EXPECT_EQ(PlayerLabel(kQueen).caption, " Pure Canasta 7 Wild:-0");
    EXPECT_EQ(Frmtable().lblMeldsC[kQueen].caption, "Pure:- 1 Wild:-0");
    EXPECT_FALSE(HasCanasta[kOpponent]);
}

TEST_F(MeldTableTest, AWildCardSteppedForwardJoinsThaddocksMeldKeepingItsOwnRank) {
    LayMeld(kOpponent, kKing, {kKing1, kKing1 + 1, kKing1 + 2});
    Hand(kOpponent, {kJoker1});
    Pic(kJoker1).Move(1680, 120);
    Pic(kJoker1).image = CardBackImage();
    Pic(kJoker1).border = true;
    int topDuringPause = 0;
    i16 imageDuringPause = 0;
    sys.onWait = [&] {
        if (topDuringPause != 0) return;
        topDuringPause = Pic(kJoker1).top;
        imageDuringPause = Pic(kJoker1).image;
    };

    AddWildCard(kJoker1, kKing, kOpponent);

    EXPECT_EQ(topDuringPause, 120 + 600);
    EXPECT_EQ(imageDuringPause, kJoker1);
    ASSERT_FALSE(sys.waits.empty());
    EXPECT_EQ(sys.waits[0], SpeedDelay + 500);
    EXPECT_FALSE(Pic(kJoker1).border);
    EXPECT_EQ(Cards[kJoker1].Location, OpponentMelds);
    EXPECT_EQ(Cards[kJoker1].Rank, kJoker);
    EXPECT_EQ(Cards[kJoker1].MeldRank[kOpponent], kKing);
    EXPECT_EQ(Pic(kJoker1).top, 2250);
    const MeldRecord& m = MeldTable[kKing];
    EXPECT_TRUE(m.HasWild[kOpponent]);
    EXPECT_EQ(m.WildCount[kOpponent], 1);
    EXPECT_EQ(m.CountSinceWild[kOpponent], 1);
    EXPECT_EQ(m.Count[kOpponent], 4);
    EXPECT_EQ(MeldPoints[kOpponent], 80);
    EXPECT_EQ(Frmtable().lblMeldsC[kKing].caption, "Mixed:- 4 Wild:-1");
    EXPECT_EQ(DelayMs, SpeedDelay);
}

TEST_F(MeldTableTest, AMeldShortOfThreeCardsLeavesTheMeldsIncomplete) {
    CheckMeldsComplete(kPlayer);
    EXPECT_TRUE(MeldsComplete);

    LayMeld(kPlayer, kKing, {kKing1, kKing1 + 1, kKing1 + 2});
    LayMeld(kPlayer, kFive, {kFive1, kFive1 + 1});
    CheckMeldsComplete(kPlayer);
    EXPECT_FALSE(MeldsComplete);

    // Thaddock's melds and a pair of black threes are no concern of the check.
    Lay(kFive1 + 2, kFive, kPlayer);
    LayMeld(kOpponent, kQueen, {kQueen1});
    LayMeld(kPlayer, kBlackThree, {13, 14});
    CheckMeldsComplete(kPlayer);
    EXPECT_TRUE(MeldsComplete);
    CheckMeldsComplete(kOpponent);
    EXPECT_FALSE(MeldsComplete);
}

TEST_F(MeldTableTest, ARankWithNoMeldIsReportedNotWritten) {
    Hand(kPlayer, {kJoker1 + 1});
    EXPECT_THROW(PutCardOnMeld(kJoker1 + 1, kJoker, kPlayer), GameError);
    EXPECT_EQ(Cards[kJoker1 + 1].Location, PlayerHand);

    SortaMeld(kJoker, kPlayer);
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: SortaMeld\r\nError #9: Subscript out of range");
}

}  // namespace
}  // namespace cardovia::testing
