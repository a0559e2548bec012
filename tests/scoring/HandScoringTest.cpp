#include "scoring/HandScoring.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

class ScoringTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
    }
    static void LayMeld(int side, int rank, std::initializer_list<int> cards) {
        BookMeld(side, rank, cards);
    }
    static std::string Caption(const Label& l) { return l.caption; }
};

TEST_F(ScoringTest, AHandIsScoredOntoTheResultsPanelAndTheGameTotals) {
    // The player went out with a pure and a mixed canasta, melds worth 310 and two red threes.
    LayMeld(1, 13, {89, 90, 91, 92, 93, 94, 95});  // seven Kings: 70, pure
    LayMeld(1, 8, {5, 49, 50, 51, 52, 53, 54});    // a Two and six Eights: 80, mixed
    LayMeld(1, 1, {97, 98, 99, 100, 101, 102});    // six Aces: 120
    LayMeld(1, 12, {81, 82, 83, 84});              // four Queens: 40
    Place(105, PlayerRedThrees);
    Place(106, PlayerRedThrees);
    // Thaddock: melds worth 150, no canasta, one red three, 45 points in hand.
    LayMeld(2, 9, {57, 58, 59, 60, 61});
    LayMeld(2, 10, {65, 66, 67, 68, 69});
    LayMeld(2, 11, {73, 74, 75, 76, 77});
    Place(107, OpponentRedThrees);
    for (int c : {41, 42, 43, 44, 17, 18, 33, 34, 35}) Place(c, OpponentHand);
    GameScore[1] = 1000;
    GameScore[2] = 2000;
    GetHandScores(1);
    GetHandScores(2);

    GetScoresHand();

    const TableForm& f = Frmtable();
    EXPECT_TRUE(f.FramResults.visible);
    EXPECT_EQ(Caption(f.PointsTotal[1]), "1410");
    EXPECT_EQ(Caption(f.PointsTotal[2]), "205");
    EXPECT_EQ(GameScore[1], 2410);
    EXPECT_EQ(GameScore[2], 2205);
    EXPECT_EQ(Caption(f.GamePoints[1]), "2410");
    EXPECT_EQ(Caption(f.LblCurrTot[2]), "2205");
    EXPECT_EQ(Caption(f.CardPoints[1]), "310");
    EXPECT_EQ(Caption(f.PureCans[1]), "500");
    EXPECT_EQ(Caption(f.MixedCans[1]), "300");
    EXPECT_EQ(Caption(f.RThreesPoints[1]), "200");
    EXPECT_EQ(Caption(f.RThreesPoints[2]), "100");
    EXPECT_EQ(Caption(f.OutFirst[1]), "100");
    EXPECT_EQ(Caption(f.OutFirst[2]), "");
    EXPECT_EQ(Caption(f.MinusPoints[1]), " - 0");
    EXPECT_EQ(Caption(f.MinusPoints[2]), " - 45");
    EXPECT_EQ(Caption(f.LblCurrMeld[1]), "");
    EXPECT_EQ(f.lblComments.caption,
              "Well done, you beat Thaddock this hand with total score of  1410 against his score "
              "of  205");
    EXPECT_EQ(f.GamePoints[0].caption, "game not over - click 'Carry On' button' or 'Exit'");
    EXPECT_TRUE(f.cmdSave.visible);
    // The winner sees Thaddock's last cards.
    EXPECT_EQ(Pic(41).image, 41);
    EXPECT_EQ(Pic(35).image, 35);
    // The hand's components are cleared; the red-three count is kept.
    EXPECT_EQ(MeldPoints[1], 0);
    EXPECT_EQ(HandBonus[1], 0);
    EXPECT_EQ(RedThreeCount[1], 2);
}

TEST_F(ScoringTest, RedThreesCountForASideWithAMeldAndAgainstOneWithout) {
    struct Case {
        int threes;
        bool meld;
        int points;
    };
    for (const Case& c :
         {Case{0, false, 0}, {1, true, 100}, {3, false, -300}, {4, false, -800}, {4, true, 800}}) {
        SCOPED_TRACE(c.threes * 10 + c.meld);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        for (int i = 0; i < c.threes; ++i) Place(105 + i, OpponentRedThrees);
        if (c.meld) LayMeld(2, 6, {33, 34, 35});
        GetBonusScores(2);
        EXPECT_EQ(RedThreePoints[2], c.points);
        EXPECT_EQ(HandBonus[2], c.points);
        EXPECT_TRUE(Frmtable().lblMeldsC[14].visible);
        EXPECT_EQ(Frmtable().lblMeldsC[14].caption, "Pts. " + std::to_string(c.points));
        EXPECT_EQ(Frmtable().LblCurrBon[2].caption, std::to_string(c.points));
    }
}

TEST_F(ScoringTest, OnlyNaturalRanksMakeAMeldForRedThreesAndCanastaBonuses) {
    // Seven black threes and a meld of Twos: no canasta bonus, and no meld for the red three.
    LayMeld(1, 3, {13, 14, 15, 16});
    MeldTable[3].Count[1] = 7;
    MeldTable[2].Count[1] = 8;
    MeldTable[2].Melded[1] = true;
    Place(108, PlayerRedThrees);
    GetBonusScores(1);
    EXPECT_EQ(PureCanastas[1] + MixedCanastas[1], 0);
    EXPECT_EQ(HandBonus[1], -100);
    // A canasta of Aces does score.
    LayMeld(1, 1, {97, 98, 99, 100, 101, 102, 103});
    GetBonusScores(1);
    EXPECT_EQ(PureCanastas[1], 1);
    EXPECT_EQ(HandBonus[1], 500 + 100);
}

TEST_F(ScoringTest, RunningScoresAreTheSameHoweverOftenTheyAreWorkedOut) {
    LayMeld(1, 12, {1, 81, 82, 83, 84, 85, 86});
    Place(105, PlayerRedThrees);
    TakeBackPenalty = 50;
    for (int n = 0; n < 3; ++n) {
        GetHandScores(1);
        GetBonusScores(1);
        EXPECT_EQ(MeldPoints[1], 50 + 60 - 50);
        EXPECT_EQ(HandBonus[1], 300 + 100);
        EXPECT_EQ(MixedCanastas[1], 1);
        EXPECT_EQ(Frmtable().LblCurrMeld[1].caption, "60");
        EXPECT_EQ(Frmtable().LblCurrBon[1].caption, "400");
    }
}

TEST_F(ScoringTest, TheGameLineSaysOverOnlyWhenATotalPassesTheTarget) {
    // Each side is left holding a Four: the hand costs both of them 5.
    for (int total : {5000, 5001}) {
        SCOPED_TRACE(total);
        AllInStock();
        GameScore[1] = static_cast<i16>(total + 5);
        GameScore[2] = 0;
        Place(20, PlayerHand);
        Place(21, OpponentHand);
        GetScoresHand();
        const TableForm& f = Frmtable();
        if (total == 5000) {
            EXPECT_EQ(f.GamePoints[0].caption,
                      "game not over - click 'Carry On' button' or 'Exit'");
            EXPECT_TRUE(f.cmdSave.visible);
        } else {
            EXPECT_EQ(f.GamePoints[0].caption, "Game is over - click 'Carry On' button'");
            EXPECT_FALSE(f.cmdSave.visible);
        }
        EXPECT_EQ(GameScore[1], total);
        // Equal hand totals leave the comment line alone.
        EXPECT_EQ(f.lblComments.caption, "");
        EXPECT_EQ(f.OutFirst[1].caption, "");
    }
}

TEST_F(ScoringTest, WhenThaddockWinsTheHandHisCardsStayHidden) {
    LayMeld(2, 13, {89, 90, 91});
    Place(41, OpponentHand);
    Place(97, PlayerHand);
    GetHandScores(2);
    GetScoresHand();
    EXPECT_EQ(Frmtable().lblComments.caption,
              "Sorry, Thaddock beat you this hand with total score of  25 against your score of "
              "-20");
    EXPECT_EQ(Pic(41).image, CardBackImage());
}

TEST_F(ScoringTest, ATotalBeyondSixteenBitsIsReportedAsAnOverflow) {
    GameScore[1] = 32700;
    LayMeld(1, 13, {89, 90, 91, 92, 93, 94, 95});
    GetHandScores(1);
    GetScoresHand();
    ASSERT_FALSE(sys.errors.empty());
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: GetScoresHand\r\nError #6: Overflow");
    EXPECT_EQ(GameScore[1], 32700);
}

}  // namespace
}  // namespace cardovia::testing
