#include "rules/TakingThePile.h"

#include "layout/Hand.h"
#include "layout/RedThreeBoard.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/CardMemory.h"
#include "rules/DiscardPile.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

constexpr int kHandCardNudge = 1000;  // a hand card steps towards the table's centre first
// The player's new meld from a taken pile gets only as many hand cards as
// bring it to three; Thaddock lays all of his.
constexpr int kPlayerTakeLimit = 3;
// A meld left at two cards by the take is made up to three with a wild card.
constexpr int kMeldShortOfThree = 2;

// Every card leaving the pile takes the same path up the table, for both sides.
constexpr Waypoint kGlidePath[] = {kAbovePile, {3840, 5400}, {5640, 3840}};

// The rank of the pile's top card; 0 when there is no top card to speak of.
int TopRank() {
    if (TopDiscard < 1 || TopDiscard > kDeckSize) return 0;
    return Cards[TopDiscard].Rank;
}

struct HandMatch {
    int naturals = 0;  // natural cards of the top card's rank
    int wilds = 0;
};

HandMatch CountMatches(int side, int topRank) {
    HandMatch match;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != side) continue;
        if (IsWildRank(Cards[i].Rank)) {
            ++match.wilds;
        } else if (Cards[i].Rank == topRank) {
            ++match.naturals;
        }
    }
    return match;
}

bool HasTwoOfTop(const HandMatch& match) {
    if (match.naturals < 2) return false;
    LearningMessage("Has two cards in hand same as discard card so may take.");
    return true;
}

bool HasOneOfTopAndAWild(const HandMatch& match) {
    return match.naturals == 1 && match.wilds >= 1;
}

bool MayTakeFrozen(const HandMatch& match) {
    if (HasTwoOfTop(match)) return true;
    if (!HasOneOfTopAndAWild(match)) return false;
    LearningMessage(
        "Has one card in hand same value as discard card plus one or more wild cards so may "
        "take.");
    return true;
}

bool MayTakeOpen(int side, int topRank, const HandMatch& match) {
    if (IsMeldRank(topRank) && MeldTable[topRank].Melded[side]) {
        LearningMessage("Can Meld the discard card so may take it.");
        return true;
    }
    if (HasTwoOfTop(match)) return true;
    if (!HasOneOfTopAndAWild(match)) return false;
    LearningMessage(
        "Has one cards in hand same as discard card plus one or more wild cards so may take.");
    return true;
}

bool MayTake(int side) {
    if (DiscardCount == 0) {
        CanTakePile = false;
        return false;
    }
    EstablishPoints(side);
    DiscardFrozen(side);
    if (PileState == PileStates::Blocked) return false;
    const int topRank = TopRank();
    const HandMatch match = CountMatches(side, topRank);
    if (PileState == PileStates::Frozen) return MayTakeFrozen(match);
    return MayTakeOpen(side, topRank, match);
}

// The pile's cards of the top card's rank, the top card among them, go
// straight onto the side's meld.
void PileRankToMeld(int r, int side) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != DiscardPile || Cards[i].Rank != r) continue;
        GlidePileCard(i);
        Cards[i].FromDiscard = true;
        PutCardOnMeld(i, r, side);
        SortaMeld(r, side);
    }
}

// A red three never stays in a hand, so one in the pile goes to the board.
void PileRedThreeToBoard(int card, int side) {
    Cards[card].Location = side == kPlayer ? PlayerRedThrees : OpponentRedThrees;
    SortRedThree(side);
    GetBonusScores(side);
}

void PileCardToHand(int card, int side) {
    Cards[card].Location = static_cast<i16>(side);
    const int rank = Cards[card].Rank;
    RankCount[rank] = Add16(RankCount[rank], 1);
    GlidePileCard(card);
    SortHand(side);
}

void RestOfPileToSide(int side) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != DiscardPile) continue;
        Cards[i].FromDiscard = true;
        if (Cards[i].Rank == kRedThree) {
            PileRedThreeToBoard(i, side);
        } else {
            PileCardToHand(i, side);
        }
    }
}

void HandRankToMeld(int r, int side) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != side || Cards[i].Rank != r) continue;
        if (side == kPlayer && MeldTable[r].Count[kPlayer] == kPlayerTakeLimit) return;
        Cards[i].MeldedFromHand = true;
        RankCount[r] = Sub16(RankCount[r], 1);
        ShowFace(i);
        Pic(i).top += side == kOpponent ? kHandCardNudge : -kHandCardNudge;
        Pause();
        PutCardOnMeld(i, r, side);
        SortaMeld(r, side);
    }
}

// At most one wild card, Jokers before Twos, makes up a meld of two.
void MakeUpMeldWithWild(int r, int side) {
    if (MeldTable[r].Count[side] != kMeldShortOfThree) return;
    for (int i = kFirstJoker; i <= kLastWild; ++i) {
        if (Cards[i].Location != side) continue;
        Cards[i].MeldedFromHand = true;
        AddWildCard(i, r, side);
        RankCount[Cards[i].Rank] = Sub16(RankCount[Cards[i].Rank], 1);
        return;
    }
}

void TakePile(int side) {
    // The top card stays the top card: only its rank matters from here on.
    const int r = TopRank();
    if (!IsMeldRank(r)) throw GameError(kSubscriptOutOfRange, "Subscript out of range");
    PileRankToMeld(r, side);
    RestOfPileToSide(side);
    DelayMs = Add16(SpeedDelay, pauses::kPileTakeExtra);
    HandRankToMeld(r, side);
    SortHand(side);
    DelayMs = SpeedDelay;
    MakeUpMeldWithWild(r, side);
    SortHand(side);
    ShuffleDiscard();
    if (PlayerTurn) ShowStatus(PlayerName + " now Meld or Discard");
    DiscardFrozen(side);
    SortHand(side);
    ShowCurrentScores(side);
    DelayMs = SpeedDelay;
    SortHand(side);
}

}  // namespace

bool HandMatchesOpenPile(int side) {
    const int topRank = TopRank();
    if (topRank == 0) return false;
    if (IsMeldRank(topRank) && MeldTable[topRank].Melded[side]) return true;
    const HandMatch match = CountMatches(side, topRank);
    return match.naturals >= 2 || (match.naturals == 1 && match.wilds >= 1);
}

bool CanTakeUpDiscard(int side) {
    bool mayTake = false;
    if (!Trap("CanTakeUpDiscard", [&] { mayTake = MayTake(side); })) return false;
    return mayTake;
}

void TakeDiscardPile(int side) {
    RememberPileTaken(side);
    Trap("TakeDiscardPile", [&] { TakePile(side); });
}

void GlidePileCard(int card) {
    DelayMs = pauses::kGlidePileStep;
    Picture& pic = Pic(card);
    for (const Waypoint& point : kGlidePath) {
        pic.Move(point.left, point.top);
        ZOrder(pic);
        Pause();
    }
    DelayMs = SpeedDelay;
}

}  // namespace cardovia
