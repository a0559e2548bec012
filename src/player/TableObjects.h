#pragma once
// The objects of the table a player points at, found afresh from the cards:
// the top of the stock, a side's melds and the cards of a place, left to right
// as they lie. Play by keyboard and the screen reader's table share them.

#include <cstdint>
#include <vector>

namespace cardovia {

// The stock card a click draws with, 0 when the stock is empty.
int StockTopCard();
// The card standing for each meld of a side (1 player, 2 Thaddock), left to right.
std::vector<int> MeldCards(int side);
// The cards at a location (a hand, a red-three board), left to right.
std::vector<int> CardsAt(int location);
// How many cards lie at a location, counted from the cards themselves.
int CountAt(int location);
// The pile's state in a word, as a frame of that colour shows it.
const char* PileWord(std::uint32_t frame);

}  // namespace cardovia
