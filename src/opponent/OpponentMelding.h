#pragma once
// What Thaddock lays on the table after drawing: a fixed sequence of greedy
// steps over the ranks, with no look-ahead and no randomness.

namespace cardovia {

// Plays the opponent's melding for the current turn.
void WhatCanBeMelded();
// Lays every card of rank r from the side's hand on its meld of that rank.
void MeldCardsHand(int side, int r);

}  // namespace cardovia
