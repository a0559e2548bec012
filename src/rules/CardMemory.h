#pragma once
// What a careful player remembers of the cards shown face up in a hand: the
// pile's cards a side took up (they stay known while that side holds them) and
// the ranks each side threw. Both sides may know it, so both views carry it.

namespace cardovia {

// The pile as it lies now goes to `side`: each of its cards is remembered as
// taken by that side.
void RememberPileTaken(int side);
// `side` throws `card` onto the pile.
void RememberDiscard(int side, int card);
// A new deal: nothing shown yet.
void ForgetShownCards();

}  // namespace cardovia
