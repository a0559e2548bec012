#pragma once
// The double pack as the strategy knows it: what card each number on the
// table is. The numbering is the table's (Jokers first, then Twos, black
// threes, Fours to Kings, Aces, red threes), so a card's rank and value can be
// told from its number alone, as any player who knows the pack could.

#include "strategy/View.h"

namespace cardovia::strategy {

inline constexpr int kPackSize = 108;
inline constexpr int kFirstRedThreeCard = 105;
inline constexpr int kLastRedThreeCard = 108;

// The card numbered `id` (1..108) as the pack makes it; rank 0 for any other number.
constexpr SeenCard PackCard(int id) {
    struct Band {
        int last, rank, value;
    };
    constexpr Band kBands[] = {{4, kJoker, 50}, {12, kTwo, 20},  {16, kBlackThree, 5}, {24, 4, 5},
                               {32, 5, 5},      {40, 6, 5},      {48, 7, 5},           {56, 8, 10},
                               {64, 9, 10},     {72, 10, 10},    {80, 11, 10},         {88, 12, 10},
                               {96, kKing, 10}, {104, kAce, 20}, {108, kRedThree, 100}};
    if (id < 1 || id > kPackSize) return {};
    for (const Band& b : kBands) {
        if (id <= b.last) return {id, b.rank, b.value};
    }
    return {};
}

}  // namespace cardovia::strategy
