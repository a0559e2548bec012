#pragma once
// The engine's moves for the player made with the table's keys alone, sent by
// the caller: straight to the game, or as key presses to the real window.

#include <functional>

#include "ui/Form.h"

namespace cardovia::testing {

// Sends one key; answers whether it did anything, as far as the caller knows.
using KeySender = std::function<bool(TableKey)>;

// Moves the ring onto a card by arrows and Tab alone; false when it cannot.
bool FocusOn(int card, const KeySender& press);

// Plays the engine's next step by keys; `takeBack` stands in for the menu's
// Take Back. False when the step could not be made.
bool PlayStepByKeys(const KeySender& press, const std::function<void()>& takeBack);

}  // namespace cardovia::testing
