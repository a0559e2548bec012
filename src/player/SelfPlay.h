#pragma once
// A simple player for self-play and tests. It plays the player's side through
// the same handlers a person's mouse and menus reach, with a plain strategy:
// take the pile when allowed, otherwise two stock cards; lay the groups that
// may be laid once they meet the minimum; throw a lone low card.

namespace cardovia {

// Does the next thing the player would do while the game waits for the player
// (a turn, or the results panel). Answers whether it did anything.
bool SelfPlayStep();

}  // namespace cardovia
