#pragma once
// The game: one long procedure from the first deal to the final result, with
// the opponent's turns driven step by step and the player's turns as waits.

namespace cardovia {

// Plays one whole game. Returns when the game is over (the player chose "New
// Game" or "Exit" at the end), when it was given up for another game, or when
// the program is ending.
void NewGame();

// Starts a game from a menu command. With no game running it runs the game
// driver here, which plays games one after another for as long as the player
// asks for new ones. With a game running it gives that game up; the game
// unwinds at once to the driver, which starts the new one. Games never nest.
void PlayNewGame();

// As PlayNewGame, but the game goes on from the hand kept on disk when there
// is one (start-up, Load Game).
void ResumeKeptGame();

// A game is being played by the driver.
bool GameRunning();

}  // namespace cardovia
