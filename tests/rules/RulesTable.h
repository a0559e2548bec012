#pragma once
// A table for the meld and pile rules: the whole deck in the stock with its
// deck values, and helpers that put cards straight into hands, melds and the
// pile, as a test builds a situation.

#include "support/TestTable.h"

#include <initializer_list>
#include <string>

namespace cardovia::testing {

class RulesTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
        HandCount = PerSide{};
    }

    static void Hand(int side, std::initializer_list<int> cards) {
        for (int c : cards) Place(c, side == kPlayer ? PlayerHand : OpponentHand);
    }

    // The pile holds these cards; the last one named lies on top.
    static void Pile(std::initializer_list<int> cards) {
        for (int c : cards) {
            Place(c, DiscardPile);
            TopDiscard = static_cast<i16>(c);
        }
        DiscardCount = static_cast<i16>(cards.size());
    }

    // Books the cards on a side's meld as the meld table would, wild cards
    // (indexes 1..12) counted from the first of them on.
    static void LayMeld(int side, int rank, std::initializer_list<int> cards) {
        MeldRecord& m = MeldTable[rank];
        for (int c : cards) {
            Cards[c].Location = side == kPlayer ? PlayerMelds : OpponentMelds;
            Cards[c].MeldRank[side] = static_cast<i16>(rank);
            ++m.Count[side];
            if (IsWildIndex(c)) {
                m.HasWild[side] = true;
                ++m.WildCount[side];
            }
            if (m.HasWild[side]) ++m.CountSinceWild[side];
        }
        m.Melded[side] = true;
        if (m.Count[side] >= 7) HasCanasta[side] = true;
    }

    static std::string Panel(int n) { return Frmtable().StatusPanels[n]; }
    std::vector<std::int64_t> Waits() const { return sys.waits; }
};

}  // namespace cardovia::testing
