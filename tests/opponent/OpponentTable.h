#pragma once
// A table on which Thaddock's turn can be set up card by card: hands, melds
// booked as the meld table books them, and a discard pile.

#include <initializer_list>
#include <vector>

#include "player/Hand.h"
#include "rules/DiscardPile.h"
#include "support/TestTable.h"

namespace cardovia::testing {

class OpponentTable : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        AllInStock();
    }

    // Puts cards in a side's hand and lays the hand out, which recounts it.
    static void ToHand(int side, std::initializer_list<int> cards) {
        for (int c : cards) Cards[c].Location = static_cast<i16>(side);
        SortHand(side);
    }

    static void LayMeld(int side, int rank, std::initializer_list<int> cards) {
        BookMeld(side, rank, cards);
    }

    static void Opened(int side) {
        MeldOpened[side] = true;
        MinMeld[side] = 0;
    }

    // The pile in the order the cards were thrown: the last one is on top.
    static void ToPile(std::initializer_list<int> cards) {
        for (int c : cards) {
            Cards[c].Location = DiscardPile;
            TopDiscard = static_cast<i16>(c);
        }
        ShuffleDiscard();
    }

    static std::vector<int> At(CardLocation where) {
        std::vector<int> found;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == where) found.push_back(i);
        }
        return found;
    }

    // The cards of Thaddock's meld of a rank, in index order.
    static std::vector<int> OpponentMeld(int rank) {
        std::vector<int> found;
        for (int i : At(OpponentMelds)) {
            if (Cards[i].MeldRank[kOpponent] == rank) found.push_back(i);
        }
        return found;
    }
};

}  // namespace cardovia::testing
