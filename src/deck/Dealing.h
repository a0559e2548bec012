#pragma once
// Dealing a hand: fifteen random stock cards to each side, the first discard
// turned up, and the red threes moved out of both hands.

namespace cardovia {

// Deals one random stock card into a side's hand.
void GetandDeal(int side);
// Deals a whole hand; dealer 1 is the player, 2 the opponent. The side that
// does not deal gets the first card.
void DealEm(int dealer);
// Shows a card moving from the stock onto the discard pile.
void TurnUpCard(int card);

}  // namespace cardovia
