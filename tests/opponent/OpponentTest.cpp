// Thaddock's melding and his choice of discard: tables of hands and what he
// does with them, his moves step by step, and many random tables.

#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "player/Hand.h"
#include "rules/DiscardPile.h"
#include "support/TableTest.h"

#include <algorithm>
#include <map>
#include <random>

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
        {"min2=50 h2=Aa-Ac,Ka-Kc", "Aa Ab Ac | hand Ka Kb Kc"},
        {"min2=90 h2=Aa-Ac,Ka-Kc", "hand Ka Kb Kc Aa Ab Ac"},
        {"min2=90 h2=Aa-Ac,Ka-Kc,4a,6a,8a,Ta", "Aa Ab Ac | Ka Kb Kc | hand 4a 6a 8a Ta"},
        // Without a canasta: only from four cards up, and never the last group unless it
        // makes a canasta.
        {"open2 h2=9a-9d", "hand 9a 9b 9c 9d"},
        {"open2 h2=9a-9d m2Q=Qa-Qg", "9a 9b 9c 9d | Qa Qb Qc Qd Qe Qf Qg | hand "},
        {"open2 h2=4a,6a-6c,8a", "6a 6b 6c | hand 4a 8a"},
        {"open2 h2=6a-6c", "hand 6a 6b 6c"},
        {"open2 h2=6a-6c,Ka-Kc", "6a 6b 6c | hand Ka Kb Kc"},
        {"open2 h2=4a,6a-6c", "6a 6b 6c | hand 4a"},
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
        {"h2=Xa,3a,4a", "4a"},          // nor on an empty pile
        {"h2=4a,Ka m14=4f-4h", "Ka"},   // a lone card the player cannot lay off
        {"h2=Aa,Ka", "Ka"},             // lone cards in deck order, Aces last
        {"h2=5a-5c,Ka", "Ka"},          // a lone card before three of a kind
        {"h2=4a,5a-5c,9a-9c,Ka,Kb m14=4f-4h m15=5f-5h", "9a"},  // three the player cannot use
        {"h2=4a,4b,9a,9b,Ka m1K=Kf-Kh", "Ka"},  // a lone card the player can use, before pairs
        {"h2=5a-5c,Ka m15=5f-5h m1K=Kf-Kh", "Ka"},
        {"h2=4a,4b,5a-5c m15=5f-5h", "5a"},  // three the player can use, before pairs
        {"h2=5a,5b,Ja,Jb", "5a"},            // pairs only
        {"h2=3a,4a,4b", "4a"},               // a natural card before a black three on a small pile
        {"h2=Xa,3a p=7a", "3a"},             // a black three before a Joker
        {"h2=Xa,3a p=7a,8a", "3a"},
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
                     {"after he throws a Two the opened player sees the pile blocked",
                      "open1 p=7a h2=2a,2b DiscardWhatCard"},
                     {"his last card stays without a canasta", "h2=Ka p=7a DiscardWhatCard"},
                     {"having gone out by melding he throws nothing",
                      "open2 h2=9a-9d m2Q=Qa-Qg WhatCanBeMelded DiscardWhatCard"},
                     {"with one card and no canasta he explains and melds nothing",
                      "learn open2 m2K=Ka-Kf h2=Kg WhatCanBeMelded"},
                     {"the first card of his meld is shown for the longer pause",
                      "watch open2 h2=4a,Ka-Kc MeldCardsHand:2:K"},
                     {"the player's cards move up towards the meld table",
                      "watch h1=6a-6c,4a MeldCardsHand:1:6"},
                 }));
}

// Random tables built from per-rank stacks of the free cards (rank 0 holds the
// wild cards), so that pairs, threes and fours are common.
class RandomTable {
  public:
    explicit RandomTable(unsigned seed) : rng_(seed) {
        for (int i = 1; i < kFirstRedThree; ++i)
            free_[IsWildIndex(i) ? 0 : Cards[i].Rank].push_back(i);
        for (auto& [rank, cards] : free_) std::shuffle(cards.begin(), cards.end(), rng_);
    }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

    // Melds of three to seven natural cards and sometimes up to three wild
    // cards, laid after one or more of the natural cards.
    std::string Melds(int side, int most) {
        std::string words;
        std::vector<int> ranks = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
        std::shuffle(ranks.begin(), ranks.end(), rng_);
        for (int k = Between(0, most); k > 0; --k) {
            std::vector<int> cards = Take(ranks[k], Between(3, 7));
            if (cards.size() < 3) continue;
            const std::vector<int> wild = Take(0, Between(1, 100) <= 40 ? Between(1, 3) : 0);
            cards.insert(cards.begin() + Between(1, static_cast<int>(cards.size())), wild.begin(),
                         wild.end());
            words += " m" + std::to_string(side) + "?A23456789TJQK"[ranks[k]] + "=" + Names(cards);
        }
        return words;
    }
    // Cards in groups of one to four.
    std::string Hand(int size) {
        std::vector<int> cards;
        while (static_cast<int>(cards.size()) < size) {
            const int pick = Between(1, 100);
            const int rank = pick <= 12 ? 0
                             : pick <= 17
                                 ? 3
                                 : std::vector{1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}[Between(0, 10)];
            for (int c : Take(rank, std::min(Between(1, 4), size - static_cast<int>(cards.size()))))
                cards.push_back(c);
        }
        return Names(cards);
    }

  private:
    static std::string Names(const std::vector<int>& cards) {
        std::string names;
        for (int c : cards) names += (names.empty() ? "" : ",") + CardName(c);
        return names;
    }
    std::vector<int> Take(int rank, int n) {
        std::vector<int> taken;
        for (std::vector<int>& stack = free_[rank]; n > 0 && !stack.empty(); --n) {
            taken.push_back(stack.back());
            stack.pop_back();
        }
        return taken;
    }
    std::mt19937 rng_;
    std::map<int, std::vector<int>> free_;
};

TEST_F(Opponent, ThaddocksTurnOnManyRandomTablesLeavesEveryCardInOneSoundPlace) {
    for (unsigned seed = 1; seed <= 600 && !HasFailure(); ++seed) {
        sys = HeadlessPlatform{};
        FreshTable();
        RandomTable table(seed);
        const bool opened = table.Between(1, 100) <= 70;
        std::string script = opened ? "open2" + table.Melds(2, 5)
                                    : "min2=" + std::to_string(15 * table.Between(1, 8));
        script += table.Melds(1, 3) + " h2=" + table.Hand(table.Between(1, 16)) +
                  " h1=" + table.Hand(table.Between(1, 10));
        script += " p=" + table.Hand(table.Between(1, 6));
        script += table.Between(1, 100) <= 20 ? " learn" : "";
        SCOPED_TRACE(script);
        Play(script + " WhatCanBeMelded");
        const std::array<Card, kDeckSize + 1> before = Cards;
        const int held = HandCount[kOpponent];
        const bool canasta = HasCanasta[kOpponent];
        Play("DiscardWhatCard");
        EXPECT_TRUE(sys.errors.empty());
        EXPECT_EQ(TableFaults(true), "");
        // He throws whenever he holds a card, except a last one without a canasta; an
        // empty hand needs a canasta; melds show only once the minimum is met.
        int thrown = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location != before[i].Location) {
                EXPECT_EQ(before[i].Location, OpponentHand);
                EXPECT_EQ(Cards[i].Location, DiscardPile);
                EXPECT_EQ(TopDiscard, i);
                ++thrown;
            }
        }
        EXPECT_EQ(thrown, held >= 2 || (held == 1 && canasta) ? 1 : 0);
        if (HandCount[kOpponent] == 0) EXPECT_TRUE(HasCanasta[kOpponent]);
        bool canastaOnTable = false;
        for (int r = 1; r <= kMeldRanks; ++r) {
            const MeldRecord& m = MeldTable[r];
            canastaOnTable = canastaOnTable || m.Count[kOpponent] >= 7;
            if (m.Count[kOpponent] == 0) continue;
            EXPECT_TRUE(MeldOpened[kOpponent]);
            EXPECT_GE(m.Count[kOpponent] - m.WildCount[kOpponent], 3) << r;
        }
        EXPECT_EQ(HasCanasta[kOpponent], canastaOnTable);
        EXPECT_EQ(DelayMs, SpeedDelay);
    }
}

}  // namespace
}  // namespace cardovia::testing
