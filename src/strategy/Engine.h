#pragma once
// The strategy engine: from one side's view, the next step of its turn. It
// plays by hand-written judgement (which discards feed the other side, when a
// pile is worth taking, when to hold wild cards back, when to go out) and is
// deterministic: the same view gives the same step. Every step it proposes is
// one the game's own moves accept for that side.

#include "strategy/View.h"

namespace cardovia::strategy {

Step NextStep(const View& view);

}  // namespace cardovia::strategy
