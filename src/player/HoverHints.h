#pragma once
// Hover hints: while it is the player's turn, the pointer and tool tip of each
// card picture say what a click on it would do now.

#include "model/Card.h"

namespace cardovia {

// Pointer images: a click does something now, does nothing now, or the card
// may be pushed to the table or thrown.
inline constexpr i16 kPointerMayClick = 1;
inline constexpr i16 kPointerMayNot = 2;
inline constexpr i16 kPointerGrasp = 3;

void PicCards_MouseMove(i16 Index, i16 Button, i16 Shift, float X, float Y);

}  // namespace cardovia
