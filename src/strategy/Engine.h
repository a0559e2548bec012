#pragma once
// The strategy engine: from one side's view, the next step of its turn. It
// plays by hand-written judgement (which discards feed the other side, what it
// took with the pile, when a pile is worth taking, when wild cards help to
// open and when they wait for a pure canasta, which pair to hold back, when to
// go out) and is deterministic: the same view gives the same step. Every step
// it proposes is one the game's own moves accept for that side, and it never
// proposes Take Back with nothing of this turn on the table.

#include "strategy/View.h"

namespace cardovia::strategy {

Step NextStep(const View& view);

}  // namespace cardovia::strategy
