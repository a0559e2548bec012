#pragma once
// The discard pile on the table: drawn as a slanted heap with its top card
// last, and always Open, Frozen or Blocked for the side last worked out.

#include "model/Table.h"
#include "ui/Form.h"

namespace cardovia {

// The point above the pile that every card passes going to or from it.
inline constexpr Waypoint kAbovePile{1320, 6840};

inline constexpr int kPileLeft = 240;
inline constexpr int kPileTop = 8280;

// Lays out the pile and recounts DiscardCount. It changes no card's place.
void ShuffleDiscard();

// The pile's state as a side sees it: Frozen until the side has opened,
// Blocked under a wild card or a three, Frozen while one lies in it.
PileStates PileStateFor(int side);

// Works out PileState for a side (1 player, 2 opponent) and shows it as the
// colour of the pile's frame and the caption under the pile.
void DiscardFrozen(int side);

}  // namespace cardovia
