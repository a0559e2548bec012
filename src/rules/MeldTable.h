#pragma once
// The meld table: both sides' melds booked by rank, laid out in columns with
// their labels, and the canastas they make.

#include "model/Table.h"

#include <array>

namespace cardovia {

// Left edge of each rank's meld column (index = rank code; 0 and 2 unused).
inline constexpr std::array<int, 14> MeldColumnLeft = {
    0, 12480, 0, 13560, 1560, 2640, 3840, 4920, 6000, 7080, 8160, 9240, 10320, 11400};
inline constexpr int kPlayerMeldTop = 5280;
inline constexpr int kOpponentMeldTop = 2250;
inline constexpr int kMeldCascade = 25;

// Ranks that have a meld record. Anything else laid on a meld is an
// unexpected error, reported by the caller's trap, never a stray write.
inline constexpr bool IsMeldRank(int r) {
    return r >= 1 && r <= kMeldRanks;
}

// Lays one card (natural or wild) on the side's meld of rank r and books it.
void PutCardOnMeld(int card, int r, int side);
// Lays a wild card on the side's meld of rank r. The wild-card limits are the
// callers' business.
void AddWildCard(int card, int r, int side);
// Lays out the side's meld of rank r and updates its label.
void SortaMeld(int r, int side);
// Sets MeldsComplete: false when one of the side's melds holds fewer than three cards.
void CheckMeldsComplete(int side);

}  // namespace cardovia
