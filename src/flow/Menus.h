#pragma once
// The menu commands that start, save and continue games.

namespace cardovia {

// Starts a new game, asking first while one is in progress.
void MnuNew_Click();
void MnuSave_Click();
// Continues the game whose totals were read from the player file, or starts a new one.
void MnuLoad_Click();

}  // namespace cardovia
