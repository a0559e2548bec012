#pragma once
// A fresh table for each test: the model and the form as at program start, and
// a headless platform on a virtual clock.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "model/Card.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

namespace cardovia::testing {

// Lays cards on a side's meld in the order given and books them as the meld
// table would: a wild card (index 1..12) marks the meld, every card from it on
// counts as laid since the first wild card, and seven cards make a canasta.
template <class CardRange>
void BookMeld(int side, int rank, const CardRange& cards) {
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
inline void BookMeld(int side, int rank, std::initializer_list<int> cards) {
    BookMeld<std::initializer_list<int>>(side, rank, cards);
}

// The whole content of a file.
std::string FileText(const std::filesystem::path& path);

class TableTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a card at a location (no animation), as a test builds a situation.
    static void Place(int card, CardLocation where) { Cards[card].Location = where; }
    // Makes the random draw pick these cards from the stock, in this order.
    void Script(std::initializer_list<int> cards) {
        for (int c : cards) sys.randomScript.push_back(c / 108.0);
    }
    // All 108 cards in the stock with their deck values, as after a clearing.
    static void AllInStock();
    // The number of cards at a location.
    static int CountAt(CardLocation where);

    HeadlessPlatform sys;
    std::filesystem::path dir;  // a private program directory for the test
};

// The table at the start of a turn of the player's in a running game, with
// the whole deck in the stock until a test deals the player a hand.
class PlayersTurnTest : public TableTest {
  protected:
    void SetUp() override;
    // Puts the cards in the player's hand and lays the hand out.
    static void Hand(std::initializer_list<int> cards);
};

}  // namespace cardovia::testing
