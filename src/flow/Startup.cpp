#include "flow/Startup.h"

#include "deck/Stock.h"
#include "flow/Options.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

#include <vector>

namespace cardovia {

void Form_Load() {
    Trap("Form_Load", [] {
        TableForm& f = Frmtable();
        PlayerName = kDefaultPlayerName;
        std::vector<FileNotice> notices = ReadPlayerFileAtStartup();
        for (FileNotice& notice : ReadPreferencesAtStartup()) notices.push_back(std::move(notice));
        ShowThaddockChoice();
        f.Label7.caption = "Target Score " + std::to_string(TargetScore);
        DelayMs = SpeedDelay;
        f.LblP.caption = f.LblPlayer.caption = f.lblPnameScore.caption = PlayerName;
        for (int i = 1; i <= kDeckSize; ++i) {
            Pic(i).image = CardBackImage();
            Cards[i].Location = Stock;
        }
        StackStock();
        PlaySoundFile(kRiffleSound);
        f.LblStock.caption = "No. Deck 108";
        f.LblDiscard.caption = "Discard";
        SetPanel(2, " Press F2 or use Menu for new game");
        // A file that was not read, or a game counted late, is told with the table in view.
        for (const FileNotice& notice : notices) {
            ShowMessageDialog(notice.text, "O.K", "", "", kPictureNotice, notice.title);
        }
    });
}

}  // namespace cardovia
