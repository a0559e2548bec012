#pragma once
// Take Back: the cards the player laid on the table this turn go back, those
// from the hand to the hand and those from the pile to the pile, at a cost.

namespace cardovia {

inline constexpr int kTakeBackPenalty = 50;

void MnuTakeBack_Click();
void TakeBackCards();

}  // namespace cardovia
