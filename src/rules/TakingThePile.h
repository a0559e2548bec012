#pragma once
// Taking up the discard pile, shared by both sides.

namespace cardovia {

// True when the side may take up the pile now; the reason goes to the
// learning messages when it may.
bool CanTakeUpDiscard(int side);
// Whether the side's hand and melds would let it take an open pile, asked
// quietly: the same test as a take, without its messages or the pile's state.
bool HandMatchesOpenPile(int side);
// Takes up the whole pile for the side: the top card's rank onto its meld,
// the rest to the hand (red threes to the board).
void TakeDiscardPile(int side);
// Shows a card leaving the pile.
void GlidePileCard(int card);

}  // namespace cardovia
