#pragma once
// The table told to a screen reader in words: each change a sighted player
// sees, said once after it has happened (a draw, a meld, a discard, a status,
// the results), and the answers to the player's questions about the table.
// Every word comes from what the table shows: a hidden card is never named,
// only counted.

#include <string>

namespace cardovia {

// Says what changed on the table since it was last told. The game calls it
// whenever it settles on a step; the window whenever the game is at rest.
void NarrateChanges();
// The same, unless a move is under way (a pause is running).
void NarrateAtRest();
// Forgets what was told: a new table starts afresh and quietly.
void ResetNarration();

// Hands words to the screen reader and keeps them for Repeat.
void Announce(const std::string& words);

// What the player may ask, one key each.
enum class Question {
    Pile,        // top card, count, and whether the player may take it
    Scores,      // game totals, this hand's melds and bonuses, the target
    Minimum,     // the minimum first meld and what is left of it
    Hand,        // the player's hand by rank
    Melds,       // the player's melds
    TheirMelds,  // Thaddock's melds
    RedThrees,   // both red-three boards
    Stock,       // the stock's count
    TheirHand,   // how many cards Thaddock holds
    Repeat,      // the last few announcements again
};
// The answer in one announcement.
std::string Answer(Question question);
// Says the answer; it is not kept for Repeat.
void AskQuestion(Question question);

// A side's meld of a rank as it is told: "Queens: 4 cards, 1 wild",
// "Kings: 7 cards, pure canasta".
std::string MeldWords(int side, int rank);

// Listens to the game's steps of a new table.
void ConnectNarration();

}  // namespace cardovia
