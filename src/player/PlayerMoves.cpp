#include "player/PlayerMoves.h"

#include "deck/Drawing.h"
#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/Hint.h"
#include "rules/Discarding.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "rules/TakingThePile.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"
#include "ui/Platform.h"

namespace cardovia {

namespace {

constexpr int kMaxWildCards = 3;
constexpr int kWildStepDown = 100;  // a wild card let go of drops back a little

// Moves pause while the table keeps answering, so a second click can arrive in
// the middle of a move (a quick double right click would discard twice). A
// move runs to its end before the next press or release counts.
bool moveInProgress = false;

// The card the last press picked up; only its release lays it on the table.
i16& PickedUp() {
    return TheTable.PickedUp;
}

bool MayPlay(int card) {
    return PlayerTurn && Cards[card].Location != OpponentHand && GameInProgress;
}

bool InHand(int card) {
    return Cards[card].Location == PlayerHand;
}

void LayCard(int card, int rank) {
    PutCardOnMeld(card, rank, kPlayer);
    SortaMeld(rank, kPlayer);
}

// A meld was pressed with no wild card chosen: the player is asked for one first.
void AskForWildCardFirst() {
    LearningMessage("You must click a Wild card to add  first.");
    ShowStatus(PlayerName + " please click Wild card to add first.");
    Beep();
    Pause();
    ShowStatus(PlayerName + " Melding and Discarding");
}

// The chosen wild card is let go of.
void UnmarkWildCard(int card) {
    Pic(card).border = false;
    if (card == SelectedWild) SelectedWild = 0;
}

// A wild card of the hand is chosen to join a meld.
void ChooseWildCard(int card) {
    if (!HasCanasta[kPlayer] && HandCount[kPlayer] == 1) {
        ShowStatus(PlayerName + "you cannot add this Wild card - no Canasta");
        LearningMessage("You cannot add this Wild card as you only have one card and no Canasta.");
        return;
    }
    SelectedWild = static_cast<i16>(card);
    Pic(card).border = true;
    LearningMessage(
        "You should now Right click on any card in the Meld to which you wish to add the Wild "
        "card.");
    ShowStatus("Now click Meld to add to.");
    Pause();
    Beep();
    ShowStatus("Melding and Discarding");
}

// The chosen wild card joins the meld of the card pressed, within its quota.
void JoinWildCard(int pressed) {
    const int r = Cards[pressed].Rank;
    const bool meldRank = r != kJoker && r != kTwo && r != kRedThree && r != kBlackThree;
    const int wild = SelectedWild;
    if (meldRank) {
        const int w = MeldTable[r].WildCount[kPlayer];
        const int c = MeldTable[r].Count[kPlayer];
        if (w + 1 <= kMaxWildCards && w + 1 <= c - w) {
            Cards[wild].Rank = static_cast<i16>(r);
            Cards[wild].MeldedFromHand = true;
            Cards[wild].Location = PlayerMelds;
            AddWildCard(wild, r, kPlayer);
            SelectedWild = 0;
            return;
        }
    }
    ShowStatus("Cannot add Wild card - Meld has quota.");
    Pic(wild).border = false;
    SelectedWild = 0;
}

// A press on the stock at the turn's start: two cards from it.
void DrawTwo() {
    MustDraw = false;
    LearningMessage("You will now be given two cards.");
    ShowStatus("Taking two Stock cards.");
    Pause();
    TakeCardDeck(kPlayer);
    TakeCardDeck(kPlayer);
    HasDrawn = true;
    LearningMessage(
        "You should now Meld if you wish  and can by pushing cards to Meld table and then discard "
        "a card by Right clicking on to it.");
    ShowStatus(PlayerName + " now Meld and Discard.");
}

// A press on the pile: it is taken if the rules allow; false when the press ends here.
bool TakePile(int card) {
    if (!CanTakeUpDiscard(kPlayer)) {
        LearningMessage("You cannot take the Discard card so please click on Stock for two cards.");
        ShowStatus("Cannot Meld Card - Take from Stock.");
        Beep();
        return false;
    }
    if (Cards[card].Rank == Cards[TopDiscard].Rank) {
        MustDraw = false;
        TakeDiscardPile(kPlayer);
        HasDrawn = true;
    }
    return true;
}

// Black threes may only be laid as the last cards, three of them, with a canasta.
// Answers whether the press ends here.
bool LayBlackThrees() {
    if (HandCount[kPlayer] > 4) {
        LearningMessage("You may only Meld Black Threes as the last move before going out");
        ShowStatus(PlayerName + " you can only Meld as 3/4 Threes - last cards hand.");
        return true;
    }
    if (RankCount[kBlackThree] < 3) {
        LearningMessage(
            "You may only Meld Black Threes as the last move before going out and must have "
            "minimum of 3.");
        ShowStatus("Can only Meld as 3/4 Threes - last cards hand");
        return true;
    }
    const bool allThree = HandCount[kPlayer] == 3 && RankCount[kBlackThree] == 3;
    const bool threeOfFour = HandCount[kPlayer] == 4;
    if (!HasCanasta[kPlayer] || !(allThree || threeOfFour)) return false;
    int laid = 0;
    for (int i = 1; i <= kDeckSize && laid < 3; ++i) {
        if (InHand(i) && Cards[i].Rank == kBlackThree) {
            LayCard(i, kBlackThree);
            ++laid;
        }
    }
    return true;
}

// A card of the hand is lifted to be laid on the table.
void PickUpFromHand(int card) {
    if (!HasCanasta[kPlayer] && HandCount[kPlayer] == 1) {
        LearningMessage("You do not have a Canasta so cannot go out.");
        return;
    }
    EstablishPoints(kPlayer);
    if (Cards[card].Rank == kBlackThree && LayBlackThrees()) return;
    if (!CanMeldFromHandPlayer(card)) {
        LearningMessage("You cannot Meld this card.");
        ShowStatus("You cannot Meld this card.");
        Beep();
        return;
    }
    Cards[card].MeldedFromHand = true;
    PickUpCard(card);
    PickedUp() = static_cast<i16>(card);
}

bool HasNaturalMeld() {
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (r == kTwo || r == kBlackThree) continue;
        if (MeldTable[r].Melded[kPlayer]) return true;
    }
    return false;
}

void EndTurnFlags() {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].FromDiscard) {
            Cards[i].FromDiscard = false;
        } else if (Cards[i].MeldedFromHand) {
            Cards[i].MeldedFromHand = false;
        }
    }
}

// The discard that ends the turn.
void Discard(int card) {
    const int rank = Cards[card].Rank;
    if ((rank == kTwo || rank == kJoker) && Pic(card).border) {
        Pic(card).border = false;
        if (card == SelectedWild) SelectedWild = 0;
        Pic(card).top += kWildStepDown;
        ShowStatus("Right click again to Discard this Wild card.");
        return;
    }
    CheckMeldsComplete(kPlayer);
    if (!MeldsComplete) {
        ShowMessageDialog(
            "You have an unfinished Meld - Complete it or click 'Take Back' button or Menu above.",
            "Right", "", "", kPictureNotice, "Unfinished Meld");
        return;
    }
    const bool melded = HasNaturalMeld();
    GetHandScores(kPlayer);
    if (MinMeld[kPlayer] > 0 && !MeldOpened[kPlayer] && melded) {
        ShowMessageDialog(
            "You have not melded enough points to meet the Minimum Meld. Meld more or click 'Take "
            "Back' button or Menu above.",
            "Right", "", "", kPictureNotice, "Minimum Meld not met.");
        return;
    }
    if (HandCount[kPlayer] != 1 || HasCanasta[kPlayer]) {
        MakeDiscard(kPlayer, card);
        HasDrawn = false;
        PlayerTurn = false;
    } else {
        // The last card without a canasta stays in the hand; the turn passes all the same.
        ShowMessageDialog("You cannot discard last card with no Canasta, Thaddock will now play",
                          "O.K.", "", "", kPictureSerious, "Cannot Discard");
    }
    EndTurnFlags();
    PlayerTurn = false;
    HasDrawn = false;
    LearningMessage("Thaddock will now take his turn.");
    ShowStatus("Thaddock is now taking his turn.");
}

// What a press on a card does, the first of the moves above that applies.
void Press(int card, i16 button) {
    SortHand(kPlayer);
    const i16 where = Cards[card].Location;
    const bool wildInHand = IsWildIndex(card) && where == PlayerHand;
    if (where == PlayerMelds && SelectedWild == 0) return AskForWildCardFirst();
    if (button == kLeftButton && wildInHand && Pic(card).border) return UnmarkWildCard(card);
    if (button == kLeftButton && wildInHand) return ChooseWildCard(card);
    if (button == kRightButton && where == PlayerMelds && SelectedWild != 0) {
        return JoinWildCard(card);
    }
    if (button == kLeftButton && where == Stock && MustDraw) return DrawTwo();
    if (where == DiscardPile && MustDraw && !TakePile(card)) return;
    // After taking the pile the press goes on only if the pressed card is now in the hand.
    if (button == kLeftButton && InHand(card) && HasDrawn) return PickUpFromHand(card);
    if (button == kRightButton && InHand(card) && HasDrawn) return Discard(card);
}

}  // namespace

void PicCards_MouseDown(i16 Index, i16 Button, i16, float, float) {
    if (moveInProgress || Index < 1 || Index > kDeckSize || !MayPlay(Index)) return;
    PlayerMoveGuard guard;
    PickedUp() = 0;
    ClearHintMarks();
    Press(Index, Button);
}

void PicCards_MouseUp(i16 Index, i16 Button, i16, float, float) {
    if (moveInProgress || Index < 1 || Index > kDeckSize) return;
    const bool wasPickedUp = PickedUp() == Index;
    PickedUp() = 0;
    Trap("PicCards_MouseUp", [&] {
        if (!PlayerTurn || !GameInProgress || !InHand(Index) || !HasDrawn) return;
        if (Button == kRightButton || IsWildIndex(Index) || !wasPickedUp) return;
        PlayerMoveGuard guard;
        if (CanMeldFromHandPlayer(Index) && Button == kLeftButton) {
            // Wherever the card is let go, it goes onto its own meld.
            FollowMouse.SetEnabled(false);
            const int rank = Cards[Index].Rank;
            LayCard(Index, rank);
            SortHand(kPlayer);
        }
    });
}

bool CanMeldFromHandPlayer(int TheCard) {
    bool answer = false;
    Trap("CanMeldFromHand", [&] {
        if (!GameInProgress || TableIdle) return;
        SortHand(kPlayer);
        const bool canasta = HasCanasta[kPlayer];
        const int hand = HandCount[kPlayer];
        if (!canasta && hand == 1) return;
        const int rank = Cards[TheCard].Rank;
        const bool natural = !IsWildRank(rank) && rank != kBlackThree && rank != kRedThree;
        if (natural && rank <= kMeldRanks && MeldTable[rank].Melded[kPlayer]) {
            answer = true;
            return;
        }
        int same = 0;
        int wild = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (!InHand(i)) continue;
            if (Cards[i].Rank == rank) ++same;
            if (IsWildIndex(i)) ++wild;
        }
        // Neither the last cards of the hand as one new meld, nor a group that
        // with its wild cards would empty a three-card hand, without a canasta.
        if (same == hand && !canasta) return;
        if (wild + same == 3 && hand == 3 && !canasta) return;
        answer = same >= 3 || (same == 2 && wild >= 1);
    });
    return answer;
}

PlayerMoveGuard::PlayerMoveGuard() {
    moveInProgress = true;
}

PlayerMoveGuard::~PlayerMoveGuard() {
    moveInProgress = false;
}

bool PlayerMoveInProgress() {
    return moveInProgress;
}

}  // namespace cardovia
