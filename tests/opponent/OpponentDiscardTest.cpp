#include "flow/Pacing.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentTable.h"

namespace cardovia::testing {
namespace {

using Cardlist = std::vector<int>;

class OpponentDiscardTest : public OpponentTable {
  protected:
    // Where a card's picture was, and whether it lay in front, at each pause.
    struct Step {
        int left;
        int top;
        bool faceUp;
        bool inFront;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> steps;
    void WatchCard(int card) {
        sys.onWait = [this, card] {
            const Picture& p = Pic(card);
            steps.push_back({p.left, p.top, p.image == card, p.z == Frmtable().zCounter});
        };
    }
};

TEST_F(OpponentDiscardTest, ThaddockThrowsTheFirstCardOfTheFirstPassThatFindsOne) {
    struct Case {
        const char* what;
        std::vector<int> hand;
        std::vector<int> pile;
        std::vector<int> playerMelds;  // ranks the player has melded
        int thrown;
    };
    const Case cases[] = {
        {"a black three on a pile of two", {1, 13, 17}, {41, 49}, {}, 13},
        {"no black three on a pile of one", {1, 13, 17}, {41}, {}, 17},
        {"no black three on an empty pile", {1, 13, 17}, {}, {}, 17},
        {"a lone card the player cannot lay off", {17, 89}, {}, {4}, 89},
        {"lone cards in index order, Aces last", {97, 89}, {}, {}, 89},
        {"a lone card before three of a kind", {25, 26, 27, 89}, {}, {}, 89},
        {"three of a kind the player cannot lay off",
         {17, 25, 26, 27, 57, 58, 59, 89, 90},
         {},
         {4, 5},
         57},
        {"a lone card the player can lay off, before pairs", {17, 18, 57, 58, 89}, {}, {13}, 89},
        {"a lone card before three of a kind, both of which the player can lay off",
         {25, 26, 27, 89},
         {},
         {5, 13},
         89},
        {"three of a kind the player can lay off, before pairs", {17, 18, 25, 26, 27}, {}, {5}, 25},
        {"pairs only", {25, 26, 73, 74}, {}, {}, 25},
        {"a natural card before a black three on a small pile", {13, 17, 18}, {}, {}, 17},
        {"a black three before a Joker on a small pile", {1, 13}, {41}, {}, 13},
        {"a black three before a Joker on a pile of two", {1, 13}, {41, 49}, {}, 13},
        {"the first of two Twos", {5, 6}, {}, {}, 5},
        {"a Joker before a Two", {1, 5}, {}, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AllInStock();
        MeldTable.fill(MeldRecord{});
        TopDiscard = 0;
        for (int r : c.playerMelds) MeldTable[r].Melded[kPlayer] = true;
        for (int card : c.pile) {
            Cards[card].Location = DiscardPile;
            TopDiscard = static_cast<i16>(card);
        }
        ShuffleDiscard();
        for (int card : c.hand) Cards[card].Location = OpponentHand;
        SortHand(kOpponent);

        DiscardWhatCard();

        EXPECT_EQ(TopDiscard, c.thrown);
        EXPECT_EQ(Cards[c.thrown].Location, DiscardPile);
        EXPECT_EQ(DiscardCount, static_cast<int>(c.pile.size()) + 1);
        EXPECT_EQ(HandCount[kOpponent], static_cast<int>(c.hand.size()) - 1);
    }
}

TEST_F(OpponentDiscardTest, TheLastCardGoesOnlyWithACanasta) {
    ToPile({41});
    ToHand(kOpponent, {89});
    DiscardWhatCard();
    EXPECT_EQ(Frmtable().StatusPanels[2], " Thaddock cannot discard at present- no Canasta");
    EXPECT_EQ(At(OpponentHand), (Cardlist{89}));
    EXPECT_EQ(TopDiscard, 41);
    EXPECT_TRUE(sys.waits.empty());

    LayMeld(kOpponent, 12, {81, 82, 83, 84, 85, 86, 87});
    DiscardWhatCard();
    EXPECT_EQ(TopDiscard, 89);
    EXPECT_EQ(HandCount[kOpponent], 0);
    EXPECT_TRUE(At(OpponentHand).empty());
}

TEST_F(OpponentDiscardTest, ThaddocksDiscardTravelsDownToThePileAndSoundsThere) {
    SpeedDelay = kFastSpeed;
    ToPile({41});
    ToHand(kOpponent, {17, 89, 90});
    WatchCard(17);

    MakeDiscard(kOpponent, 17);

    const std::vector<Step> path = {{2640, 1920, true, true},
                                    {1560, 4200, true, true},
                                    {840, 6240, true, true},
                                    {840, 6240, true, true}};  // the card sound
    EXPECT_EQ(steps, path);
    EXPECT_EQ(sys.waits, (std::vector<std::int64_t>(4, pauses::kDiscardStep)));
    ASSERT_EQ(sys.sounds.size(), 1u);
    EXPECT_EQ(sys.sounds[0], (dir / kCardSound).string());
    // On the pile the Four lies by index under the Seven but is drawn on top.
    EXPECT_EQ(TopDiscard, 17);
    EXPECT_EQ(DiscardCount, 2);
    EXPECT_EQ(Pic(17).left, kPileLeft);
    EXPECT_EQ(Pic(17).top, kPileTop + 2 * 15);
    EXPECT_EQ(Pic(41).top, kPileTop + 15);
    EXPECT_GT(Pic(17).z, Pic(41).z);
    EXPECT_EQ(HandCount[kOpponent], 2);
    EXPECT_EQ(Pic(89).left, kHandFirstLeft);
    EXPECT_EQ(DelayMs, kFastSpeed);
}

TEST_F(OpponentDiscardTest, ThePlayersDiscardTakesTheShortWayAndShowsThePileToThaddock) {
    ToHand(kPlayer, {17, 89});
    WatchCard(89);

    MakeDiscard(kPlayer, 89);

    const std::vector<Step> path = {
        {2520, 7800, true, true}, {1320, 6840, true, true}, {1320, 6840, true, true}};
    EXPECT_EQ(steps, path);
    EXPECT_EQ(sys.TotalWaited(), 3 * pauses::kDiscardStep);
    EXPECT_EQ(At(PlayerHand), (Cardlist{17}));
    EXPECT_EQ(HandCount[kPlayer], 1);
    // Thaddock has not opened: he sees the pile frozen.
    EXPECT_EQ(PileState, PileStates::Frozen);
    EXPECT_EQ(Frmtable().LblDiscard.caption, "Frozen 1");
}

TEST_F(OpponentDiscardTest, AfterThaddockThrowsATwoTheOpenedPlayerSeesThePileBlocked) {
    for (bool opened : {true, false}) {
        SCOPED_TRACE(opened);
        AllInStock();
        MeldOpened[kPlayer] = opened;
        ToPile({41});
        ToHand(kOpponent, {5, 6});

        DiscardWhatCard();

        EXPECT_EQ(TopDiscard, 5);
        if (opened) {
            EXPECT_EQ(PileState, PileStates::Blocked);
            EXPECT_EQ(Frmtable().Shape1.borderColor, kRed);
            EXPECT_EQ(Frmtable().LblDiscard.caption, "Blocked 2");
        } else {
            EXPECT_EQ(PileState, PileStates::Frozen);
            EXPECT_EQ(Frmtable().LblDiscard.caption, "Frozen 2");
        }
    }
}

}  // namespace
}  // namespace cardovia::testing
