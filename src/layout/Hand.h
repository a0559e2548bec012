#pragma once
// The two hands on the table, laid out in card-index order.

#include "model/Card.h"

namespace cardovia {

inline constexpr int kHandFirstLeft = 1680;
inline constexpr int kPlayerHandTop = 8200;
inline constexpr int kOpponentHandTop = 120;
inline constexpr int kPlayerCardStep = 400;
inline constexpr int kOpponentCardStep = 200;

// Lays out one side's hand, the player's face up and the opponent's face down,
// and recounts HandCount and HandPoints. Status panels 3 and 4 always show the
// player's figures.
void SortHand(int side);

// Starts the drag of a card picture: it follows the pointer until the release
// or the next SortHand.
void PickUpCard(int card);

}  // namespace cardovia
