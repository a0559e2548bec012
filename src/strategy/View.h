#pragma once
// What one side of the table can see, and the steps of a turn. The engine gets
// nothing else: no other hand, no stock order. It is a plain copy, filled by
// the game from the table, so nothing in this folder can reach the table.

#include <array>
#include <string>
#include <vector>

namespace cardovia::strategy {

// Rank codes as the game numbers them: melds are kept for ranks 1..13.
inline constexpr int kAce = 1;
inline constexpr int kTwo = 2;
inline constexpr int kBlackThree = 3;
inline constexpr int kKing = 13;
inline constexpr int kRedThree = 14;
inline constexpr int kJoker = 15;
inline constexpr int kMeldRanks = 13;
inline constexpr int kCanastaSize = 7;
inline constexpr int kMostWildCards = 3;  // wild cards on one meld
inline constexpr int kCardsOfARank = 8;   // a natural rank in the double pack
inline constexpr int kWildCardsInPack = 12;

struct SeenCard {
    int id = 0;  // the card's number on the table
    int rank = 0;
    int value = 0;
    // On a meld: the meld's rank (a wild card keeps its own rank above), and
    // for the player's side whether it came with the pile or from the hand in
    // the turn now being played (what Take Back would return).
    int meld = 0;
    bool fromPile = false;
    bool laidNow = false;
};

inline bool IsWild(int rank) {
    return rank == kTwo || rank == kJoker;
}
inline bool IsNaturalMeldRank(int rank) {
    return rank >= kAce && rank <= kMeldRanks && rank != kTwo && rank != kBlackThree;
}

enum class PileSeen { Open, Frozen, Blocked };

// One side's open cards and figures. Index 0 of the per-rank arrays is unused.
struct SideView {
    std::array<int, kMeldRanks + 1> meldCount{};  // cards on the meld, wild cards included
    std::array<int, kMeldRanks + 1> meldWild{};
    int redThrees = 0;
    bool canasta = false;
    bool opened = false;  // the minimum meld is met this hand
    int minimumLeft = 0;  // points still to lay before it is met
    int total = 0;        // the game total before this hand
    int handCount = 0;
    // Cards laid on a meld since its first wild card, that card included: a
    // canasta is pure while this is 0.
    std::array<int, kMeldRanks + 1> meldSinceWild{};
    std::vector<SeenCard> meldCards;  // every card on its melds, in table order
    int penalty = 0;                  // a Take Back's penalty this hand
    // What a careful player remembers of cards once shown face up: those the
    // side took with the pile and still holds, and its discards this hand.
    std::vector<SeenCard> heldFromPile;
    std::array<int, kJoker + 1> discarded{};  // by rank
    bool melded(int rank) const { return meldCount[rank] > 0; }
};

// The view of the side to move ("me", sides[0]) against the other (sides[1]).
struct View {
    std::vector<SeenCard> hand;
    std::array<SideView, 2> sides;
    std::vector<SeenCard> pile;  // bottom first; the last is the top card
    PileSeen pileForMe = PileSeen::Frozen;
    int stockCount = 0;
    int target = 5000;
    bool mustDraw = false;  // the turn has not taken its cards yet
    // After a Take Back that gave cards back to the pile, a press on the
    // stock still draws, though cards may be laid first.
    bool drawStillOwed = false;
    int chosenWild = 0;  // a wild card of the hand chosen to join a meld, 0 = none
    // The side plays with Thaddock's procedures: a meld takes every card of its
    // rank from the hand, and he takes the pile only once he has opened.
    bool thaddockSeat = false;
};

// One step of a turn, in the game's own moves.
struct Step {
    enum class Kind { None, TakePile, DrawStock, Lay, AddWild, Discard, TakeBack };
    Kind kind = Kind::None;
    int rank = 0;            // the meld laid or added to
    std::vector<int> cards;  // the cards concerned: laid, added or discarded
    std::string why;         // one short sentence for Learning Mode
};

}  // namespace cardovia::strategy
