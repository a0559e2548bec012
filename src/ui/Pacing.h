#pragma once
// Pacing: one shared pause length, DelayMs, and two waits that keep the window
// answering while they wait. Every animation sets DelayMs for its own steps and
// puts it back to SpeedDelay when it finishes.

#include <string>

namespace cardovia {

// Pause lengths, in milliseconds, named for where they are used. The base pause
// of the play speed is SpeedDelay.
namespace pauses {
inline constexpr int kCardTravelStep = 10;       // each step of a card from the stock into a hand
inline constexpr int kTurnUpStep = 500;          // each step of a card turned up onto the pile
inline constexpr int kRedThreeNudgeExtra = 150;  // SpeedDelay + this: a red three leaves a hand
inline constexpr int kRedThreeBoardExtra = 200;  // SpeedDelay + this: the red-three board is laid
inline constexpr int kGameWonExtra = 500;        // SpeedDelay + this: after the winning sound
inline constexpr int kPileTakeExtra = 100;  // SpeedDelay + this: hand cards laid on a taken pile
inline constexpr int kGlidePileStep = 150;  // each step of a card leaving the pile
inline constexpr int kOpponentMeldExtra = 250;  // SpeedDelay + this: the opponent lays a meld
inline constexpr int kWildCardExtra = 500;      // SpeedDelay + this: a wild card joins a meld
inline constexpr int kDiscardStep = 150;        // each step of a discard
inline constexpr int kOpponentMeldLayout = 50;  // each card as the opponent's meld is laid out
inline constexpr int kMeldLayoutSound = 1;      // the card sound after a meld is laid out
}  // namespace pauses

// The sound files beside the program.
inline constexpr const char* kCardSound = "card.wav";
inline constexpr const char* kRiffleSound = "riffle.wav";
inline constexpr const char* kWinSound = "win.wav";
inline constexpr const char* kLostSound = "Uhho.wav";

// Waits DelayMs milliseconds while window events are handled. A handler that
// changes DelayMs during the wait changes the length of the wait running.
void Pause();
// Starts the card sound, then waits like Pause.
void CardSoundPause();
// True while a pause runs: a move is under way, not settled.
bool Pausing();
// Starts a sound from the program's directory and returns at once.
void PlaySoundFile(const std::string& fileName);
// The platform's beep. With Options > Sound off, neither plays anything.
void Beep();

}  // namespace cardovia
