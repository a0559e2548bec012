// Thaddock's turn over many random tables, each reproducible from its seed:
// whatever he holds, his melding and discarding leave the table sound.

#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "opponent/OpponentTable.h"

#include <algorithm>
#include <array>
#include <map>
#include <random>

namespace cardovia::testing {
namespace {

constexpr int kSeeds = 600;
constexpr std::array<int, 11> kNaturalRanks = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

// Random tables built from per-rank stacks of the cards still free (rank 0
// holds the wild cards), so every card is placed once.
class RandomTable {
  public:
    explicit RandomTable(unsigned seed) : rng_(seed) {
        for (int i = 1; i < kFirstRedThree; ++i)
            free_[IsWildIndex(i) ? 0 : Cards[i].Rank].push_back(i);
        for (auto& [rank, cards] : free_) std::shuffle(cards.begin(), cards.end(), rng_);
    }

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    // A meld of three to seven natural cards and sometimes up to three wild
    // cards, laid after one or more of the natural cards.
    void Meld(int side, int rank) {
        std::vector<int> cards = Take(rank, Between(3, 7));
        if (cards.size() < 3) return Give(cards, Stock);
        const std::vector<int> wild = Take(0, Chance(40) ? Between(1, 3) : 0);
        cards.insert(cards.begin() + Between(1, static_cast<int>(cards.size())), wild.begin(),
                     wild.end());
        BookMeld(side, rank, cards);
        MeldOpened[side] = true;
        MinMeld[side] = static_cast<i16>(-Between(0, 60));
    }

    void Melds(int side, int most) {
        std::vector<int> ranks(kNaturalRanks.begin(), kNaturalRanks.end());
        std::shuffle(ranks.begin(), ranks.end(), rng_);
        for (int i = Between(0, most); i > 0; --i) Meld(side, ranks[i]);
    }

    // Cards in groups of one to four, so that pairs, threes and fours are common.
    void Deal(CardLocation where, int size) {
        for (int held = 0; held < size;) {
            const std::vector<int> cards = Take(AnyRank(), std::min(Between(1, 4), size - held));
            Give(cards, where);
            held += static_cast<int>(cards.size());
            if (where == DiscardPile && !cards.empty()) TopDiscard = static_cast<i16>(cards.back());
        }
    }

  private:
    int AnyRank() {
        const int pick = Between(1, 100);
        if (pick <= 12) return 0;
        if (pick <= 17) return kBlackThree;
        return kNaturalRanks[Between(0, static_cast<int>(kNaturalRanks.size()) - 1)];
    }
    std::vector<int> Take(int rank, int n) {
        std::vector<int>& stack = free_[rank];
        std::vector<int> taken;
        for (; n > 0 && !stack.empty(); --n) {
            taken.push_back(stack.back());
            stack.pop_back();
        }
        return taken;
    }
    static void Give(const std::vector<int>& cards, CardLocation where) {
        for (int c : cards) Cards[c].Location = where;
    }
    std::mt19937 rng_;
    std::map<int, std::vector<int>> free_;
};

class OpponentPropertyTest : public OpponentTable {
  protected:
    void Deal(unsigned seed) {
        ResetModel();
        ResetForm();
        AllInStock();
        RandomTable table(seed);
        const bool opponentOpened = table.Chance(70);
        if (opponentOpened) {
            table.Melds(kOpponent, 5);
            MeldOpened[kOpponent] = true;
        } else {
            const int minimums[] = {15, 50, 90, 120};
            MinMeld[kOpponent] = static_cast<i16>(minimums[table.Between(0, 3)]);
        }
        table.Melds(kPlayer, 3);
        table.Deal(OpponentHand, table.Between(1, 16));
        table.Deal(PlayerHand, table.Between(1, 10));
        table.Deal(DiscardPile, table.Between(0, 6));
        LearningMode = table.Chance(20);
        SortHand(kPlayer);
        SortHand(kOpponent);
        ShuffleDiscard();
    }

    static int NaturalCount(int rank) {
        int n = 0;
        for (int c : OpponentMeld(rank)) n += !IsWildIndex(c);
        return n;
    }

    // Every opponent meld agrees with its booking, holds at least three
    // natural cards of its rank and no more than three wild cards.
    static void ExpectSoundMelds() {
        bool canasta = false;
        for (int r = 1; r <= kMeldRanks; ++r) {
            SCOPED_TRACE(r);
            const MeldRecord& m = MeldTable[r];
            const std::vector<int> cards = OpponentMeld(r);
            EXPECT_EQ(m.Count[kOpponent], static_cast<int>(cards.size()));
            EXPECT_EQ(m.Melded[kOpponent], !cards.empty());
            EXPECT_EQ(m.WildCount[kOpponent], static_cast<int>(cards.size()) - NaturalCount(r));
            EXPECT_LE(m.WildCount[kOpponent], 3);
            if (!cards.empty()) {
                EXPECT_GE(NaturalCount(r), 3);
            }
            for (int c : cards) {
                if (!IsWildIndex(c)) {
                    EXPECT_EQ(Cards[c].Rank, r);
                }
            }
            canasta = canasta || m.Count[kOpponent] >= 7;
        }
        EXPECT_EQ(HasCanasta[kOpponent], canasta);
    }
};

TEST_F(OpponentPropertyTest, ThaddocksTurnLeavesEveryCardInOneSoundPlace) {
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE(seed);
        Deal(seed);
        const bool openedBefore = MeldOpened[kOpponent];
        std::array<i16, kDeckSize + 1> before{};
        for (int i = 1; i <= kDeckSize; ++i) before[i] = Cards[i].Location;

        WhatCanBeMelded();
        const int heldAfterMelding = static_cast<int>(At(OpponentHand).size());
        const bool canastaAfterMelding = HasCanasta[kOpponent];
        DiscardWhatCard();

        EXPECT_TRUE(sys.errors.empty());
        ExpectSoundMelds();
        // Only Thaddock's hand gave up cards, to his melds and to the pile.
        int thrown = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (before[i] != OpponentHand) {
                EXPECT_EQ(Cards[i].Location, before[i]) << "card " << i;
                continue;
            }
            const i16 now = Cards[i].Location;
            EXPECT_TRUE(now == OpponentHand || now == OpponentMelds || now == DiscardPile)
                << "card " << i;
            if (now == DiscardPile) {
                ++thrown;
                EXPECT_EQ(TopDiscard, i);
            }
        }
        const int held = static_cast<int>(At(OpponentHand).size());
        EXPECT_EQ(HandCount[kOpponent], held);
        // He throws whenever he holds a card, except a last one without a canasta.
        const bool mayThrow =
            heldAfterMelding >= 2 || (heldAfterMelding == 1 && canastaAfterMelding);
        EXPECT_EQ(thrown, mayThrow ? 1 : 0);
        // An empty hand, by melding or by throwing, needs a canasta.
        if (held == 0) {
            EXPECT_TRUE(HasCanasta[kOpponent]);
        }
        // Melds are on the table only once the minimum has been met.
        if (!openedBefore && !At(OpponentMelds).empty()) {
            EXPECT_TRUE(MeldOpened[kOpponent]);
        }
        EXPECT_EQ(DelayMs, SpeedDelay);
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace cardovia::testing
