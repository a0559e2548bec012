#include "rules/MeldTable.h"

#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/MinimumMeld.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Pacing.h"

#include <string>

namespace cardovia {

namespace {

constexpr int kCompleteMeld = 3;
constexpr int kWildCardNudge = 600;  // a wild card steps towards the table's centre first

// Only the player has a side of its own; anything else is Thaddock.
int MeldSide(int side) {
    return side == kPlayer ? kPlayer : kOpponent;
}

i16 MeldLocation(int side) {
    return side == kPlayer ? PlayerMelds : OpponentMelds;
}

// A card or rank outside the table is an unexpected error for the caller's
// trap to report, not a write outside the records.
void CheckCardAndRank(int card, int r) {
    if (card < 1 || card > kDeckSize || !IsMeldRank(r)) {
        throw GameError(kSubscriptOutOfRange, "Subscript out of range");
    }
}

std::string Figures(const MeldRecord& m, int side) {
    return std::to_string(m.Count[side]) + " Wild:-" + std::to_string(m.WildCount[side]);
}

// The label under a meld: pure or mixed, and the canasta colours once it
// reaches seven cards.
void ShowMeldLabel(int r, int side) {
    Label& label = side == kPlayer ? Frmtable().lblMelds[r] : Frmtable().lblMeldsC[r];
    const MeldRecord& m = MeldTable[r];
    const bool mixed = m.CountSinceWild[side] >= 1;
    const bool canasta = m.Count[side] >= kCanastaSize;
    label.visible = true;
    label.backColor = kPaleGreen;
    label.caption = (mixed ? "Mixed:- " : "Pure:- ") + Figures(m, side);
    if (mixed && canasta) {
        label.backColor = kYellow;
        label.caption = " Mixed Canasta " + Figures(m, side);
    }
    if (canasta && !mixed) {
        label.backColor = kOrange;
        label.caption = " Pure Canasta " + Figures(m, side);
    }
}

// Wild cards come first in every column because the scan runs by index.
void LayOutColumn(int r, int side) {
    const i16 where = MeldLocation(side);
    int top = side == kPlayer ? kPlayerMeldTop : kOpponentMeldTop;
    // Thaddock's melds are laid out card by card so the player can follow them.
    DelayMs = side == kOpponent ? pauses::kOpponentMeldLayout : 0;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != where || Cards[i].MeldRank[side] != r) continue;
        Picture& pic = Pic(i);
        pic.border = false;
        ShowFace(i);
        pic.Move(MeldColumnLeft[r], top);
        ZOrder(pic);
        top += kMeldCascade;
        Pause();
    }
}

// Laying the last card of the hand on a meld ends the player's turn without a
// discard, and so the hand.
void EndTurnIfPlayerWentOut() {
    if (HandCount[kPlayer] != 0) return;
    MustDraw = false;
    PlayerTurn = false;
    HasDrawn = false;
}

void BookCard(int card, int r, int side) {
    MeldRecord& m = MeldTable[r];
    Cards[card].MeldRank[side] = static_cast<i16>(r);
    m.Count[side] = Add16(m.Count[side], 1);
    // From the first wild card on, every card laid counts as laid since it.
    if (m.HasWild[side]) m.CountSinceWild[side] = Add16(m.CountSinceWild[side], 1);
    if (m.Count[side] >= kCanastaSize) HasCanasta[side] = true;
}

}  // namespace

void PutCardOnMeld(int card, int r, int side) {
    CheckCardAndRank(card, r);
    side = MeldSide(side);
    Cards[card].Location = MeldLocation(side);
    MeldTable[r].Melded[side] = true;
    GetHandScores(side);
    BookCard(card, r, side);
    CountTowardsMinimum(card, side);
    GetBonusScores(side);
    SortHand(side);
    DelayMs = SpeedDelay;
}

void AddWildCard(int card, int r, int side) {
    CheckCardAndRank(card, r);
    side = MeldSide(side);
    DelayMs = Add16(SpeedDelay, pauses::kWildCardExtra);
    ShowFace(card);
    Picture& pic = Pic(card);
    pic.top += side == kPlayer ? -kWildCardNudge : kWildCardNudge;
    Pause();
    // Whichever way it came here (taking the pile makes a meld up with the
    // first wild card of the hand), the card is chosen no more: a later press
    // on a meld must not book it a second time.
    pic.border = false;
    if (card == SelectedWild) SelectedWild = 0;
    MeldRecord& m = MeldTable[r];
    m.HasWild[side] = true;
    m.WildCount[side] = Add16(m.WildCount[side], 1);
    PutCardOnMeld(card, r, side);
    SortaMeld(r, side);
    SortHand(side);
    DelayMs = SpeedDelay;
}

void SortaMeld(int r, int side) {
    Trap("SortaMeld", [&] {
        // The results panel is showing: the table stays as the hand ended.
        if (TableIdle) return;
        if (!IsMeldRank(r)) throw GameError(kSubscriptOutOfRange, "Subscript out of range");
        // No card may follow the mouse while a meld is laid out.
        FollowMouse.SetEnabled(false);
        const int s = MeldSide(side);
        LayOutColumn(r, s);
        if ((side == kPlayer || side == kOpponent) && r != kTwo) ShowMeldLabel(r, s);
        DelayMs = pauses::kMeldLayoutSound;
        CardSoundPause();
        DelayMs = SpeedDelay;
        GetBonusScores(s);
        ShowCurrentScores(s);
        EndTurnIfPlayerWentOut();
        FollowMouse.SetEnabled(false);
        DelayMs = SpeedDelay;
    });
}

void CheckMeldsComplete(int side) {
    Trap("CheckMeldsComplete", [&] {
        bool complete = true;
        for (int r = kAce; r <= kKing && complete; ++r) {
            if (r == kTwo || r == kBlackThree) continue;
            const MeldRecord& m = MeldTable[r];
            if (m.Melded[side] && m.Count[side] < kCompleteMeld) complete = false;
        }
        MeldsComplete = complete;
    });
}

}  // namespace cardovia
