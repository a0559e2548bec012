#include "player/TableObjects.h"

#include "model/Table.h"
#include "ui/Form.h"

#include <algorithm>

namespace cardovia {

namespace {

std::vector<int> ByPlace(std::vector<int> cards) {
    std::stable_sort(cards.begin(), cards.end(),
                     [](int a, int b) { return Pic(a).left < Pic(b).left; });
    return cards;
}

}  // namespace

int StockTopCard() {
    for (int i = kDeckSize; i >= 1; --i) {
        if (Cards[i].Location == Stock) return i;
    }
    return 0;
}

std::vector<int> MeldCards(int side) {
    const i16 melds = side == kPlayer ? PlayerMelds : OpponentMelds;
    std::vector<int> cards;
    for (int rank = 1; rank <= kMeldRanks; ++rank) {
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == melds && Cards[i].Rank == rank) {
                cards.push_back(i);
                break;
            }
        }
    }
    return ByPlace(cards);
}

std::vector<int> CardsAt(int location) {
    std::vector<int> cards;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == location) cards.push_back(i);
    }
    return ByPlace(cards);
}

int CountAt(int location) {
    int n = 0;
    for (int i = 1; i <= kDeckSize; ++i) n += Cards[i].Location == location;
    return n;
}

const char* PileWord(std::uint32_t frame) {
    if (frame == FrameColour(PileStates::Blocked)) return "blocked";
    if (frame == FrameColour(PileStates::Frozen)) return "frozen";
    return "open";
}

}  // namespace cardovia
