#pragma once
// The red-three boards beside each side's melds.

namespace cardovia {

// Lays out a side's red-three board, face up in index order.
void SortRedThree(int side);

}  // namespace cardovia
