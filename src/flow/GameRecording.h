#pragma once
// What the game keeps beyond the player file: each hand's totals for the score
// chart, and each finished game as a line of History.csv.

namespace cardovia {

// A game starts: the chart starts empty, at this game's target.
void StartGameRecord();
// A hand has been scored: its game totals join the chart.
void RecordHand();
// The game is over: its line is added to History.csv at once. A file that
// cannot be written is reported and the game goes on.
void RecordFinishedGame();

}  // namespace cardovia
