#include "flow/Leaving.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

namespace cardovia {

void LetsExit() {
    if (GameInProgress) {
        ShowMessageDialog(
            PlayerName + " you are in the middle of a game, are you sure you wish to exit?.",
            "Yes-Exit", "No Cancel", "", kPictureNotice, "Quit without saving?");
        if (DialogButton == 1) return;
    }
    // Even "Quit without saving?" writes the file: what it leaves unsaved is
    // the hand in progress.
    ProgramEnding = true;
    GameAbandoned = true;
    Sys().Quit();
    SavePlayerFile();
}

void MnuExit_Click() {
    LetsExit();
}

bool Form_QueryUnload() {
    ShowMessageDialog(PlayerName + " do you really wish to exit?", "Yes Exit", "Carry On", "",
                      kPictureSerious, "Really Exit?");
    if (DialogButton == 1) return false;
    LetsExit();
    return ProgramEnding;
}

}  // namespace cardovia
