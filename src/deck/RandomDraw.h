#pragma once

#include "model/Card.h"

namespace cardovia {

// A random card of the stock (rejection sampling over the whole deck), or 0
// when the stock is empty. It does not move the card; the caller does.
i16 RandomStockCard();

}  // namespace cardovia
