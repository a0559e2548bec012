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

    static void LayMeld(int side, int rank, std::initializer_list<int> cards) {
        BookMeld(side, rank, cards);
    }

    static std::string Panel(int n) { return Frmtable().StatusPanels[n]; }
    std::vector<std::int64_t> Waits() const { return sys.waits; }
};

}  // namespace cardovia::testing
