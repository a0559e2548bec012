#include "player/SelfPlay.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/MinimumMeld.h"
#include "ui/Form.h"

#include <array>

namespace cardovia {

namespace {

constexpr int kGiveUpAfter = 40;  // steps within one turn before the player is stuck

bool InHand(int card) {
    return Cards[card].Location == PlayerHand;
}

void Click(int card, i16 button) {
    PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
    PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
}

std::array<int, 16> HeldByRank() {
    std::array<int, 16> held{};
    for (int i = 1; i <= kDeckSize; ++i) {
        if (InHand(i)) ++held[Cards[i].Rank];
    }
    return held;
}

bool Layable(int card, const std::array<int, 16>& held) {
    const int rank = Cards[card].Rank;
    if (IsWildIndex(card) || rank == kBlackThree || rank == kRedThree) return false;
    return MeldTable[rank].Melded[kPlayer] || held[rank] >= 3;
}

void Draw() {
    if (DiscardCount > 0 && TopDiscard > 0) Click(TopDiscard, kLeftButton);
    if (HasDrawn) return;
    for (int i = kDeckSize; i >= 1; --i) {
        if (Cards[i].Location == Stock) return Click(i, kLeftButton);
    }
}

// Lays every group that may be laid, once they reach the minimum together.
bool Meld() {
    EstablishPoints(kPlayer);
    if (!MeldOpened[kPlayer] && HandMeldPoints[kPlayer] < MinMeld[kPlayer]) return false;
    bool laid = false;
    for (int i = 1; i <= kDeckSize; ++i) {
        const auto held = HeldByRank();
        if (!InHand(i) || !Layable(i, held)) continue;
        const int before = HandCount[kPlayer];
        Click(i, kLeftButton);
        laid = laid || HandCount[kPlayer] != before;
        if (!PlayerTurn) break;  // went out
    }
    return laid;
}

int CardToThrow() {
    const auto held = HeldByRank();
    int best = 0;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (!InHand(i)) continue;
        if (best == 0) best = i;
        const bool lone = !IsWildIndex(i) && held[Cards[i].Rank] == 1;
        const bool bestLone = !IsWildIndex(best) && held[Cards[best].Rank] == 1;
        if (lone && (!bestLone || Cards[i].Value < Cards[best].Value)) best = i;
    }
    return best;
}

void Discard() {
    const int card = CardToThrow();
    if (card == 0) return;
    Click(card, kRightButton);
    if (PlayerTurn) {
        // Refused: an unfinished meld or the minimum not met. Take the cards back.
        MnuTakeBack_Click();
        const int again = CardToThrow();
        if (again != 0) Click(again, kRightButton);
    }
}

}  // namespace

bool SelfPlayStep() {
    static int stepsThisTurn = 0;
    TableForm& f = Frmtable();
    if (!TableIdle && f.FramResults.visible && f.cmdNew.Click) {
        f.cmdNew.Click();
        return true;
    }
    if (!PlayerTurn || !GameInProgress) return false;
    if (++stepsThisTurn > kGiveUpAfter) {
        stepsThisTurn = 0;
        return false;
    }
    if (MustDraw && !HasDrawn) {
        Draw();
        return true;
    }
    if (HasDrawn) {
        Meld();
        if (PlayerTurn) Discard();
        if (!PlayerTurn) stepsThisTurn = 0;
        return true;
    }
    return false;
}

}  // namespace cardovia
