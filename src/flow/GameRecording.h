#pragma once
// What the game keeps beyond the player file: each hand's totals for the score
// chart, and each finished game as a line of History.csv.

#include <string>

namespace cardovia {

// A game starts: the chart starts empty, at this game's target.
void StartGameRecord();
// A hand has been scored: its game totals join the chart.
void RecordHand();

struct GameEndSaved {
    bool saved = true;    // History.csv and Name.dat both hold the game
    std::string problem;  // what went wrong, naming the file and the cause
};
// The game is over, in one step: it is counted (GamesWon or GamesLost goes up
// by one; a tie is a game lost), its line joins History.csv, Name.dat is saved
// and the finished game's kept hand goes, so that after a stop at any moment
// the next start finds the history holding the game exactly when the
// statistics count it. A failure is reported in the error box; a game whose
// statistics could not be saved is counted nowhere and leaves no part of its
// line, and the answer says so for the Game Over box.
GameEndSaved RecordGameEnd();

}  // namespace cardovia
