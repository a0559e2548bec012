#include "player/TakeBack.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/PlayerMoves.h"
#include "rules/DiscardPile.h"
#include "rules/MeldTable.h"
#include "scoring/HandScoring.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

bool HasShortMeld() {
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (r == kTwo) continue;
        const int count = MeldTable[r].Count[kPlayer];
        if (count == 1 || count == 2) return true;
    }
    return false;
}

void LowerCount(int rank) {
    MeldRecord& m = MeldTable[rank];
    --m.Count[kPlayer];
    if (m.Count[kPlayer] == 0) m.Melded[kPlayer] = false;
}

// A wild card leaving a meld gives back its own rank and value.
void ReturnWildCard(int card, int rank) {
    MeldRecord& m = MeldTable[rank];
    --m.WildCount[kPlayer];
    --m.CountSinceWild[kPlayer];
    if (m.CountSinceWild[kPlayer] == 0) m.HasWild[kPlayer] = false;
    const DeckEntry own = DeckLayout(card);
    Cards[card].Rank = own.rank;
    Cards[card].Value = own.value;
}

}  // namespace

void MnuTakeBack_Click() {
    if (!GameInProgress || PlayerMoveInProgress()) return;
    PlayerMoveGuard guard;
    if (!MeldOpened[kPlayer]) TakeBackCards();
    if (HasShortMeld()) TakeBackCards();
    MeldsComplete = true;
    HasDrawn = true;
}

void TakeBackCards() {
    bool penaltyShown = false;
    for (int i = 1; i <= kDeckSize; ++i) {
        Card& card = Cards[i];
        if (card.Location != PlayerMelds) continue;
        // The meld a card lies on: a wild card joined with the pile keeps its
        // own rank, so the meld is the one recorded when it was laid.
        const int rank = card.MeldRank[kPlayer];
        // A wild card leaves its meld's books before the meld is scored and
        // laid out again, so its label and bonus count it no more.
        if (card.MeldedFromHand) {
            // Laid from the hand this turn, whether or not it first came with
            // the pile: it goes back to the hand.
            card.Location = PlayerHand;
            card.MeldedFromHand = false;
            card.FromDiscard = false;
            LowerCount(rank);
            if (IsWildIndex(i)) ReturnWildCard(i, rank);
            GetBonusScores(kPlayer);
            SortaMeld(rank, kPlayer);
        } else if (card.FromDiscard) {
            LowerCount(rank);
            if (IsWildIndex(i)) ReturnWildCard(i, rank);
            GetBonusScores(kPlayer);
            SortaMeld(rank, kPlayer);
            card.Location = DiscardPile;
            card.FromDiscard = false;
            if (!penaltyShown) {
                penaltyShown = true;
                ShowMessageDialog(PlayerName +
                                      " you lose 50 points for taking Discard and failing to meet "
                                      "Minimum Meld",
                                  "O.K.", "", "", kPictureSerious, "Cards taken back");
                TakeBackPenalty = kTakeBackPenalty;
                ShowCurrentScores(kPlayer);
            }
        }
        GetHandScores(kPlayer);
        if (!MeldOpened[kPlayer])
            MinMeld[kPlayer] = static_cast<i16>(MinMeld[kPlayer] + card.Value);
        SetPanel(1, "Minimum Meld Points " + std::to_string(MinMeld[kPlayer]));
        ShuffleDiscard();
        SortHand(kPlayer);
        ShowCurrentScores(kPlayer);
        Pause();
        MustDraw = true;
        HasDrawn = false;
    }
}

}  // namespace cardovia
