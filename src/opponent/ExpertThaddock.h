#pragma once
// Expert Thaddock: the same turn as Classic Thaddock, through the same
// procedures, pauses and labels, with the strategy engine's choices.

#include <functional>
#include <vector>

#include "strategy/View.h"

#include "model/Preferences.h"

namespace cardovia {

// Whether he takes the pile this turn, given that he may.
bool ExpertTakesPile();
// His melding: the engine's melds and wild cards, one by one.
void ExpertMelds();
// His discard.
void ExpertDiscards();

// Thaddock's melding as `choose` picks each step (a meld or a wild card laid
// at once by his procedures); any other step ends it and is answered.
strategy::Step MeldByChoices(const std::function<strategy::Step()>& choose, const char* procedure);
// His discard, when he may throw one, of the card `choose` names (0 = none).
void DiscardByChoice(const std::function<int()>& choose, const char* procedure);

// Milliseconds spent deciding in each of his turns, for the benchmark.
inline std::vector<double> ExpertDecisionMs;

}  // namespace cardovia
