#pragma once
// The discard itself, the same for both sides: the card's path down to the
// pile and the pile's state afterwards.

namespace cardovia {

// Puts a card of the side's hand on top of the discard pile and works out the
// pile's state for the side that plays next.
void MakeDiscard(int side, int card);

}  // namespace cardovia
