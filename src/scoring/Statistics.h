#pragma once
// The player's games won and lost, and saving and continuing a game.

namespace cardovia {

void MnuView_Click();
void MnuDel_Click();
void MnuSave_Click();
void MnuLoad_Click();

}  // namespace cardovia
