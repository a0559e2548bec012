#pragma once
// Which card Thaddock throws, and the discard itself, shared with the player.

namespace cardovia {

// The opponent discards one card, or none when it may not.
void DiscardWhatCard();
// Puts a card of the side's hand on top of the discard pile and works out the
// pile's state for the side that plays next.
void MakeDiscard(int side, int card);

}  // namespace cardovia
