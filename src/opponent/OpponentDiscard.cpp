#include "opponent/OpponentDiscard.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/DiscardPile.h"
#include "rules/Discarding.h"
#include "rules/MinimumMeld.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"

#include <array>

namespace cardovia {

namespace {

// A black three blocks the pile for the next player; it is worth throwing only
// once the pile holds something worth protecting.
constexpr int kPileWorthBlocking = 2;

int Rank(int card) {
    return Cards[card].Rank;
}

bool IsNatural(int card) {
    const int rank = Rank(card);
    return rank != kTwo && rank != kJoker && rank != kBlackThree;
}

// Only the meld ranks have a meld record; any other rank is one the player
// cannot lay off.
bool PlayerHasMeld(int rank) {
    return rank >= kAce && rank <= kMeldRanks && MeldTable[rank].Melded[kPlayer];
}

bool HeldOnce(int card) {
    return RankCount[Rank(card)] == 1;
}
bool HeldThrice(int card) {
    return RankCount[Rank(card)] == 3;
}

bool BlackThreeOnGrownPile(int card) {
    return Rank(card) == kBlackThree && DiscardCount >= kPileWorthBlocking;
}
bool LoneCardPlayerCannotUse(int card) {
    return IsNatural(card) && HeldOnce(card) && !PlayerHasMeld(Rank(card));
}
bool ThreeOfAKindPlayerCannotUse(int card) {
    return IsNatural(card) && HeldThrice(card) && !PlayerHasMeld(Rank(card));
}
bool LoneCard(int card) {
    return IsNatural(card) && HeldOnce(card);
}
bool ThreeOfAKind(int card) {
    return IsNatural(card) && HeldThrice(card);
}
bool NotWild(int card) {
    return !IsWildRank(Rank(card));
}
bool AnyCard(int) {
    return true;
}

// Pairs and groups of four or more are kept longest, a black three on a small
// pile until only wild cards would be left, and a wild card is given up last.
using Pass = bool (*)(int card);
constexpr std::array<Pass, 8> kDiscardPasses = {BlackThreeOnGrownPile,
                                                LoneCardPlayerCannotUse,
                                                ThreeOfAKindPlayerCannotUse,
                                                LoneCard,
                                                ThreeOfAKind,
                                                IsNatural,
                                                NotWild,
                                                AnyCard};

int FirstInHand(Pass pass) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == OpponentHand && pass(i)) return i;
    }
    return 0;
}

int ChooseDiscard() {
    for (Pass pass : kDiscardPasses) {
        if (const int card = FirstInHand(pass); card != 0) return card;
    }
    return 0;
}

}  // namespace

bool ThaddockMayDiscard() {
    // Thaddock went out by melding.
    if (HandCount[kOpponent] == 0) return false;
    // Throwing the last card would be going out, which needs a canasta.
    if (HandCount[kOpponent] == 1 && !HasCanasta[kOpponent]) {
        ShowStatus(" Thaddock cannot discard at present- no Canasta");
        return false;
    }
    return true;
}

void DiscardWhatCard() {
    Trap("DiscardWhatCard", [] {
        if (!ThaddockMayDiscard()) return;
        EstablishPoints(kOpponent);
        if (const int card = ChooseDiscard(); card != 0) MakeDiscard(kOpponent, card);
    });
}

}  // namespace cardovia
