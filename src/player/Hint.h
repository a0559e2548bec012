#pragma once
// The Hint: the strategy engine's next step for the player, in words in the
// status bar, with the cards concerned marked until the next move. It never
// moves a card itself.

#include <string>

#include "strategy/View.h"

namespace cardovia {

// Help > Hint: does nothing outside the player's turn or while a move runs.
void MnuHint_Click();
// The step in plain words, with the reason in Learning Mode.
std::string HintText(const strategy::Step& step);
// Takes the Hint's marks off every card.
void ClearHintMarks();

}  // namespace cardovia
