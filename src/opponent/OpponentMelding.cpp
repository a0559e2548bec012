#include "opponent/OpponentMelding.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

#include <array>

namespace cardovia {

namespace {

// Thaddock walks the ranks Aces first, then Fours up to Kings; he never melds
// Twos or black threes.
constexpr std::array<int, 11> kMeldRankOrder = {kAce, 4, 5, 6, 7, 8, 9, 10, 11, 12, kKing};

constexpr int kMeldMoveTowardCentre = 1000;  // a card leaving a hand for the meld table

// Without a canasta Thaddock keeps something in hand: he melds only while he
// holds at least this many cards.
constexpr int kFewestCardsToMeldWithoutCanasta = 4;

// Wild cards: never more than three on a meld, and a meld stops attracting
// them once three cards have been laid on it since its first wild card.
constexpr int kMostWildCards = 3;
constexpr int kWildWatchLimit = 3;
// The first wild card of a turn goes only onto a meld of this size.
constexpr int kFirstWildSmallestMeld = 4;
constexpr int kFirstWildLargestMeld = 5;
// With a canasta made and few cards left, a Two is worth getting rid of.
constexpr int kHandSizeToShedTwo = 3;

void Evaluate() {
    EstablishPoints(kOpponent);
}

bool DownToOneCard() {
    return HandCount[kOpponent] == 1;
}

const MeldRecord& Meld(int r) {
    return MeldTable[r];
}

bool HoldsWildCard() {
    return RankCount[kTwo] >= 1 || RankCount[kJoker] >= 1;
}

// Jokers come before Twos in the deck, so the lowest index is a Joker when
// Thaddock holds one.
int FirstWildInHand() {
    for (int i = kFirstJoker; i <= kLastWild; ++i) {
        if (Cards[i].Location == OpponentHand) return i;
    }
    return 0;
}

bool StillTakesWild(int r) {
    const MeldRecord& m = Meld(r);
    return m.CountSinceWild[kOpponent] < kWildWatchLimit &&
           m.CountSinceWild[kOpponent] < m.Count[kOpponent];
}

int HandPointsOfRank(int r) {
    int points = 0;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == OpponentHand && Cards[i].Rank == r) points += Cards[i].Value;
    }
    return points;
}

// The evaluation is made once before the melding without a canasta, while
// the hand still holds the ranks laid before; a rank that has become the
// whole hand may go only if its meld thereby becomes a canasta.
bool EmptiesHandWithoutCanasta(int r, int cardsInHand) {
    return cardsInHand == RankCount[r] && !HasCanasta[kOpponent] &&
           Meld(r).Count[kOpponent] + RankCount[r] < kCanastaSize;
}

bool MayMeldWithoutCanasta(int r, int cardsInHand) {
    return cardsInHand >= kFewestCardsToMeldWithoutCanasta && !HasCanasta[kOpponent] &&
           CanMeldRank[r] && !EmptiesHandWithoutCanasta(r, cardsInHand);
}

// The points the melding without a canasta would lay this turn: the same walk
// over the ranks with the same stops, worked out on the counts alone.
int PointsMeldedWithoutCanasta() {
    int cardsLeft = HandCount[kOpponent];
    int points = 0;
    for (int r : kMeldRankOrder) {
        if (!MayMeldWithoutCanasta(r, cardsLeft)) continue;
        cardsLeft -= RankCount[r];
        points += HandPointsOfRank(r);
        // A canasta made on the way ends the melding without one.
        if (Meld(r).Count[kOpponent] + RankCount[r] >= kCanastaSize) break;
        if (cardsLeft == 1) break;
    }
    return points;
}

// An opening is laid whole or not at all: the melds Thaddock would stop
// short of must not leave him on the table below his minimum.
bool OpeningFallsShort() {
    return !MeldOpened[kOpponent] && PointsMeldedWithoutCanasta() < MinMeld[kOpponent];
}

void MeldWithCanasta() {
    for (int r : kMeldRankOrder) {
        if (HasCanasta[kOpponent] && CanMeldRank[r]) {
            MeldCardsHand(kOpponent, r);
            SortHand(kOpponent);
        }
    }
}

void MeldWithoutCanasta() {
    if (OpeningFallsShort()) return;
    for (int r : kMeldRankOrder) {
        if (MayMeldWithoutCanasta(r, HandCount[kOpponent])) {
            MeldCardsHand(kOpponent, r);
            SortHand(kOpponent);
            if (DownToOneCard()) break;
        }
    }
}

int FirstWildTarget() {
    if (!HoldsWildCard()) return 0;
    for (int r : kMeldRankOrder) {
        const i16 count = Meld(r).Count[kOpponent];
        if (StillTakesWild(r) && count >= kFirstWildSmallestMeld &&
            count <= kFirstWildLargestMeld) {
            return r;
        }
    }
    return 0;
}

void LayFirstWild(int r) {
    const int card = FirstWildInHand();
    if (r == 0 || card == 0) return;
    const MeldRecord& m = Meld(r);
    const int wild = m.WildCount[kOpponent];
    const int natural = m.Count[kOpponent] - wild;
    if (wild + 1 <= natural && wild + 1 <= kMostWildCards) AddWildCard(card, r, kOpponent);
}

bool MayLaySecondWild() {
    return RankCount[kJoker] >= 1 || (RankCount[kTwo] >= 1 && HasCanasta[kOpponent] &&
                                      HandCount[kOpponent] <= kHandSizeToShedTwo);
}

int SecondWildTarget() {
    if (!MayLaySecondWild()) return 0;
    for (int r : kMeldRankOrder) {
        if (StillTakesWild(r)) return r;
    }
    return 0;
}

// The second wild card may outnumber the natural cards of its meld; only the
// limit of three holds here.
void LaySecondWild(int r) {
    const int card = FirstWildInHand();
    if (r == 0 || card == 0) return;
    if (Meld(r).WildCount[kOpponent] + 1 <= kMostWildCards) AddWildCard(card, r, kOpponent);
}

void FinishMelding() {
    GetBonusScores(kOpponent);
    SortHand(kOpponent);
    DelayMs = SpeedDelay;
}

}  // namespace

void WhatCanBeMelded() {
    Trap("WhatCanBeMelded", [] {
        // Wild cards never help Thaddock open: his natural melds alone must do it.
        Evaluate();
        if (!MeldOpened[kOpponent] && HandMeldPoints[kOpponent] < MinMeld[kOpponent]) return;

        if (DownToOneCard() && !HasCanasta[kOpponent]) {
            LearningMessage(
                "Thaddock does not have a Canasta and only 1 card in hand so cannot meld it and  "
                "go out.");
            ShowStatus("Cannot Meld one card as no Canasta made.");
            return;
        }

        MeldWithCanasta();
        Evaluate();
        MeldWithoutCanasta();

        Evaluate();
        if (DownToOneCard()) return;
        const int firstTarget = FirstWildTarget();
        Evaluate();
        if (DownToOneCard()) return;
        LayFirstWild(firstTarget);

        Evaluate();
        if (DownToOneCard()) return;
        const int secondTarget = SecondWildTarget();
        Evaluate();
        if (DownToOneCard()) return;
        LaySecondWild(secondTarget);

        FinishMelding();
    });
}

void MeldCardsHand(int side, int r) {
    Trap("MeldCardsHand", [&] {
        const int towardCentre = side == kOpponent ? kMeldMoveTowardCentre : -kMeldMoveTowardCentre;
        // Only the first card of the meld is shown for the longer pause: booking
        // it puts the pause back to the play speed for the cards after it.
        DelayMs = Add16(SpeedDelay, pauses::kOpponentMeldExtra);
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location != side || Cards[i].Rank != r) continue;
            ShowFace(i);
            Pic(i).top += towardCentre;
            Pause();
            PutCardOnMeld(i, r, side);
            SortaMeld(r, side);
        }
        DelayMs = SpeedDelay;
        SortHand(side);
    });
}

}  // namespace cardovia
