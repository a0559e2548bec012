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

// What the player file keeps of the player: the name, the play speed, the
// card backs, the target score and the games won and lost.
struct PlayerSettings {
    std::string PlayerName = kDefaultPlayerName;
    i16 SpeedDelay = kMediumSpeed;  // base pause of the play speed, ms
    bool CardBack = false;          // true: blue backs, false: red backs
    i16 TargetScore = kDefaultTarget;
    i16 GamesWon = 0;
    i16 GamesLost = 0;
    bool operator==(const PlayerSettings&) const = default;
};
inline PlayerSettings ThePlayer;

inline std::string& PlayerName = ThePlayer.PlayerName;
inline i16& SpeedDelay = ThePlayer.SpeedDelay;
inline bool& CardBack = ThePlayer.CardBack;
inline i16& TargetScore = ThePlayer.TargetScore;
inline i16& GamesWon = ThePlayer.GamesWon;
inline i16& GamesLost = ThePlayer.GamesLost;

inline bool LearningMode = false;
inline i16 DelayMs = kMediumSpeed;   // length of the next pause, ms
inline std::int64_t DelayStart = 0;  // clock reading at which the current pause began

// The card back image chosen by CardBack.
inline i16 CardBackImage() {
    return CardBack ? kBlueBack : kRedBack;
}

}  // namespace cardovia
