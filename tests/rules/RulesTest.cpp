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

TEST_F(Rules, MeldsAreBookedLaidOutAndLabelledAsTheyGrow) {
    ExpectGolden(
        "meld-table",
        PlayAll({
            {"seven Queens make a pure canasta in orange; a Two then makes it mixed",
             "turn drawn open1 h1=Qa-Qg,2a,Aa L:Qa L:Qb L:Qc dump L:Qd L:Qe L:Qf L:Qg dump L:2a "
             "R:Qc"},
            {"a wild card steps forward to join Thaddock's meld",
             "watch h2=Xa,Ab m2K=Ka-Kc AddWildCard:Xa:K:2"},
            {"melds short of three cards, and a meld rank that has no meld",
             "h1=Aa m1K=Ka-Kc m15=5a,5b CheckMeldsComplete:1 m23=3a,3b CheckMeldsComplete:2 "
             "m2K=Kd,Ke CheckMeldsComplete:2 m15=5c CheckMeldsComplete:1 SortaMeld:X:1"},
            {"the minimum counts down card by card",
             "turn drawn min1=50 h1=Ka-Kc,4a L:Ka",
             {"panels"}},
            {"laying the last card ends the turn before any draw is owed",
             "turn m1Q=Qa-Qg",
             {"state"}},
            {"while the results show, a meld is not laid out", "idle m1K=Ka-Kc", {"melds1"}},
            {"a meld laid out shows no card marked", "m1Q=Xa,Qa,Qb marked=Xa,Qa", {"melds1"}},
        }));
    EXPECT_THROW(PutCardOnMeld(2, kJoker, kPlayer), GameError);
    EXPECT_EQ(Cards[2].Location, Stock);
}

TEST_F(Rules, WhoMayTakeThePileAndWhereItsCardsGo) {
    ExpectGolden(
        "taking-the-pile",
        PlayAll({
            {"a Joker on top blocks the opened side and freezes the other",
             "open2 p=Ka,Xa h2=Xb,Xc,2a,Kb,Kc h1=Xd,2b,2c CanTakeUpDiscard:2 DiscardFrozen:1 "
             "CanTakeUpDiscard:1"},
            {"a Queen and a Joker take a frozen Queen and open the minimum",
             "watch learn turn min1=50 p=4a,Qa h1=Xa,Qb,5a CanTakeUpDiscard:1 TakeDiscardPile:1"},
            {"a red three in the pile goes to the taker's board; the rest is marked as taken",
             "open1 p=Ra,4a,5a,Qa h1=Qb,Qc,Ka TakeDiscardPile:1"},
            {"an empty pile is refused; one topped by a Joker is reported and stays",
             "turn maytake CanTakeUpDiscard:1 dump p=4a,Xa TakeDiscardPile:1",
             {"CanTake", "state", "pile", "error"}},
            {"an error while deciding is reported and the answer is no",
             "learn faildialogs open1 p=Qa h1=Qb,Qc CanTakeUpDiscard:1",
             {"CanTake", "error"}},
            {"a chosen wild card that made up a pile meld is not booked on a second meld",
             "turn open1 m19=9a-9c p=Ka h1=Kb,Xa,4d,5f,6c L:Xa L:Ka R:9a",
             {"melds1", "state"}},
        }));
}

}  // namespace
}  // namespace cardovia::testing
