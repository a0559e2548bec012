#pragma once

namespace cardovia {

// Puts all 108 cards back in the stock and every per-hand value back to where
// a hand begins.
void ClearIt();

}  // namespace cardovia
