#include "rules/SideView.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "rules/DiscardPile.h"

namespace cardovia {

namespace {

// A wild card laid on the player's meld carries the meld's rank; its index
// tells what it is.
strategy::SeenCard Seen(int card) {
    const int rank = IsJokerIndex(card) ? kJoker : IsWildIndex(card) ? kTwo : Cards[card].Rank;
    return {card, rank, Cards[card].Value};
}

strategy::SeenCard OnMeld(int card, int side) {
    strategy::SeenCard c = Seen(card);
    c.meld = Cards[card].MeldRank[side];
    c.fromPile = Cards[card].FromDiscard;
    c.laidNow = Cards[card].MeldedFromHand;
    return c;
}

strategy::SideView FiguresOf(int side) {
    strategy::SideView v;
    for (int r = 1; r <= kMeldRanks; ++r) {
        v.meldCount[r] = MeldTable[r].Count[side];
        v.meldWild[r] = MeldTable[r].WildCount[side];
        v.meldSinceWild[r] = MeldTable[r].CountSinceWild[side];
    }
    const i16 hand = side == kPlayer ? PlayerHand : OpponentHand;
    const i16 board = side == kPlayer ? PlayerRedThrees : OpponentRedThrees;
    const i16 melds = side == kPlayer ? PlayerMelds : OpponentMelds;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == hand) ++v.handCount;
        if (Cards[i].Location == board) ++v.redThrees;
        if (Cards[i].Location == melds) v.meldCards.push_back(OnMeld(i, side));
        // Shown face up when taken with the pile, and still in that hand.
        if (Cards[i].Location == hand && TheTable.TakenBy[i] == side) {
            v.heldFromPile.push_back(Seen(i));
        }
    }
    for (int r = 0; r <= strategy::kJoker; ++r) v.discarded[r] = TheTable.Discarded[side][r];
    v.penalty = side == kPlayer ? TakeBackPenalty : 0;
    v.canasta = HasCanasta[side];
    v.opened = MeldOpened[side];
    v.minimumLeft = MinMeld[side];
    v.total = GameScore[side];
    return v;
}

strategy::PileSeen Seen(PileStates state) {
    switch (state) {
        case PileStates::Open:
            return strategy::PileSeen::Open;
        case PileStates::Blocked:
            return strategy::PileSeen::Blocked;
        case PileStates::Frozen:
            break;
    }
    return strategy::PileSeen::Frozen;
}

}  // namespace

strategy::View SideViewOf(int side, bool mustDraw) {
    strategy::View v;
    const int other = side == kPlayer ? kOpponent : kPlayer;
    v.sides = {FiguresOf(side), FiguresOf(other)};
    const i16 hand = side == kPlayer ? PlayerHand : OpponentHand;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == hand) v.hand.push_back(Seen(i));
        if (Cards[i].Location == Stock) ++v.stockCount;
        // The pile is laid out in index order under its top card.
        if (Cards[i].Location == DiscardPile && i != TopDiscard) v.pile.push_back(Seen(i));
    }
    if (TopDiscard >= 1 && TopDiscard <= kDeckSize && Cards[TopDiscard].Location == DiscardPile) {
        v.pile.push_back(Seen(TopDiscard));
    }
    v.pileForMe = Seen(PileStateFor(side));
    v.target = TargetScore;
    v.mustDraw = mustDraw;
    v.drawStillOwed = side == kPlayer && MustDraw && HasDrawn;
    v.chosenWild = side == kPlayer ? SelectedWild : 0;
    v.thaddockSeat = side == kOpponent;
    return v;
}

}  // namespace cardovia
