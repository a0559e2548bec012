#pragma once
// Drawing from the stock, and the red threes that never stay in a hand.

namespace cardovia {

// Draws one card from the stock into a side's hand, re-lays the hand and
// checks it for red threes. With an empty stock nothing is drawn.
void TakeCardDeck(int side);
// Two draws: the opponent's turn.
void TakeTwoFromStock(int side);
// Moves every red three in a side's hand to its board and draws a replacement.
void CheckforRed3(int side);
// Lays out the board, recomputes the side's bonus and draws the replacement.
void RedThreeToBoard(int side);

}  // namespace cardovia
