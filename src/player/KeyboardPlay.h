#pragma once
// Play by keyboard: a focus ring on one object of the table (the stock, the
// pile, one of the player's melds, a card of the hand, a button of the results
// panel) and keys that do what a click on it does, through the same handlers.

#include "ui/Form.h"

namespace cardovia {


// Answers whether the key did anything. Keys do nothing while a move runs or
// outside the player's turn (the results panel's buttons aside), and a held
// key's repeats never make a move.
bool PressTableKey(TableKey key, bool autoRepeat);

// The control with the ring, or nullptr. The ring starts on the stock.
const void* FocusedControl();

// Forgets the ring: it starts on the stock again (a new hand).
void ResetKeyboardFocus();
// Shows the ring where it is, or on the nearest object left (the turn starts).
void ShowKeyboardFocus();

}  // namespace cardovia
