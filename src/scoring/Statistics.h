#pragma once
// The player's games won and lost.

namespace cardovia {

void MnuView_Click();
void MnuDel_Click();

}  // namespace cardovia
