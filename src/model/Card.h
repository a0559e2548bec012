#pragma once
// The 108 card records of the double pack with four jokers. A card is known
// everywhere by its index 1..108; it moves only by changing its Location, and
// every pile, hand or meld is found by scanning the indexes in ascending order.

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace cardovia {

using i16 = std::int16_t;

// Whether a number fits the game's 16-bit integers.
template <class Number>
constexpr bool Fits16(Number value) {
    return value >= std::numeric_limits<i16>::min() && value <= std::numeric_limits<i16>::max();
}

// Sides of the table. Per-side arrays have entries 0..2; only 1 and 2 are used.
inline constexpr int kPlayer = 1;
inline constexpr int kOpponent = 2;

// Where a card lies. The hand codes equal the side numbers on purpose: several
// rules compare a card's Location directly with a side.
enum CardLocation : i16 {
    PlayerHand = 1,
    OpponentHand = 2,
    Stock = 16,
    DiscardPile = 17,
    PlayerMelds = 18,
    OpponentMelds = 19,
    PlayerRedThrees = 20,
    OpponentRedThrees = 21,
};

// Rank codes. Melds are kept per rank 1..13; Twos never form a meld of their own.
inline constexpr i16 kAce = 1;
inline constexpr i16 kTwo = 2;
inline constexpr i16 kBlackThree = 3;
inline constexpr i16 kFour = 4;
inline constexpr i16 kSeven = 7;
inline constexpr i16 kEight = 8;
inline constexpr i16 kKing = 13;
inline constexpr i16 kRedThree = 14;
inline constexpr i16 kJoker = 15;

inline constexpr int kDeckSize = 108;
// Wild cards are the Jokers (1..4) followed by the Twos (5..12); a wild card
// lying on one of the player's melds carries that meld's rank, so the index is
// the reliable test.
inline constexpr int kFirstJoker = 1;
inline constexpr int kLastJoker = 4;
inline constexpr int kLastWild = 12;
inline constexpr int kFirstRedThree = 105;
inline constexpr int kLastRedThree = 108;

// Images of the card picture list: 1..108 the faces, then the two backs.
inline constexpr i16 kBlueBack = 109;
inline constexpr i16 kRedBack = 110;

struct Card {
    i16 Value = 0;
    i16 Location = 0;
    bool FromDiscard = false;     // taken up with the pile during the player's current turn
    bool MeldedFromHand = false;  // laid from the player's hand during the current turn
    i16 Rank = 0;
    std::array<i16, 3> MeldRank{};  // rank of the meld this side laid the card on
    std::string CardName;
    bool operator==(const Card&) const = default;
};

inline bool IsWildIndex(int card) {
    return card >= kFirstJoker && card <= kLastWild;
}
inline bool IsJokerIndex(int card) {
    return card >= kFirstJoker && card <= kLastJoker;
}
inline bool IsWildRank(int rank) {
    return rank == kTwo || rank == kJoker;
}

// Sets Value, Rank and CardName of every card from the deck layout; other
// fields are left alone. Ends by putting DelayMs back to SpeedDelay.
void SetUpDeck();

// The rank, value and name the deck layout gives an index.
struct DeckEntry {
    i16 rank;
    i16 value;
    const char* name;
};
DeckEntry DeckLayout(int card);

}  // namespace cardovia
