#pragma once
// The minimum first meld of a hand, and the evaluation of a hand: which ranks
// a side may lay now and how many points its new melds would bring.

#include "model/Card.h"

namespace cardovia {

// The minimum first meld of a hand for a side with this game total.
i16 MinimumForTotal(int total);
// Sets MinMeld(side) from the side's game total.
void GetMinMeld(int side);

// Recomputes RankCount, CanMeldRank and HandMeldPoints(side) for the side's
// hand, with the rule against going out without a canasta.
void EstablishPoints(int side);

// Counts one card laid on the side's melds towards its minimum and marks the
// side opened once the minimum is met (a step of PutCardOnMeld).
void CountTowardsMinimum(int card, int side);

}  // namespace cardovia
