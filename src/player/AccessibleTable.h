#pragma once
// The table in words for a screen reader: the hands, the stock, the pile, the
// melds, the red threes and the open panels, each a named group. Every word
// comes from what the table shows: a card face down is "Face-down card" and
// nothing more, so no name can tell a card the player cannot see.

#include <vector>

#include "ui/Form.h"

namespace cardovia {

std::vector<AccessibleObject> DescribeTable();

}  // namespace cardovia
