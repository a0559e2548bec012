#pragma once
// Expert Thaddock: the same turn as Classic Thaddock, through the same
// procedures, pauses and labels, with the strategy engine's choices.

#include <vector>

#include "model/Preferences.h"

namespace cardovia {

// Whether he takes the pile this turn, given that he may.
bool ExpertTakesPile();
// His melding: the engine's melds and wild cards, one by one.
void ExpertMelds();
// His discard.
void ExpertDiscards();

// Milliseconds spent deciding in each of his turns, for the benchmark.
inline std::vector<double> ExpertDecisionMs;

}  // namespace cardovia
