#include "flow/Handlers.h"

#include "flow/Leaving.h"
#include "flow/Menus.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "scoring/ResultsPanel.h"
#include "ui/Form.h"
#include "ui/Platform.h"

namespace cardovia {

void ConnectHandlers() {
    TableForm& f = Frmtable();
    f.MnuNew.Click = MnuNew_Click;
    f.MnuExit.Click = MnuExit_Click;
    f.QueryUnload = Form_QueryUnload;
    f.cmdNew.Click = cmdNew_Click;
    f.cmdSave.Click = cmdSave_Click;
    f.MnuTakeBack.Click = MnuTakeBack_Click;
    f.MnuGenHelp.Click = [] { Sys().ShowHelp(); };
    f.MnuAbout.Click = [] { Sys().ShowAbout(); };
    f.PicCards_MouseDown = PicCards_MouseDown;
    f.PicCards_MouseUp = PicCards_MouseUp;
}

}  // namespace cardovia
