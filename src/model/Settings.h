#pragma once
// The player's settings and statistics, and the shared pause length. All but
// LearningMode, DelayMs and DelayStart are kept in the player file.

#include <cstdint>
#include <string>

#include "model/Card.h"

namespace cardovia {

inline constexpr i16 kFastSpeed = 75;
inline constexpr i16 kMediumSpeed = 150;
inline constexpr i16 kSlowSpeed = 300;
inline constexpr i16 kDefaultTarget = 5000;
inline const std::string kDefaultPlayerName = "Player";

inline std::string PlayerName = kDefaultPlayerName;
inline i16 SpeedDelay = kMediumSpeed;  // base pause of the play speed, ms
inline bool CardBack = false;          // true: blue backs, false: red backs
inline i16 TargetScore = kDefaultTarget;
inline bool LearningMode = false;
inline i16 GamesWon = 0;
inline i16 GamesLost = 0;
inline i16 DelayMs = kMediumSpeed;   // length of the next pause, ms
inline std::int64_t DelayStart = 0;  // clock reading at which the current pause began

// The card back image chosen by CardBack.
inline i16 CardBackImage() {
    return CardBack ? kBlueBack : kRedBack;
}

}  // namespace cardovia
