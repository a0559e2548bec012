#include "rules/CardMemory.h"

#include "model/Table.h"

namespace cardovia {

void RememberPileTaken(int side) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == DiscardPile) TheTable.TakenBy[i] = static_cast<i16>(side);
    }
}

void RememberDiscard(int side, int card) {
    if (side < kPlayer || side > kOpponent || card < 1 || card > kDeckSize) return;
    const int rank = Cards[card].Rank;
    if (rank < 0 || rank >= static_cast<int>(TheTable.Discarded[side].size())) return;
    ++TheTable.Discarded[side][rank];
}

void ForgetShownCards() {
    TheTable.TakenBy.fill(0);
    for (auto& ranks : TheTable.Discarded) ranks.fill(0);
}

}  // namespace cardovia
