#pragma once
// Which card Thaddock throws.

namespace cardovia {

// The opponent discards one card, or none when it may not.
void DiscardWhatCard();

// Whether Thaddock may discard now: he holds a card, and his last card only with
// a canasta (he says so when he may not). Classic and Expert alike.
bool ThaddockMayDiscard();

}  // namespace cardovia
