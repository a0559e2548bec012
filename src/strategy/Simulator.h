#pragma once
// The rules of a hand as one plain value the search can copy and play on: the
// 108 cards, the meld books, the minimums and the turn, with no screen, no
// pause and no dialog. Each step is accepted or refused exactly as the game's
// own moves accept or refuse it for that seat, and changes the cards exactly
// as they do: seat 0 plays by the player's moves (a card at a time, the
// checks of the hand's clicks, Take Back), seat 1 by Thaddock's procedures
// (a meld takes every card of its rank from the hand).
//
// Draws come from the back of `stock`, so whoever builds the value decides
// what is drawn: the search from a sample of the hidden cards, a test from
// what the real game drew.

#include "strategy/View.h"

#include <array>
#include <cstdint>
#include <vector>

namespace cardovia::strategy {

inline constexpr int kPlayerSeat = 0;
inline constexpr int kThaddockSeat = 1;
inline constexpr int kDeckCards = 108;

enum class Where : std::uint8_t { Stock, Pile, Hand, Melds, RedThrees };

struct SimCard {
    std::int8_t rank = 0;   // a wild card the player joins to a meld takes the meld's rank
    std::int8_t value = 0;  // as the deck makes it
    Where where = Where::Stock;
    std::int8_t seat = 0;  // whose hand, melds or board
    std::int8_t meld = 0;  // the meld's rank while on a meld
    // Came with the pile, and laid from the hand, this turn. The player's
    // discard clears them for every card, Thaddock's too, the first mark
    // first: a card with both keeps `laidNow` one turn longer.
    bool fromPile = false;
    bool laidNow = false;
    // The seat that took it with the pile, -1 for none: what the other side
    // remembers while it stays in that hand.
    std::int8_t takenBy = -1;
    // A wild card of the player's hand shows as chosen. Choosing another card
    // leaves the first one marked, and a press on a marked card lets it go
    // rather than choosing it, so the mark is kept apart from `chosenWild`.
    bool marked = false;
};

struct SimMeld {
    std::int8_t count = 0;
    std::int8_t wild = 0;
    std::int8_t sinceWild = 0;
    bool hasWild = false;
    bool melded = false;
};

struct SimSeat {
    std::array<SimMeld, kMeldRanks + 1> melds{};
    int minimumLeft = 0;
    bool opened = false;
    bool canasta = false;
    int total = 0;                            // the game total before this hand
    int penalty = 0;                          // a Take Back's penalty this hand (the player's seat)
    std::array<int, kJoker + 1> discarded{};  // its discards this hand, by rank
};

struct Simulator {
    std::array<SimCard, kDeckCards + 1> cards{};  // index 0 is never a card
    std::array<SimSeat, 2> seats{};
    std::vector<int> stock;  // the cards still to draw; the next is the last
    int top = 0;             // the pile's top card, 0 for none
    int toMove = kPlayerSeat;
    bool mustDraw = true;  // the turn has not taken its cards yet
    bool hasDrawn = false;
    int target = 5000;
    int chosenWild = 0;  // the wild card the player has chosen to join a meld, 0 = none
    // Thaddock's melding steps this turn. His melding ends at forty, or at his
    // first step that is no meld the game plays: then only his discard is left.
    int meldSteps = 0;
    bool meldingOver = false;

    // The hand as `view`'s side sees it, with what it cannot see placed: the
    // cards of `otherHand` in the other side's hand and those of `stock` in
    // the stock (drawn from its back). The side seen from is the one to move.
    // What no view shows is taken as it most often stands: a wild card on the
    // player's meld carries the meld's rank, only the chosen wild card is
    // marked, the hands' cards carry no marks of this turn, and who took a
    // card with the pile is remembered only while it is in a hand or came
    // onto a meld with the pile this turn.
    static Simulator FromView(const View& view, const std::vector<int>& otherHand,
                              const std::vector<int>& stock);

    // What `seat` sees, as the game's own view of that side gives it.
    View ViewOf(int seat) const;

    // One step of the seat to move. False when the game's moves refuse it;
    // a refused step leaves the value as the game leaves its table. Before
    // Thaddock's draw only TakePile (when he may take the pile) and DrawStock
    // are played: for any other step the game draws two in its place. After
    // it, his first step that is not a meld the game plays ends his melding.
    bool Apply(const Step& step);
    // Thaddock's turn ends without a discard (he has nothing he may throw).
    // Nothing happens in the player's turn: the player has no such move.
    void EndTurn();
    // The hand is over: a hand is empty or the stock is, with no turn under way.
    bool HandOver() const;
    // The hand's total for `seat` as the results would score it now.
    int HandScore(int seat) const;
    // The next cards drawn are these, in this order.
    void DrawNext(const std::vector<int>& cards);
};

}  // namespace cardovia::strategy
