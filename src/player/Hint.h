#pragma once
// The Hint: the next step for the player as the search over the unseen cards
// finds it best, in words in the status bar, with the cards concerned marked
// until the next move. It never moves a card itself.

#include <string>

#include "strategy/View.h"

namespace cardovia {

// Help > Hint: does nothing outside the player's turn or while a move runs.
void MnuHint_Click();
// The step in plain words, with the reason in Learning Mode.
std::string HintText(const strategy::Step& step);
// Takes the Hint's marks off every card.
void ClearHintMarks();

// The step the Hint gives now: the search's best, never a Take Back with
// nothing to take back. Deterministic for a table as the player sees it.
strategy::Step HintStep();

// The search's budget for one Hint: its clock, and (for benchmarks that
// measure strength at a budget of their own) the deals it tries, 0 = the clock.
inline double HintThinkMs = 250.0;
inline int HintSamples = 0;

}  // namespace cardovia
