#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "opponent/OpponentTable.h"

#include <algorithm>

namespace cardovia::testing {
namespace {

using Cardlist = std::vector<int>;

class OpponentMeldingTest : public OpponentTable {
  protected:
    // The cards that were shown on their way from Thaddock's hand to a meld,
    // in the order they went, with whether he had opened at that moment.
    struct MeldMove {
        int card;
        bool opened;
    };
    std::vector<MeldMove> moves;
    void WatchMeldMoves() {
        sys.onWait = [this] {
            for (int i = 1; i <= kDeckSize; ++i) {
                const bool shownOnTheWay = Cards[i].Location == OpponentHand &&
                                           Pic(i).top == kOpponentHandTop + 1000 &&
                                           Pic(i).image == i;
                if (shownOnTheWay) moves.push_back({i, MeldOpened[kOpponent]});
            }
        };
    }
    Cardlist MovedCards() const {
        Cardlist cards;
        for (const MeldMove& m : moves) cards.push_back(m.card);
        return cards;
    }
};

TEST_F(OpponentMeldingTest, ThaddockDoesNotOpenBelowHisMinimumEvenHoldingJokers) {
    MinMeld[kOpponent] = 50;
    ToHand(kOpponent, {1, 2, 25, 26, 27, 89, 90, 91});  // two Jokers, three Fives, three Kings

    WhatCanBeMelded();

    EXPECT_TRUE(At(OpponentMelds).empty());
    EXPECT_EQ(HandCount[kOpponent], 8);
    EXPECT_FALSE(MeldOpened[kOpponent]);
    EXPECT_EQ(MinMeld[kOpponent], 50);
}

TEST_F(OpponentMeldingTest, ATenCardHandOpensWithAcesThenLaysTheKings) {
    MinMeld[kOpponent] = 50;
    ToHand(kOpponent, {97, 98, 99, 89, 90, 91, 17, 33, 49, 65});
    WatchMeldMoves();

    WhatCanBeMelded();

    EXPECT_EQ(MovedCards(), (Cardlist{97, 98, 99, 89, 90, 91}));
    // The third Ace brings him to 60, past the minimum, before any King moves.
    ASSERT_EQ(moves.size(), 6u);
    EXPECT_FALSE(moves[2].opened);
    EXPECT_TRUE(moves[3].opened);
    EXPECT_EQ(OpponentMeld(kAce), (Cardlist{97, 98, 99}));
    EXPECT_EQ(OpponentMeld(kKing), (Cardlist{89, 90, 91}));
    EXPECT_EQ(At(OpponentHand), (Cardlist{17, 33, 49, 65}));
    EXPECT_TRUE(MeldOpened[kOpponent]);
}

TEST_F(OpponentMeldingTest, ASixCardHandLaysTheAcesAndKeepsTheLastThreeCards) {
    MinMeld[kOpponent] = 50;
    ToHand(kOpponent, {97, 98, 99, 89, 90, 91});

    WhatCanBeMelded();

    EXPECT_EQ(OpponentMeld(kAce), (Cardlist{97, 98, 99}));
    EXPECT_EQ(At(OpponentHand), (Cardlist{89, 90, 91}));
    EXPECT_TRUE(MeldOpened[kOpponent]);
}

TEST_F(OpponentMeldingTest, AnOpeningThatWouldStopShortOfTheMinimumIsNotStarted) {
    // 90 points in Aces and Kings meet a minimum of 90 only if both are laid.
    // From six cards the Kings would have to stay in hand, leaving the Aces on
    // the table below the minimum, so nothing is laid.
    MinMeld[kOpponent] = 90;
    ToHand(kOpponent, {97, 98, 99, 89, 90, 91});
    WhatCanBeMelded();
    EXPECT_TRUE(At(OpponentMelds).empty());
    EXPECT_EQ(MinMeld[kOpponent], 90);

    // With four more cards both melds go down and meet it exactly.
    ToHand(kOpponent, {17, 33, 49, 65});
    WhatCanBeMelded();
    EXPECT_EQ(At(OpponentMelds).size(), 6u);
    EXPECT_TRUE(MeldOpened[kOpponent]);
    EXPECT_EQ(MinMeld[kOpponent], 0);
}

TEST_F(OpponentMeldingTest, FourNinesStayInHandWithoutACanastaAndGoOutWithOne) {
    Opened(kOpponent);
    ToHand(kOpponent, {57, 58, 59, 60});
    WhatCanBeMelded();
    EXPECT_TRUE(OpponentMeld(9).empty());
    EXPECT_EQ(HandCount[kOpponent], 4);

    LayMeld(kOpponent, 12, {81, 82, 83, 84, 85, 86, 87});  // a pure canasta of Queens
    WhatCanBeMelded();
    EXPECT_EQ(OpponentMeld(9), (Cardlist{57, 58, 59, 60}));
    EXPECT_EQ(HandCount[kOpponent], 0);

    // Having gone out by melding, he has nothing to discard.
    const auto waited = sys.waits.size();
    DiscardWhatCard();
    EXPECT_EQ(DiscardCount, 0);
    EXPECT_EQ(sys.waits.size(), waited);
}

TEST_F(OpponentMeldingTest, WithoutACanastaThaddockMeldsOnlyFromFourCardsUp) {
    struct Case {
        const char* what;
        std::vector<int> hand;
        Cardlist melded;
    };
    const Case cases[] = {
        {"three Sixes from five cards", {17, 33, 34, 35, 49}, {33, 34, 35}},
        {"three Sixes and nothing else", {33, 34, 35}, {}},
        // The Kings could be laid by the evaluation, but after the Sixes only
        // three cards are left.
        {"Sixes first, then the Kings stay", {33, 34, 35, 89, 90, 91}, {33, 34, 35}},
        {"down to one card after the Sixes", {17, 33, 34, 35}, {33, 34, 35}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        Opened(kOpponent);
        for (int card : c.hand) Cards[card].Location = OpponentHand;
        SortHand(kOpponent);

        WhatCanBeMelded();

        EXPECT_EQ(At(OpponentMelds), c.melded);
        EXPECT_EQ(HandCount[kOpponent], static_cast<int>(c.hand.size() - c.melded.size()));
    }
}

TEST_F(OpponentMeldingTest, WithoutACanastaTheLastGroupInHandStaysUnlessItMakesOne) {
    // The hand is judged before the Aces go; once they are down, the Sevens
    // are the whole hand and may go only as a canasta.
    Opened(kOpponent);
    ToHand(kOpponent, {97, 98, 99, 41, 42, 43, 44, 45});
    WhatCanBeMelded();
    EXPECT_EQ(OpponentMeld(kAce), (Cardlist{97, 98, 99}));
    EXPECT_EQ(At(OpponentHand), (Cardlist{41, 42, 43, 44, 45}));
    EXPECT_FALSE(HasCanasta[kOpponent]);

    // Seven Sevens are a canasta, and Thaddock goes out with them.
    AllInStock();
    MeldTable.fill(MeldRecord{});
    ToHand(kOpponent, {97, 98, 99, 41, 42, 43, 44, 45, 46, 47});
    WhatCanBeMelded();
    EXPECT_EQ(OpponentMeld(kSeven).size(), 7u);
    EXPECT_TRUE(HasCanasta[kOpponent]);
    EXPECT_EQ(HandCount[kOpponent], 0);
}

TEST_F(OpponentMeldingTest, AJokerAndATwoMeetFiveJacks) {
    struct Case {
        const char* what;
        bool canasta;
        std::vector<int> hand;
        Cardlist jacks;  // Thaddock's Jack meld afterwards
    };
    const Case cases[] = {
        {"no canasta: the Joker only", false, {1, 5, 17, 57, 89}, {1, 73, 74, 75, 76, 77}},
        {"canasta and three cards: both", true, {1, 5, 17}, {1, 5, 73, 74, 75, 76, 77}},
        {"canasta and five cards: the Joker only",
         true,
         {1, 5, 17, 57, 89},
         {1, 73, 74, 75, 76, 77}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        HasCanasta.fill(false);
        Opened(kOpponent);
        LayMeld(kOpponent, 11, {73, 74, 75, 76, 77});
        if (c.canasta) LayMeld(kOpponent, 12, {81, 82, 83, 84, 85, 86, 87});
        for (int card : c.hand) Cards[card].Location = OpponentHand;
        SortHand(kOpponent);

        WhatCanBeMelded();

        EXPECT_EQ(OpponentMeld(11), c.jacks);
        const int wild = static_cast<int>(c.jacks.size()) - 5;
        EXPECT_EQ(MeldTable[11].WildCount[kOpponent], wild);
        EXPECT_EQ(MeldTable[11].CountSinceWild[kOpponent], wild);
        EXPECT_EQ(Cards[5].Location, wild == 2 ? OpponentMelds : OpponentHand);
        EXPECT_EQ(MeldTable[12].Count[kOpponent], c.canasta ? 7 : 0);
    }
}

TEST_F(OpponentMeldingTest, ThreeSevensTakeOneJokerOnlyAsTheSecondWildCard) {
    // A meld of three is no target for the first wild card; the second goes on
    // any meld with room. Were the Sevens chosen twice, both Jokers would go.
    Opened(kOpponent);
    LayMeld(kOpponent, 7, {41, 42, 43});
    ToHand(kOpponent, {1, 2, 17, 57, 89});

    WhatCanBeMelded();

    EXPECT_EQ(OpponentMeld(7), (Cardlist{1, 41, 42, 43}));
    EXPECT_EQ(At(OpponentHand), (Cardlist{2, 17, 57, 89}));
    EXPECT_EQ(Frmtable().lblMeldsC[7].caption, "Mixed:- 4 Wild:-1");
}

TEST_F(OpponentMeldingTest, TheFirstWildCardNeverOutnumbersTheNaturalCards) {
    // Tens of two natural cards and two Twos, as a taken pile can leave them:
    // the first wild card may not go there, so the second goes to the Aces,
    // which come first.
    Opened(kOpponent);
    LayMeld(kOpponent, 10, {65, 66, 5, 6});
    LayMeld(kOpponent, kAce, {97, 98, 99});
    ToHand(kOpponent, {1, 2, 17, 57, 89});

    WhatCanBeMelded();

    EXPECT_EQ(OpponentMeld(10), (Cardlist{5, 6, 65, 66}));
    EXPECT_EQ(OpponentMeld(kAce), (Cardlist{1, 97, 98, 99}));
    EXPECT_EQ(Cards[2].Location, OpponentHand);
}

TEST_F(OpponentMeldingTest, TheSecondWildCardMayOutnumberTheNaturalCardsButNotPassThree) {
    Opened(kOpponent);
    LayMeld(kOpponent, 10, {65, 66, 5, 6});
    ToHand(kOpponent, {1, 2, 17, 57, 89});

    WhatCanBeMelded();

    EXPECT_EQ(OpponentMeld(10), (Cardlist{1, 5, 6, 65, 66}));
    EXPECT_EQ(MeldTable[10].WildCount[kOpponent], 3);
    // The Tens have now had three cards since their first wild card: the
    // next turn keeps the other Joker in hand.
    WhatCanBeMelded();
    EXPECT_EQ(Cards[2].Location, OpponentHand);
    EXPECT_EQ(MeldTable[10].WildCount[kOpponent], 3);
}

TEST_F(OpponentMeldingTest, WithOneCardAndNoCanastaThaddockExplainsAndMeldsNothing) {
    // Even the King that would make the meld a canasta stays in hand.
    LearningMode = true;
    Opened(kOpponent);
    LayMeld(kOpponent, kKing, {89, 90, 91, 92, 93, 94});
    ToHand(kOpponent, {95});

    WhatCanBeMelded();

    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].message,
              "Thaddock does not have a Canasta and only 1 card in hand so cannot meld it and  go "
              "out.");
    EXPECT_EQ(sys.dialogs[0].title, "Learning Message");
    EXPECT_EQ(Frmtable().StatusPanels[2], "Cannot Meld one card as no Canasta made.");
    EXPECT_EQ(At(OpponentHand), (Cardlist{95}));
    EXPECT_EQ(MeldTable[kKing].Count[kOpponent], 6);
}

TEST_F(OpponentMeldingTest, TheFirstCardOfAMeldIsShownForTheLongerPause) {
    SpeedDelay = kMediumSpeed;
    const int meldPause = kMediumSpeed + 250;
    Opened(kOpponent);
    ToHand(kOpponent, {17, 89, 90, 91});
    WatchMeldMoves();

    MeldCardsHand(kOpponent, kKing);

    EXPECT_EQ(MovedCards(), (Cardlist{89, 90, 91}));
    // Booking the first card puts the pause back to the play speed.
    ASSERT_GE(sys.waits.size(), 3u);
    EXPECT_EQ(sys.waits[0], meldPause);
    EXPECT_EQ(std::count(sys.waits.begin(), sys.waits.end(), meldPause), 1);
    EXPECT_EQ(OpponentMeld(kKing), (Cardlist{89, 90, 91}));
    EXPECT_EQ(At(OpponentHand), (Cardlist{17}));
    EXPECT_EQ(HandCount[kOpponent], 1);
    EXPECT_EQ(DelayMs, kMediumSpeed);
}

TEST_F(OpponentMeldingTest, ThePlayersCardsMoveUpTowardsTheMeldTable) {
    ToHand(kPlayer, {33, 34, 35, 17});
    std::vector<int> tops;
    sys.onWait = [&tops] {
        for (int i : {33, 34, 35}) {
            if (Cards[i].Location == PlayerHand && Pic(i).top != kPlayerHandTop) {
                tops.push_back(Pic(i).top);
            }
        }
    };

    MeldCardsHand(kPlayer, 6);

    EXPECT_EQ(tops, (std::vector<int>(3, kPlayerHandTop - 1000)));
    EXPECT_EQ(MeldTable[6].Count[kPlayer], 3);
    EXPECT_EQ(At(PlayerHand), (Cardlist{17}));
}

}  // namespace
}  // namespace cardovia::testing
