#include "scoring/Statistics.h"

#include "flow/GameLoop.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/PlayerFile.h"
#include "ui/Form.h"
#include "ui/Messages.h"

namespace cardovia {

void MnuView_Click() {
    ShowMessageDialog(" You are winning " + std::to_string(GamesWon) +
                          " against Thaddock winning " + std::to_string(GamesLost),
                      "O.K", "", "", GamesWon > GamesLost ? kPictureGoodNews : kPictureSerious,
                      "Games played statistics");
}

void MnuDel_Click() {
    ShowMessageDialog("Do you wish to delete the statistics on games won and lost?.", "Yes Delete",
                      "No Cancel", "", kPictureNotice, "Really delete?");
    // The file keeps the old figures until it is next written.
    if (DialogButton == 0) GamesWon = GamesLost = 0;
}

void MnuSave_Click() {
    SavePlayerFile();
}

void MnuLoad_Click() {
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
