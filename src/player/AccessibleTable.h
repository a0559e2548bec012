#pragma once
// The table in words for a screen reader: the hands, the stock, the pile, the
// melds, the red threes and the open panels, each a named group. Every word
// comes from what the table shows: a card face down is "Face-down card" and
// nothing more, so no name can tell a card the player cannot see.

#include <string>
#include <vector>

#include "ui/Form.h"

namespace cardovia {

std::vector<AccessibleObject> DescribeTable();

// An open panel's rows as they are read, each row one line from the left: a
// row of figures under the panel's column headings reads as one sentence
// ("Game Total: You 120, Thaddock 340").
std::vector<std::string> PanelLines(const Frame& panel);

}  // namespace cardovia
