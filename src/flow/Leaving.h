#pragma once
// Every way out of the program: the menu, the close box, the results panel's
// "E&xit and Save" and the "Exit" button after a game.

namespace cardovia {

// Asks while a game is in progress, writes the player file and ends the
// program; returns with nothing changed when the player stays.
void LetsExit();
void MnuExit_Click();
// The close box: answers whether the window may close.
bool Form_QueryUnload();

}  // namespace cardovia
