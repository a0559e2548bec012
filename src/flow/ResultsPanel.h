#pragma once
// The two buttons of the results panel that end the wait after a scored hand.

namespace cardovia {

// "&Carry On": the game goes on.
void cmdNew_Click();
// "E&xit and Save": the totals are kept for Load Game and the program ends.
void cmdSave_Click();

}  // namespace cardovia
