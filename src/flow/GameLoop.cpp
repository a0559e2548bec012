#include "flow/GameLoop.h"

#include "deck/Dealing.h"
#include "deck/Drawing.h"
#include "deck/Stock.h"
#include "flow/ClearTable.h"
#include "flow/GameRecording.h"
#include "flow/KeptHand.h"
#include "flow/Leaving.h"
#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "opponent/ExpertThaddock.h"
#include "opponent/MasterThaddock.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "player/Hint.h"
#include "player/KeyboardPlay.h"
#include "player/Narration.h"
#include "player/PlayerMoves.h"
#include "rules/MinimumMeld.h"
#include "rules/TakingThePile.h"
#include "scoring/HandScoring.h"
#include "scoring/ReadAndSave.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"
#include "ui/Platform.h"

#include <cmath>
#include <utility>

namespace cardovia {

namespace {

bool driverActive = false;
bool newGameRequested = false;
bool resumeRequested = false;  // the next game goes on from the hand kept on disk

void OpenGame() {
    TableForm& f = Frmtable();
    if (!GameInProgress) {
        for (int side : {kPlayer, kOpponent}) {
            GameScore[side] = 0;
            f.LblCurrTot[side].caption = "0";
        }
    }
    FollowMouse = clsObjectFollowMouse{};
    FollowMouse.SetTimer(&f.Timer1);
    FollowMouse.SetEnabled(false);
    GameInProgress = true;
    ForgetKeptHand();
    StartGameRecord();
    ClearIt();
    // Who plays first in the first hand is drawn; later hands follow whoever
    // was to play next when the previous hand ended.
    const int k = static_cast<int>(std::floor(2 * Sys().Random())) + 1;
    PlayerTurn = k == 1;
    SetUpDeck();
}

// The game goes on from the hand kept on disk, as OpenGame would have begun it.
bool ResumeGame() {
    if (!ResumeKeptHand()) return false;
    // A reader hears the hand taken up, not a new deal.
    ResetNarration();
    NarrateChanges();
    Announce("Your game goes on where it was left. " + Answer(Question::Hand));
    FollowMouse = clsObjectFollowMouse{};
    FollowMouse.SetTimer(&Frmtable().Timer1);
    FollowMouse.SetEnabled(false);
    return true;
}

void OpponentTurn() {
    EstablishPoints(kOpponent);
    // Both are asked, so the pile shows its state for Thaddock either way;
    // Classic Thaddock never takes it before he has met his minimum meld.
    const bool mayTake = CanTakeUpDiscard(kOpponent);
    // Expert and Master Thaddock may take it to open; Master weighs it by his search.
    bool takes = mayTake && MeldOpened[kOpponent];
    if (ThaddockPlays == ThaddockLevel::Expert) takes = mayTake && ExpertTakesPile();
    if (ThaddockPlays == ThaddockLevel::Master) takes = mayTake && MasterTakesPile();
    if (takes) {
        ShowStatus("Thaddock is taking Discard card.");
        LearningMessage("Thaddock will now take the Discard card.");
        TakeDiscardPile(kOpponent);
    } else {
        ShowStatus("Thaddock is taking two cards from Stock.");
        LearningMessage("Thaddock is going to take two cards from Deck.");
        TakeTwoFromStock(kOpponent);
    }
    EstablishPoints(kOpponent);
    ShowStatus("Thaddock is checking if he can Meld");
    LearningMessage("Thaddock is checking if he can Meld any cards.");
    switch (ThaddockPlays) {
        case ThaddockLevel::Classic:
            WhatCanBeMelded();
            break;
        case ThaddockLevel::Expert:
            ExpertMelds();
            break;
        case ThaddockLevel::Master:
            MasterMelds();
            break;
    }
    ShowStatus("Thaddock is Discarding a card.");
    LearningMessage("Thaddock will now discard a card.");
    switch (ThaddockPlays) {
        case ThaddockLevel::Classic:
            DiscardWhatCard();
            break;
        case ThaddockLevel::Expert:
            ExpertDiscards();
            break;
        case ThaddockLevel::Master:
            MasterDiscards();
            break;
    }
}

// A turn kept on disk goes on where it stood: before the draw, or after it.
void PlayersTurn(bool resumed) {
    TableForm& f = Frmtable();
    if (!resumed) {
        ShowStatus(PlayerName + " take Discard or click Stock for two cards.");
        LearningMessage("Take Discard, if you can and wish to, or click Stock to take two cards.");
        MustDraw = true;
    } else {
        ShowStatus(MustDraw ? PlayerName + " take Discard or click Stock for two cards."
                            : PlayerName + " now Meld and Discard.");
    }
    f.MnuTakeBack.enabled = true;
    f.MnuHint.enabled = true;
    ShowKeyboardFocus();
    // The mouse handlers play the player's turn inside this wait; it sleeps
    // until the turn ends by a discard or by going out. Each time it wakes
    // with the turn still on, the table as it now stands is kept on disk.
    Sys().WaitUntil(
        [] {
            if (PlayerTurn && !GameAbandoned && !PlayerMoveInProgress()) KeepHand(false);
            return !PlayerTurn || GameAbandoned;
        },
        nullptr);
    // However the turn ended (a discard after Take Back still owed a draw, or
    // the game was given up), no draw is owed any more: a click on the stock
    // while the results show or the next game clears the table must not draw.
    MustDraw = false;
    f.MnuTakeBack.enabled = false;
    f.MnuHint.enabled = false;
    ClearHintMarks();
}

bool HandGoesOn() {
    return HandCount[kPlayer] >= 1 && StockCount >= 1 && HandCount[kOpponent] >= 1 &&
           GameInProgress && !GameAbandoned;
}

void PlayTurns(bool resumed) {
    while (HandGoesOn()) {
        if (!PlayerTurn) {
            OpponentTurn();
            PlayerTurn = true;
        } else {
            PlayersTurn(resumed);
        }
        resumed = false;
    }
}

void DealHand() {
    ClearIt();
    ResetKeyboardFocus();
    GetMinMeld(kPlayer);
    GetMinMeld(kOpponent);
    SetPanel(1, "Minimum Meld Points " + std::to_string(MinMeld[kPlayer]));
    int dealer;
    if (PlayerTurn) {
        ShowStatus("Thaddock dealing " + PlayerName + " to play first");
        dealer = kOpponent;
    } else {
        ShowStatus(PlayerName + " dealing, Thaddock will play first.");
        dealer = kPlayer;
    }
    DealEm(dealer);
    SortHand(kPlayer);
    SortHand(kOpponent);
    StackStock();
}

std::string Num(int n) {
    return std::to_string(n);
}

// The statistics, the result dialog and the sound; true when the player asks
// for a new game.
bool EndGame() {
    TableForm& f = Frmtable();
    GameInProgress = false;
    TableIdle = true;
    f.cmdSave.visible = false;
    // Counted, in the history and in Name.dat, together and before the box says so.
    FlushKeptHand();  // the results' hand is on the disk before the game's end takes it away
    const GameEndSaved saved = RecordGameEnd();
    ForgetKeptHand();
    const i16 mine = GameScore[kPlayer];
    const i16 his = GameScore[kOpponent];
    const std::string scores =
        " this game with a total score of  " + Num(mine) + " against Thaddock's score of  " +
        Num(his) + (saved.saved ? " Statistics saved." : " Statistics could not be saved.") +
        " Click 'New Game' or 'Exit'";
    if (mine <= his) {
        PlaySoundFile(kLostSound);
        Pause();
        ShowMessageDialog("Oh Dear, " + PlayerName + " you lost" + scores, "New Game", "Exit", "",
                          kPictureGoodNews, "Game Over");
    } else {
        DelayMs = SpeedDelay + pauses::kGameWonExtra;
        PlaySoundFile(kWinSound);
        Pause();
        DelayMs = SpeedDelay + pauses::kGameWonExtra;
        ShowMessageDialog("Well done, " + PlayerName + " you won" + scores, "New Game", "Exit", "",
                          kPictureGoodNews, "Game Over");
    }
    if (GameAbandoned) return false;
    if (DialogButton == 0) return true;
    TableIdle = false;
    LetsExit();
    return false;
}

// Plays hands until the game ends; true when the player asks for a new game.
// A resumed game starts in the kept hand: at the player's turn or at its results.
bool PlayHands(bool resumed) {
    bool atResults = resumed && Frmtable().FramResults.visible;
    while (true) {
        if (!resumed) DealHand();
        if (!atResults) {
            PlayTurns(resumed);
            // A hand that was given up is neither scored nor counted.
            if (GameAbandoned || !GameInProgress) return false;
            GetScoresHand();
            RecordHand();
            KeepHand(true);
        }
        resumed = atResults = false;
        ShowKeyboardFocus();  // the ring waits on Carry On
        Sys().WaitUntil([] { return TableIdle || GameAbandoned; }, nullptr);
        if (GameAbandoned || !GameInProgress) return false;
        TableIdle = false;
        const i16 mine = GameScore[kPlayer];
        const i16 his = GameScore[kOpponent];
        if (mine > TargetScore && his > TargetScore && mine == his) {
            ShowMessageDialog(
                "You have both scored over 5,000 but your scores are equal, so we will play "
                "another hand",
                "O.K", "", "", kPictureGoodNews, "Game Drawn");
            continue;
        }
        if (mine >= TargetScore || his >= TargetScore) return EndGame();
    }
}

}  // namespace

void NewGame() {
    const bool resume = std::exchange(resumeRequested, false);
    Trap("NewGame", [resume] {
        const bool resumed = resume && ResumeGame();
        if (!resumed) OpenGame();
        if (PlayHands(resumed)) newGameRequested = true;
    });
}

void ResumeKeptGame() {
    resumeRequested = true;
    PlayNewGame();
}

void PlayNewGame() {
    if (driverActive) {
        GameAbandoned = true;
        newGameRequested = true;
        return;
    }
    driverActive = true;
    newGameRequested = true;
    while (newGameRequested && !ProgramEnding) {
        newGameRequested = false;
        GameAbandoned = false;
        NewGame();
    }
    GameAbandoned = ProgramEnding;
    driverActive = false;
}

bool GameRunning() {
    return driverActive;
}

}  // namespace cardovia
