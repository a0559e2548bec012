#include "rules/MinimumMeld.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"

#include <string>

namespace cardovia {

namespace {

// The minimum first meld grows with the side's game total.
constexpr int kLowTotalMinimum = 15;  // a total of 0 or less, as at the start of every game
constexpr int kFirstBandMinimum = 50;
constexpr int kSecondBandMinimum = 90;
constexpr int kTopBandMinimum = 120;
constexpr int kSecondBandFrom = 1500;
constexpr int kTopBandFrom = 3000;

constexpr int kMinimumPanel = 1;

constexpr int kNewMeldSize = 3;

// What each natural card of a rank brings to a new meld.
constexpr int kAcePoints = 20;
constexpr int kLowRankPoints = 5;    // Fours to Sevens
constexpr int kHighRankPoints = 10;  // Eights to Kings

// A side without a canasta may not empty its hand into one new meld, unless
// that meld is then a canasta itself: the hand must hold something besides
// the group, or the side must already have a canasta.
bool GroupMayBeLaid(int side, int r) {
    return HandCount[side] != RankCount[r] || HasCanasta[side] ||
           MeldTable[r].Count[side] + RankCount[r] == kCanastaSize;
}

// The same rule for laying off onto a meld already on the table: the last
// card of the hand may go only when the side has a canasta or the meld
// becomes one.
bool AdditionMayBeLaid(int side, int r) {
    return HasCanasta[side] || HandCount[side] != 1 ||
           MeldTable[r].Count[side] + RankCount[r] == kCanastaSize;
}

void ClearEvaluation(int side) {
    RankCount.fill(0);
    CanMeldRank.fill(false);
    HandMeldPoints[side] = 0;
}

void CountHand(int side) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != side) continue;
        const int rank = Cards[i].Rank;
        if (rank < 0 || rank >= static_cast<int>(RankCount.size())) continue;
        RankCount[rank] = Add16(RankCount[rank], 1);
    }
}

// A new meld of three or more natural cards of rank r, worth `points` a card.
void EvaluateGroup(int side, int r, int points) {
    if (RankCount[r] < kNewMeldSize) return;
    if (GroupMayBeLaid(side, r)) {
        HandMeldPoints[side] = Add16(HandMeldPoints[side], Mul16(RankCount[r], points));
        CanMeldRank[r] = true;
    } else {
        CanMeldRank[r] = false;
    }
}

void EvaluateNewMelds(int side) {
    EvaluateGroup(side, kAce, kAcePoints);
    for (int r = kFour; r <= kSeven; ++r) EvaluateGroup(side, r, kLowRankPoints);
    for (int r = kEight; r <= kKing; ++r) EvaluateGroup(side, r, kHighRankPoints);
}

// Cards that can go onto melds the side already has add no points.
void EvaluateAdditions(int side) {
    if (MeldTable[kAce].Melded[side] && RankCount[kAce] >= 1) {
        CanMeldRank[kAce] = AdditionMayBeLaid(side, kAce);
    }
    for (int r = kFour; r <= kKing; ++r) {
        if (!AdditionMayBeLaid(side, r)) {
            CanMeldRank[r] = false;
        } else if (MeldTable[r].Melded[side] && RankCount[r] >= 1) {
            CanMeldRank[r] = true;
        }
    }
}

void ShowMinimum(int side) {
    if (side != kPlayer) return;
    SetPanel(kMinimumPanel, "Minimum Meld Points " + std::to_string(MinMeld[kPlayer]));
}

void ShowMinimumMet(int side) {
    if (side != kPlayer) return;
    SetPanel(kMinimumPanel, "Minimum Meld Points Met");
}

}  // namespace

i16 MinimumForTotal(int total) {
    if (total <= 0) return kLowTotalMinimum;
    if (total < kSecondBandFrom) return kFirstBandMinimum;
    if (total >= kTopBandFrom) return kTopBandMinimum;
    return kSecondBandMinimum;
}

void GetMinMeld(int side) {
    Trap("GetMinMeld", [&] {
        MinMeld[side] = 0;
        MinMeld[side] = MinimumForTotal(GameScore[side]);
    });
}

void EstablishPoints(int side) {
    Trap("EstablishPoints", [&] {
        // Thaddock's hand is re-laid and recounted whichever side is examined.
        SortHand(kOpponent);
        ClearEvaluation(side);
        CountHand(side);
        EvaluateNewMelds(side);
        EvaluateAdditions(side);
        DelayMs = SpeedDelay;
    });
}

void CountTowardsMinimum(int card, int side) {
    // Once opened, later cards leave the minimum alone; the minimum can be met
    // partway through a meld.
    if (!MeldOpened[side]) {
        MinMeld[side] = Sub16(MinMeld[side], Cards[card].Value);
        ShowMinimum(side);
    }
    if (MinMeld[side] < 1) {
        MeldOpened[side] = true;
        ShowMinimumMet(side);
    }
}

}  // namespace cardovia
