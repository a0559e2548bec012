#pragma once

#include "model/Card.h"

namespace cardovia {

// Shows a card travelling from the stock into a side's hand: the player's face
// up, the opponent's face down. Changes neither Location nor NextCardX.
void MoveCardDeck(int side, int card);

}  // namespace cardovia
