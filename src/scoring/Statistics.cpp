#include "scoring/Statistics.h"

#include "model/Settings.h"
#include "model/Table.h"
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

}  // namespace cardovia
