#pragma once
// The menu commands that start games and change the options.

namespace cardovia {

// Starts a new game, asking first while one is in progress.
void MnuNew_Click();

}  // namespace cardovia
