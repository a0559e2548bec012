#pragma once
// Teaching aids: the Hand Help panel, which tells the player what may be done
// with the pile and with each rank held.

namespace cardovia {

void MnuHandHelp_Click();
// Clears the panel's lists, fills them afresh and shows the panel.
void getList();
void cmdFinished_Click();
// Appends the analysis of the player's hand and the pile to the panel's lists
// and works out CanTakePile.
void AnalyseHand();

}  // namespace cardovia
