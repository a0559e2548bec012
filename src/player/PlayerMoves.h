#pragma once
// The player's turn, played with the mouse on the card pictures: drawing,
// taking the pile, laying cards, joining wild cards and discarding.

#include "model/Card.h"

namespace cardovia {

inline constexpr i16 kLeftButton = 1;
inline constexpr i16 kRightButton = 2;

void PicCards_MouseDown(i16 Index, i16 Button, i16 Shift, float X, float Y);
void PicCards_MouseUp(i16 Index, i16 Button, i16 Shift, float X, float Y);
// May the player now lay this card of the hand on the table?
bool CanMeldFromHandPlayer(int TheCard);

// A move of the player's is being carried out; presses that arrive during its
// pauses are not counted.
bool PlayerMoveInProgress();

// Marks a move of the player's as under way for as long as it lives. Take Back
// is one too: a press or a second Take Back during its pauses would return or
// lay cards it is still laying out.
class PlayerMoveGuard {
  public:
    PlayerMoveGuard();
    ~PlayerMoveGuard();
    PlayerMoveGuard(const PlayerMoveGuard&) = delete;
    PlayerMoveGuard& operator=(const PlayerMoveGuard&) = delete;
};

}  // namespace cardovia
