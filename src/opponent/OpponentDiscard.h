#pragma once
// Which card Thaddock throws.

namespace cardovia {

// The opponent discards one card, or none when it may not.
void DiscardWhatCard();

}  // namespace cardovia
