#include "model/CardFace.h"

#include "model/Card.h"

#include <array>

namespace cardovia {

namespace {

// Both packs are interleaved: each face lies on two neighbouring numbers, and
// a full rank runs Clubs, Diamonds, Hearts, Spades.
constexpr std::array<const char*, 4> kSuits = {"Clubs", "Diamonds", "Hearts", "Spades"};
constexpr int kFirstTwo = 5;
constexpr int kFirstBlackThree = 13;
constexpr int kFirstFour = 17;
constexpr int kCopies = 2;
constexpr int kCardsPerRank = 8;

constexpr std::array<const char*, 16> kRankNames = {
    "",      "Ace",  "Two", "Three", "Four",  "Five", "Six",   "Seven",
    "Eight", "Nine", "Ten", "Jack",  "Queen", "King", "Three", "Joker"};

const char* SuitOf(int card) {
    if (card < kFirstBlackThree) return kSuits[(card - kFirstTwo) / kCopies];
    if (card < kFirstFour) return card - kFirstBlackThree < kCopies ? "Clubs" : "Spades";
    if (card < kFirstRedThree) return kSuits[((card - kFirstFour) % kCardsPerRank) / kCopies];
    return card - kFirstRedThree < kCopies ? "Hearts" : "Diamonds";
}

}  // namespace

std::string FaceName(int card) {
    if (card < 1 || card > kDeckSize) return {};
    if (IsJokerIndex(card)) return "Joker";
    return RankName(DeckLayout(card).rank, false) + " of " + SuitOf(card);
}

std::string RankName(int rank, bool plural) {
    if (rank < 0 || rank >= static_cast<int>(kRankNames.size())) return {};
    std::string name = kRankNames[rank];
    if (plural && !name.empty()) name += rank == 6 ? "es" : "s";
    return name;
}

}  // namespace cardovia
