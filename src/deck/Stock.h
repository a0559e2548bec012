#pragma once

namespace cardovia {

// Lays out the stock face down and recounts StockCount.
void StackStock();

}  // namespace cardovia
