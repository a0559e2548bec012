#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "rules/RulesTable.h"

namespace cardovia::testing {
namespace {

// Card indexes used below, in deck order.
constexpr int kJoker1 = 1;
constexpr int kTwo1 = 5;
constexpr int kBlackThree1 = 13;
constexpr int kFour1 = 17;
constexpr int kSix1 = 33;
constexpr int kNine1 = 57;
constexpr int kQueen1 = 81;
constexpr int kKing1 = 89;
constexpr int kAce1 = 97;

constexpr int kNine = 9;
constexpr int kSix = 6;
constexpr int kQueen = 12;

using MinimumMeldTest = RulesTest;

TEST_F(MinimumMeldTest, TheMinimumFollowsTheGameTotalAndAZeroTotalNeedsFifteen) {
    struct Case {
        int total;
        int minimum;
    };
    for (const Case& c :
         {Case{0, 15}, {1, 50}, {1499, 50}, {1500, 90}, {2999, 90}, {3000, 120}, {-200, 15}}) {
        SCOPED_TRACE(c.total);
        for (int side : {kPlayer, kOpponent}) {
            GameScore[side] = static_cast<i16>(c.total);
            MinMeld[side] = -7;
            GetMinMeld(side);
            EXPECT_EQ(MinMeld[side], c.minimum);
        }
    }
}

TEST_F(MinimumMeldTest, PanelOneCountsDownCardByCardAndSaysWhenTheMinimumIsMet) {
    MinMeld[kPlayer] = 50;
    Hand(kPlayer, {kJoker1, kKing1, kKing1 + 1, kKing1 + 2, kKing1 + 3, kFour1});
    for (int n = 0; n < 3; ++n) {
        PutCardOnMeld(kKing1 + n, kKing, kPlayer);
        EXPECT_EQ(Panel(1), "Minimum Meld Points " + std::to_string(40 - 10 * n));
        EXPECT_FALSE(MeldOpened[kPlayer]);
    }
    AddWildCard(kJoker1, kKing, kPlayer);
    EXPECT_EQ(MinMeld[kPlayer], -30);
    EXPECT_EQ(Panel(1), "Minimum Meld Points Met");
    EXPECT_TRUE(MeldOpened[kPlayer]);

    // Cards laid after opening leave the minimum where it is, and the panel
    // says again that it is met (Take Back may have written the number there).
    SetPanel(1, "Minimum Meld Points -30");
    PutCardOnMeld(kKing1 + 3, kKing, kPlayer);
    EXPECT_EQ(MinMeld[kPlayer], -30);
    EXPECT_EQ(Panel(1), "Minimum Meld Points Met");
}

TEST_F(MinimumMeldTest, AMinimumMetExactlyOpensAndThaddockNeverWritesThePanel) {
    MinMeld[kPlayer] = 20;
    Hand(kPlayer, {kAce1, kFour1});
    CountTowardsMinimum(kAce1, kPlayer);
    EXPECT_EQ(MinMeld[kPlayer], 0);
    EXPECT_TRUE(MeldOpened[kPlayer]);
    EXPECT_EQ(Panel(1), "Minimum Meld Points Met");

    SetPanel(1, "Minimum Meld Points 50");
    MinMeld[kOpponent] = 15;
    for (int n = 0; n < 3; ++n) CountTowardsMinimum(kSix1 + n, kOpponent);
    EXPECT_EQ(MinMeld[kOpponent], 0);
    EXPECT_TRUE(MeldOpened[kOpponent]);
    EXPECT_EQ(Panel(1), "Minimum Meld Points 50");
}

TEST_F(MinimumMeldTest, ThreeAcesAloneMayNotBeLaidWithoutACanastaButWithAnyOtherCardMay) {
    Hand(kOpponent, {kAce1, kAce1 + 1, kAce1 + 2});
    EstablishPoints(kOpponent);
    EXPECT_EQ(RankCount[kAce], 3);
    EXPECT_FALSE(CanMeldRank[kAce]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 0);

    Hand(kOpponent, {kNine1});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kAce]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 60);
    EXPECT_FALSE(CanMeldRank[kNine]);
}

TEST_F(MinimumMeldTest, AHandThatIsOneGroupMayGoOutOnlyWithACanastaOrIntoOne) {
    // Four Nines and nothing else.
    Hand(kOpponent, {kNine1, kNine1 + 1, kNine1 + 2, kNine1 + 3});
    EstablishPoints(kOpponent);
    EXPECT_FALSE(CanMeldRank[kNine]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 0);

    // A Nine meld of three: the four Nines make it a canasta.
    LayMeld(kOpponent, kNine, {kNine1 + 4, kNine1 + 5, kNine1 + 6});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kNine]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 40);

    // Any canasta at all lets the hand go down.
    MeldTable[kNine] = MeldRecord{};
    for (int i = kNine1 + 4; i <= kNine1 + 6; ++i) Place(i, Stock);
    HasCanasta[kOpponent] = true;
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kNine]);
}

TEST_F(MinimumMeldTest, AnAceMeldAndTheHandsAcesMakingSevenMayGoOut) {
    Hand(kOpponent, {kAce1, kAce1 + 1, kAce1 + 2});
    LayMeld(kOpponent, kAce, {kAce1 + 3, kAce1 + 4, kAce1 + 5, kAce1 + 6});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kAce]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 60);
}

TEST_F(MinimumMeldTest, TheLastCardGoesOntoAMeldOnlyWithACanastaOrToCompleteOne) {
    Hand(kOpponent, {kQueen1});
    LayMeld(kOpponent, kQueen, {kQueen1 + 1, kQueen1 + 2, kQueen1 + 3});
    LayMeld(kOpponent, kAce, {kAce1, kAce1 + 1, kAce1 + 2});
    EstablishPoints(kOpponent);
    for (int r = 0; r < 16; ++r) EXPECT_FALSE(CanMeldRank[r]) << r;

    // Three more Queens on the meld: the last card makes seven.
    LayMeld(kOpponent, kQueen, {kQueen1 + 4, kQueen1 + 5, kQueen1 + 6});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kQueen]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 0);

    // A lone Ace onto the Aces, once the Queens are a canasta.
    Place(kQueen1, Stock);
    Hand(kOpponent, {kAce1 + 3});
    EstablishPoints(kOpponent);
    EXPECT_FALSE(CanMeldRank[kAce]);
    LayMeld(kOpponent, kQueen, {kQueen1 + 7});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kAce]);
}

TEST_F(MinimumMeldTest, AdditionsToMeldsBringNoPointsButNewGroupsOfAMeldedRankDo) {
    LayMeld(kOpponent, kKing, {kKing1, kKing1 + 1, kKing1 + 2, kKing1 + 3});
    LayMeld(kOpponent, kSix, {kSix1, kSix1 + 1, kSix1 + 2});
    Hand(kOpponent, {kKing1 + 4, kKing1 + 5, kKing1 + 6, kSix1 + 3, kFour1});
    EstablishPoints(kOpponent);
    EXPECT_TRUE(CanMeldRank[kKing]);
    EXPECT_TRUE(CanMeldRank[kSix]);
    EXPECT_FALSE(CanMeldRank[kFour]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 30);
}

TEST_F(MinimumMeldTest, WildCardsAndThreesAreCountedButNeverMeldableHere) {
    Hand(kOpponent, {kJoker1, kJoker1 + 1, kJoker1 + 2, kTwo1, kTwo1 + 1, kTwo1 + 2, kBlackThree1,
                     kBlackThree1 + 1, kBlackThree1 + 2, kFour1, kFour1 + 1, kFour1 + 2});
    EstablishPoints(kOpponent);
    EXPECT_EQ(RankCount[kJoker], 3);
    EXPECT_EQ(RankCount[kTwo], 3);
    EXPECT_EQ(RankCount[kBlackThree], 3);
    EXPECT_FALSE(CanMeldRank[kJoker]);
    EXPECT_FALSE(CanMeldRank[kTwo]);
    EXPECT_FALSE(CanMeldRank[kBlackThree]);
    EXPECT_TRUE(CanMeldRank[kFour]);
    EXPECT_EQ(HandMeldPoints[kOpponent], 15);
}

TEST_F(MinimumMeldTest, EvaluatingThePlayerRelaysThaddocksHandAndUsesThePlayersLastCount) {
    Hand(kOpponent, {kFour1, kFour1 + 1});
    Hand(kPlayer, {kQueen1, kQueen1 + 1, kQueen1 + 2});
    // The player's count as last laid out: three Queens and something else.
    HandCount[kPlayer] = 4;
    EstablishPoints(kPlayer);
    EXPECT_EQ(HandCount[kOpponent], 2);
    EXPECT_EQ(Pic(kFour1 + 1).left, 1880);
    EXPECT_EQ(RankCount[kFour], 0);
    EXPECT_EQ(RankCount[kQueen], 3);
    EXPECT_TRUE(CanMeldRank[kQueen]);
    EXPECT_EQ(HandMeldPoints[kPlayer], 30);
    EXPECT_EQ(HandMeldPoints[kOpponent], 0);
}

TEST_F(MinimumMeldTest, AnEvaluationStartsAfreshEachTime) {
    Hand(kOpponent, {kSix1, kSix1 + 1, kSix1 + 2, kFour1});
    EstablishPoints(kOpponent);
    ASSERT_TRUE(CanMeldRank[kSix]);
    for (int i = kSix1; i <= kSix1 + 2; ++i) Place(i, Stock);
    Hand(kOpponent, {kFour1 + 1});
    DelayMs = 999;
    EstablishPoints(kOpponent);
    EXPECT_FALSE(CanMeldRank[kSix]);
    EXPECT_EQ(RankCount[kSix], 0);
    EXPECT_EQ(RankCount[kFour], 2);
    EXPECT_EQ(HandMeldPoints[kOpponent], 0);
    EXPECT_EQ(DelayMs, SpeedDelay);
}

}  // namespace
}  // namespace cardovia::testing
