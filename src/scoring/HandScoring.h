#pragma once
// The running score of the hand for both sides, shown on the score board, and
// the end-of-hand scoring onto the results panel. Each figure is worked out
// afresh from the table, so calling these any number of times is harmless.

namespace cardovia {

inline constexpr int kRedThreePoints = 100;
inline constexpr int kAllFourRedThreesPoints = 800;
inline constexpr int kPureCanastaBonus = 500;
inline constexpr int kMixedCanastaBonus = 300;
inline constexpr int kOutFirstBonus = 100;

// Card points of the side's melds (less the Take Back penalty for the player).
void GetHandScores(int side);
// Red-three points and canasta bonuses of the side; shows the red-three points
// in the meld table's red-three column.
void GetBonusScores(int side);
// Copies the side's game total, meld points and bonus to the score board.
void ShowCurrentScores(int side);
// Scores the finished hand onto the results panel and adds it to the game totals.
void GetScoresHand();

}  // namespace cardovia
