#include "model/Card.h"
#include "model/Table.h"
#include "model/Settings.h"

namespace cardovia {

namespace {

struct Band {
    int first;
    int last;
    DeckEntry entry;
};

// Jokers first, then Twos, black threes, Four..King, Aces and the red threes:
// the scan order of the whole game follows this layout.
constexpr Band kBands[] = {
    {1, 4, {kJoker, 50, "Joker"}},
    {5, 12, {kTwo, 20, "Two"}},
    {13, 16, {kBlackThree, 5, "BlackThree"}},
    {17, 24, {4, 5, "Four"}},
    {25, 32, {5, 5, "Five"}},
    {33, 40, {6, 5, "Six"}},
    {41, 48, {7, 5, "Seven"}},
    {49, 56, {8, 10, "Eight"}},
    {57, 64, {9, 10, "Nine"}},
    {65, 72, {10, 10, "Ten"}},
    {73, 80, {11, 10, "Jack"}},
    {81, 88, {12, 10, "Queen"}},
    {89, 96, {13, 10, "King"}},
    {97, 104, {kAce, 20, "Ace"}},
    {105, 108, {kRedThree, 100, "RedThree"}},
};

}  // namespace

DeckEntry DeckLayout(int card) {
    for (const Band& band : kBands) {
        if (card >= band.first && card <= band.last) return band.entry;
    }
    return {0, 0, ""};
}

void SetUpDeck() {
    for (int i = 1; i <= kDeckSize; ++i) {
        const DeckEntry e = DeckLayout(i);
        Cards[i].Value = e.value;
        Cards[i].Rank = e.rank;
        Cards[i].CardName = e.name;
    }
    DelayMs = SpeedDelay;
}

}  // namespace cardovia
