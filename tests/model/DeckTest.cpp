#include "support/TestTable.h"
#include "ui/Errors.h"

namespace cardovia::testing {
namespace {

TEST_F(TableTest, DeckLayoutGivesRanksValuesAndNamesByIndex) {
    SpeedDelay = 300;
    SetUpDeck();
    struct Expect {
        int card;
        i16 rank, value;
        const char* name;
    };
    for (const Expect& e : {Expect{1, 15, 50, "Joker"},
                            {4, 15, 50, "Joker"},
                            {5, 2, 20, "Two"},
                            {12, 2, 20, "Two"},
                            {13, 3, 5, "BlackThree"},
                            {17, 4, 5, "Four"},
                            {48, 7, 5, "Seven"},
                            {49, 8, 10, "Eight"},
                            {96, 13, 10, "King"},
                            {97, 1, 20, "Ace"},
                            {104, 1, 20, "Ace"},
                            {105, 14, 100, "RedThree"},
                            {108, 14, 100, "RedThree"}}) {
        EXPECT_EQ(Cards[e.card].Rank, e.rank) << e.card;
        EXPECT_EQ(Cards[e.card].Value, e.value) << e.card;
        EXPECT_EQ(Cards[e.card].CardName, e.name) << e.card;
    }
    EXPECT_EQ(DelayMs, 300);
    int perRank[16] = {};
    for (int i = 1; i <= kDeckSize; ++i) ++perRank[Cards[i].Rank];
    EXPECT_EQ(perRank[15], 4);
    EXPECT_EQ(perRank[3], 4);
    EXPECT_EQ(perRank[14], 4);
    for (int r : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}) EXPECT_EQ(perRank[r], 8) << r;
}

TEST_F(TableTest, SettingUpTheDeckGivesAWildCardItsOwnRankBack) {
    SetUpDeck();
    Cards[3].Rank = 13;  // a Joker joined to the player's Kings
    Cards[3].Location = PlayerMelds;
    SetUpDeck();
    EXPECT_EQ(Cards[3].Rank, kJoker);
    EXPECT_EQ(Cards[3].Location, PlayerMelds);  // locations are not the deck's business
}

TEST_F(TableTest, ErrorsAreReportedInTheCriticalBoxAndTheGameGoesOn) {
    bool after = false;
    const bool ok = Trap("GetHandScores", [] { Add16(32767, 1); });
    after = true;
    EXPECT_FALSE(ok);
    EXPECT_TRUE(after);
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].first, "Cardovia");
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: GetHandScores\r\nError #6: Overflow");
    EXPECT_EQ(Add16(-32768, 0), -32768);
    EXPECT_THROW(Sub16(-32768, 1), GameError);
}

}  // namespace
}  // namespace cardovia::testing
