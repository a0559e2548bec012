#include "flow/Menus.h"

#include "flow/GameLoop.h"
#include "flow/KeptHand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Form.h"
#include "ui/Messages.h"

namespace cardovia {

void MnuNew_Click() {
    if (GameInProgress) {
        ShowMessageDialog(PlayerName +
                              " you are in the middle of a game, are you sure you really wish to "
                              "start a new game?.",
                          "New Game", "No Cancel", "", kPictureNotice, "Really start new game?");
        if (DialogButton == 1) return;
        // The running game is given up: its hand is not scored and no
        // statistics change; the new game keeps the zeroed totals.
        TableForm& f = Frmtable();
        for (int side : {kPlayer, kOpponent}) {
            f.LblCurrTot[side].caption.clear();
            GameScore[side] = 0;
        }
    }
    PlayNewGame();
}

void MnuSave_Click() {
    SavePlayerFile();
}

void MnuLoad_Click() {
    // A hand kept on disk is taken up exactly where it was left.
    if (HandIsKept() && KeptHandReadable()) return ResumeKeptGame();
    const i16 mine = GameScore[kPlayer];
    const i16 his = GameScore[kOpponent];
    const bool unfinished = mine <= TargetScore && his <= TargetScore && (mine != 0 || his != 0);
    if (unfinished) {
        GameInProgress = true;
        TableForm& f = Frmtable();
        f.LblCurrTot[kPlayer].caption = std::to_string(mine);
        f.LblCurrTot[kOpponent].caption = std::to_string(his);
    } else {
        ShowMessageDialog(PlayerName +
                              " there is no unfinished game to load therefore a new game will now "
                              "start.",
                          "O.K", "", "", kPictureNotice, "No unfinished game to load");
    }
    PlayNewGame();
}

}  // namespace cardovia
