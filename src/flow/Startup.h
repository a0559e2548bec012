#pragma once

namespace cardovia {

// The table window's load: reads the player file, lays the 108 cards face down
// in the stock, plays the riffle and waits for the player to start a game.
void Form_Load();

}  // namespace cardovia
