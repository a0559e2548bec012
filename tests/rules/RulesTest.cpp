// The minimum meld and the evaluation of a hand, the discard pile's state,
// the meld table and taking the pile, for both sides.

#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "support/TableTest.h"
#include "ui/Errors.h"

namespace cardovia::testing {
namespace {

using Rules = TableTest;

TEST_F(Rules, TheMinimumMeldFollowsTheGameTotalInBands) {
    for (const auto& [total, minimum] : std::vector<std::pair<int, int>>{
             {-200, 15}, {0, 15}, {1, 50}, {1499, 50}, {1500, 90}, {2999, 90}, {3000, 120}}) {
        for (int side : {kPlayer, kOpponent}) {
            GameScore[side] = static_cast<i16>(total);
            GetMinMeld(side);
            EXPECT_EQ(MinMeld[side], minimum) << "total " << total << " side " << side;
        }
    }
}

TEST_F(Rules, AHandIsEvaluatedForNewMeldsAdditionsAndTheRuleAgainstGoingOutWithoutACanasta) {
    // The hand and melds, then the counts of the hand, the ranks it may lay and their points.
    const std::pair<const char*, const char*> cases[] = {
        {"h2=Aa-Ac", " A:3 may points 0/0"},
        {"h2=Aa-Ac,9a", " A:3 9:1 may A points 0/60"},
        {"h2=9a-9d", " 9:4 may points 0/0"},
        {"h2=9a-9d m29=9e-9g", " 9:4 may 9 points 0/40"},
        {"h2=9a-9d canasta2", " 9:4 may 9 points 0/40"},
        {"h2=Aa-Ac m2A=Ad-Ag", " A:3 may A points 0/60"},
        {"h2=Qa m2Q=Qb-Qd m2A=Aa-Ac", " Q:1 may points 0/0"},
        {"h2=Qa m2Q=Qb-Qg", " Q:1 may Q points 0/0"},
        {"h2=Ad m2A=Aa-Ac m2Q=Qa-Qg", " A:1 may A points 0/0"},
        {"h2=Ke-Kg,6d,4a m2K=Ka-Kd m26=6a-6c", " 4:1 6:1 K:3 may 6 K points 0/30"},
        {"h2=Xa-Xc,2a-2c,3a-3c,4a-4c", " 2:3 3:3 4:3 X:3 may 4 points 0/15"},
    };
    for (const auto& [script, evaluation] : cases) {
        const std::string line = Line(std::string(script) + " EstablishPoints:2", "state: ");
        const auto from = line.find("| eval") + 6;
        EXPECT_EQ(line.substr(from, line.find(" |", from) - from), evaluation) << script;
    }
}

TEST_F(Rules, ThePilesStateDependsOnTheSideItsTopCardAndWhatLiesBelow) {
    const std::pair<const char*, const char*> cases[] = {
        {"DiscardFrozen:1", "0 \"Frozen 0\" frozen:"},
        {"open1 DiscardFrozen:1", "0 \"Cards 0\" open:"},
        {"open1 p=7a,7b DiscardFrozen:1", "2 \"Cards 2\" open top 7b: 7a 7b @240,8280 +1,30"},
        {"open2 p=7a,7b DiscardFrozen:1", "2 \"Frozen 2\" frozen top 7b: 7a 7b @240,8280 +1,30"},
        {"open1 p=7a,Xb DiscardFrozen:1", "2 \"Blocked 2\" blocked top Xb: 7a Xb @241,8295 +-1,15"},
        {"open1 p=7a,2c DiscardFrozen:1", "2 \"Blocked 2\" blocked top 2c: 7a 2c @241,8295 +-1,15"},
        {"open1 p=7a,3a DiscardFrozen:1", "2 \"Blocked 2\" blocked top 3a: 7a 3a @241,8295 +-1,15"},
        {"open1 p=7a,Rb DiscardFrozen:1", "2 \"Blocked 2\" blocked top Rb: 7a Rb @240,8280 +1,30"},
        {"open2 p=7a,Xb DiscardFrozen:1", "2 \"Frozen 2\" frozen top Xb: 7a Xb @241,8295 +-1,15"},
        {"open1 p=Xb,7a DiscardFrozen:1", "2 \"Frozen 2\" frozen top 7a: Xb 7a @240,7980 +1,330"},
        {"open1 p=3b,7a DiscardFrozen:1", "2 \"Frozen 2\" frozen top 7a: 3b 7a @240,8280 +1,30"},
        {"open1 p=Ra,7a DiscardFrozen:1", "2 \"Frozen 2\" frozen top 7a: Ra 7a @241,8295 +-1,15"},
    };
    for (const auto& [script, pile] : cases) EXPECT_EQ(Line(script, "pile "), pile) << script;
}

TEST_F(Rules, MeldsAreBookedLaidOutAndLabelledAsTheyGrow) {
    ExpectGolden(
        "meld-table",
        PlayAll({
            {"seven Queens make a pure canasta in orange; a Two then makes it mixed",
             "turn drawn open1 h1=Qa-Qg,2a,Aa L:Qa L:Qb L:Qc dump L:Qd L:Qe L:Qf L:Qg dump L:2a "
             "R:Qc"},
            {"cards laid from the first wild card on make the meld mixed; wild cards head the "
             "column",
             "turn drawn open1 h1=Qa-Qf,Xa,2b,Ab L:Qa L:Qb L:Qc L:2b R:Qa L:Qd L:Xa R:Qa L:Qe "
             "L:Qf"},
            {"Thaddock's melds are laid out card by card; his canasta leaves the player's label",
             "h1=Aa h2=Ab,Qh m25=5a-5c m1Q=Qa-Qg SortaMeld:5:2 PutCardOnMeld:Qh:Q:2 SortaMeld:Q:2"},
            {"a wild card steps forward to join Thaddock's meld",
             "watch h2=Xa,Ab m2K=Ka-Kc AddWildCard:Xa:K:2"},
            {"while the results show, the table is left alone",
             "h1=Aa,Ka m1Q=Qa-Qc idle PickUpCard:Ka SortaMeld:Q:1"},
            {"laying out a meld stops the drag and clears the chosen wild card's border",
             "turn drawn open1 h1=Xa,Qa,Qb,Ka m1Q=Qc-Qe L:Xa PickUpCard:Ka SortaMeld:Q:1"},
            {"laying the last card ends the player's turn at once, even as a canasta is made",
             "turn drawn h1=Ka,Kb m1K=Kc-Kg L:Ka PutCardOnMeld:Kb:K:1 SortaMeld:K:1"},
            {"melds short of three cards, and a meld rank that has no meld",
             "h1=Aa m1K=Ka-Kc m15=5a,5b CheckMeldsComplete:1 m23=3a,3b CheckMeldsComplete:2 "
             "m15=5c CheckMeldsComplete:1 SortaMeld:X:1"},
        }));
    EXPECT_THROW(PutCardOnMeld(2, kJoker, kPlayer), GameError);
    EXPECT_EQ(Cards[2].Location, Stock);
}

TEST_F(Rules, WhoMayTakeThePileAndWhereItsCardsGo) {
    ExpectGolden(
        "taking-the-pile",
        PlayAll({
            {"an open pile onto a matching meld with no King in hand; then the empty pile",
             "learn turn open1 m1K=Ka-Kc p=4a,Kd h1=5a,5b CanTakeUpDiscard:1 TakeDiscardPile:1 "
             "CanTakeUpDiscard:1"},
            {"a Joker on top blocks the opened side and freezes the other",
             "open2 p=Ka,Xa h2=Xb,Xc,2a,Kb,Kc h1=Xd,2b,2c CanTakeUpDiscard:2 DiscardFrozen:1 "
             "CanTakeUpDiscard:1"},
            {"a black three on top blocks an opened side whatever it holds",
             "open1 p=4a,3a h1=3b,3c,Xa CanTakeUpDiscard:1"},
            {"a frozen pile needs a pair, or one card and a wild card; a meld does not thaw it",
             "learn open1 p=2a,4a,Ka h1=Kb,5a CanTakeUpDiscard:1 m1K=Kf-Kh CanTakeUpDiscard:1 "
             "h1=2d CanTakeUpDiscard:1 h1=Kc CanTakeUpDiscard:1"},
            {"an open pile with one card and a Two, then without the Two",
             "learn open1 p=4a,Qa h1=Qb,2a CanTakeUpDiscard:1 s=2a CanTakeUpDiscard:1"},
            {"a Queen and a Joker take a frozen Queen and open the minimum",
             "watch learn turn min1=50 p=4a,Qa h1=Xa,Qb,5a CanTakeUpDiscard:1 TakeDiscardPile:1"},
            {"Thaddock makes up a meld of two with his first wild card, a Joker before a Two",
             "open2 p=2a,Qa h2=Qb,2b,Xc,5a TakeDiscardPile:2"},
            {"a side not yet opened takes black threes onto a meld of threes",
             "learn min1=50 p=4a,3a h1=3b,3c,5a CanTakeUpDiscard:1 TakeDiscardPile:1"},
            {"the player lays only enough Sevens to make three",
             "open1 p=4a,7a h1=7b-7e,5a TakeDiscardPile:1"},
            {"Thaddock lays all his Sevens", "open2 p=4a,7a h2=7b-7e,5a TakeDiscardPile:2"},
            {"a red three in the pile goes to the taker's board; the rest is marked as taken",
             "open1 p=Ra,4a,5a,Qa h1=Qb,Qc,Ka TakeDiscardPile:1"},
            {"the pile's Kings go to the meld before the hand's",
             "open1 p=Ka,4a,Kc,Kb h1=Kd,Ke,5a TakeDiscardPile:1"},
            {"Thaddock's take, step by step", "watch open2 p=Qa h2=Qb,Xa,5a,5b TakeDiscardPile:2"},
            {"an error while deciding is reported and the answer is no",
             "faildialogs learn open1 p=Qa h1=Qb,Qc CanTakeUpDiscard:1"},
            {"a pile topped by a wild card cannot be taken", "p=4a,Xa TakeDiscardPile:2"},
        }));
}

}  // namespace
}  // namespace cardovia::testing
