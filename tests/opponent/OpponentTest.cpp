// Thaddock's melding and his choice of discard: tables of hands and what he
// does with them, and his moves step by step.

#include "layout/Hand.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "rules/DiscardPile.h"
#include "support/TableTest.h"

#include <algorithm>

namespace cardovia::testing {
namespace {

using Opponent = TableTest;

// Thaddock's melds rank by rank, then what is left in his hand.
std::string MeldsAndHand() {
    std::string out;
    for (int r = 1; r <= kMeldRanks; ++r) {
        std::vector<int> meld;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == OpponentMelds && Cards[i].MeldRank[kOpponent] == r)
                meld.push_back(i);
        }
        if (!meld.empty()) out += CardNames(meld) + " | ";
    }
    std::vector<int> hand;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == OpponentHand) hand.push_back(i);
    }
    return out + "hand " + CardNames(hand);
}

TEST_F(Opponent, ThaddockMeldsGreedilyRankByRankAndKeepsSomethingInHandWithoutACanasta) {
    const std::pair<const char*, const char*> cases[] = {
        // Opening: his natural melds alone must reach the minimum, laid whole or not at all.
        {"min2=50 h2=Xa,Xb,5a-5c,Ka-Kc", "hand Xa Xb 5a 5b 5c Ka Kb Kc"},
        {"min2=50 h2=Aa-Ac,Ka-Kc,4a,6a,8a,Ta", "Aa Ab Ac | Ka Kb Kc | hand 4a 6a 8a Ta"},
        {"min2=90 h2=Aa-Ac,Ka-Kc", "hand Ka Kb Kc Aa Ab Ac"},
        {"min2=50 h2=Aa-Ac,Ka-Kc", "Aa Ab Ac | hand Ka Kb Kc"},
        {"min2=90 h2=Aa-Ac,Ka-Kc,4a,6a,8a,Ta", "Aa Ab Ac | Ka Kb Kc | hand 4a 6a 8a Ta"},
        // Without a canasta: only from four cards up, and never the last group unless it
        // makes a canasta.
        {"open2 h2=9a-9d", "hand 9a 9b 9c 9d"},
        {"open2 h2=9a-9d m2Q=Qa-Qg", "9a 9b 9c 9d | Qa Qb Qc Qd Qe Qf Qg | hand "},
        {"open2 h2=4a,6a-6c,8a", "6a 6b 6c | hand 4a 8a"},
        {"open2 h2=6a-6c,Ka-Kc", "6a 6b 6c | hand Ka Kb Kc"},
        {"open2 h2=Aa-Ac,7a-7e", "Aa Ab Ac | hand 7a 7b 7c 7d 7e"},
        {"open2 h2=Aa-Ac,7a-7g", "Aa Ab Ac | 7a 7b 7c 7d 7e 7f 7g | hand "},
        // Wild cards: the first only onto a meld of four or five and never outnumbering
        // its natural cards, the second onto any meld with room, three at most.
        {"open2 m2J=Ja-Je h2=Xa,2a,4a,9a,Ka", "Xa Ja Jb Jc Jd Je | hand 2a 4a 9a Ka"},
        {"open2 m2J=Ja-Je m2Q=Qa-Qg h2=Xa,2a,4a",
         "Xa 2a Ja Jb Jc Jd Je | Qa Qb Qc Qd Qe Qf Qg | hand 4a"},
        {"open2 m2J=Ja-Je m2Q=Qa-Qg h2=Xa,2a,4a,9a,Ka",
         "Xa Ja Jb Jc Jd Je | Qa Qb Qc Qd Qe Qf Qg | hand 2a 4a 9a Ka"},
        {"open2 m27=7a-7c h2=Xa,Xb,4a,9a,Ka", "Xa 7a 7b 7c | hand Xb 4a 9a Ka"},
        {"open2 m2T=Ta,Tb,2a,2b m2A=Aa-Ac h2=Xa,Xb,4a,9a,Ka",
         "Xa Aa Ab Ac | 2a 2b Ta Tb | hand Xb 4a 9a Ka"},
        {"open2 m2T=Ta,Tb,2a,2b h2=Xa,Xb,4a,9a,Ka", "Xa 2a 2b Ta Tb | hand Xb 4a 9a Ka"},
        {"open2 m2T=Ta,Tb,2a,2b h2=Xa,Xb,4a,9a,Ka WhatCanBeMelded",
         "Xa 2a 2b Ta Tb | hand Xb 4a 9a Ka"},
        {"open2 m2K=Ka-Kf h2=Kg", "Ka Kb Kc Kd Ke Kf | hand Kg"},
    };
    for (const auto& [script, after] : cases) {
        sys = HeadlessPlatform{};
        FreshTable();
        Play(std::string(script) + " WhatCanBeMelded");
        EXPECT_EQ(MeldsAndHand(), after) << script;
        EXPECT_EQ(TableFaults(false), "") << script;
    }
}

TEST_F(Opponent, ThaddockThrowsTheFirstCardOfTheFirstPassThatFindsOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"h2=Xa,3a,4a p=7a,8a", "3a"},  // a black three on a pile of two
        {"h2=Xa,3a,4a p=7a", "4a"},     // but not on a pile of one
        {"h2=4a,Ka m14=4f-4h", "Ka"},   // a lone card the player cannot lay off
        {"h2=Aa,Ka", "Ka"},             // lone cards in deck order, Aces last
        {"h2=5a-5c,Ka", "Ka"},          // a lone card before three of a kind
        {"h2=4a,5a-5c,9a-9c,Ka,Kb m14=4f-4h m15=5f-5h", "9a"},  // three the player cannot use
        {"h2=4a,4b,9a,9b,Ka m1K=Kf-Kh", "Ka"},  // a lone card the player can use, before pairs
        {"h2=4a,4b,5a-5c m15=5f-5h", "5a"},     // three the player can use, before pairs
        {"h2=5a,5b,Ja,Jb", "5a"},               // pairs only
        {"h2=3a,4a,4b", "4a"},    // a natural card before a black three on a small pile
        {"h2=Xa,3a p=7a", "3a"},  // a black three before a Joker
        {"h2=2a,2b", "2a"},
        {"h2=Xa,2a", "Xa"},
        {"h2=Ka p=7a", "7a"},  // the last card goes only with a canasta
        {"h2=Ka p=7a m2Q=Qa-Qg", "Ka"},
    };
    for (const auto& [script, thrown] : cases) {
        const std::string pile = Line(std::string(script) + " DiscardWhatCard", "pile ");
        EXPECT_EQ(pile.substr(pile.find(" top ") + 5, 2), thrown) << script;
    }
}

TEST_F(Opponent, ThaddocksMovesStepByStep) {
    ExpectGolden("opponent",
                 PlayAll({
                     {"his discard travels down to the pile and sounds there",
                      "watch speed=75 p=7a h2=4a,Ka,Kb MakeDiscard:2:4a"},
                     {"the player's discard takes the short way and shows Thaddock the pile",
                      "watch h1=4a,Ka MakeDiscard:1:Ka"},
                     {"the first card of his meld is shown for the longer pause",
                      "watch open2 h2=4a,Ka-Kc MeldCardsHand:2:K"},
                     {"with one card and no canasta he neither melds nor discards",
                      "h2=7a WhatCanBeMelded dump DiscardWhatCard",
                      {"panels"}},
                     {"a Two he throws blocks the pile for the player, who has opened",
                      "open1 h2=2a,7a MakeDiscard:2:2a",
                      {"pile"}},
                 }));
}

}  // namespace
}  // namespace cardovia::testing
