#pragma once
// What one side can see of the table, copied for the strategy engine: its own
// hand, both sides' melds and figures, the pile and the counts. The other hand
// and the stock are given as counts only.

#include "strategy/View.h"

namespace cardovia {

// The view of `side` (1 player, 2 opponent). `mustDraw` tells whether the
// side's turn has yet to take its cards.
strategy::View SideViewOf(int side, bool mustDraw);

}  // namespace cardovia
