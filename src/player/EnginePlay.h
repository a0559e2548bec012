#pragma once
// The strategy engine on the player's side: each step it proposes is played
// through the same handlers a person's mouse and menus reach.

#include "strategy/View.h"

namespace cardovia {

// The engine's next step for the player, now.
strategy::Step PlayerNextStep();

// Plays one step through the handlers; answers whether the handlers accepted it
// (the cards concerned moved, or the turn went on as the step says).
bool PlayPlayerStep(const strategy::Step& step);

// Like SelfPlayStep: plays the player's whole turn, or carries on after the
// results panel, with the engine's steps. Answers whether it did anything.
bool EnginePlayStep();

// The same with the Hint's every step: a player who follows the Hint.
bool HintPlayStep();

// Steps the handlers refused since the program started (tests and benchmarks).
inline long EngineStepsRefused = 0;

}  // namespace cardovia
