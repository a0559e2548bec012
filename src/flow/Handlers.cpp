#include "flow/Handlers.h"

#include "flow/Leaving.h"
#include "flow/Menus.h"
#include "flow/Options.h"
#include "flow/ResultsPanel.h"
#include "player/AccessibleTable.h"
#include "player/HandHelp.h"
#include "player/Hint.h"
#include "player/HoverHints.h"
#include "player/KeyboardPlay.h"
#include "player/Narration.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "scoring/Statistics.h"
#include "scoring/TargetScore.h"
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
    f.MnuLoad.Click = MnuLoad_Click;
    f.MnuSave.Click = MnuSave_Click;
    f.MnuName.Click = MnuName_Click;
    f.MnuTarget.Click = MnuTarget_Click;
    f.CmdTarget.Click = CmdTarget_Click;
    f.MnuBlue.Click = MnuBlue_Click;
    f.MnuRed.Click = MnuRed_Click;
    f.MnuFast.Click = MnuFast_Click;
    f.MnuMed.Click = MnuMed_Click;
    f.MnuSlow.Click = MnuSlow_Click;
    f.MnuView.Click = MnuView_Click;
    f.MnuDel.Click = MnuDel_Click;
    f.FramResults.MouseDown = FramResults_MouseDown;
    f.FramResults.MouseUp = FramResults_MouseUp;
    f.MnuGenHelp.Click = [] { Sys().ShowHelp(); };
    f.MnuAbout.Click = [] { Sys().ShowAbout(); };
    f.PicCards_MouseDown = PicCards_MouseDown;
    f.Table_KeyPress = PressTableKey;
    f.DescribeTable = DescribeTable;
    f.PicCards_MouseUp = PicCards_MouseUp;
    f.PicCards_MouseMove = PicCards_MouseMove;
    f.MnuHandHelp.Click = MnuHandHelp_Click;
    f.cmdFinished.Click = cmdFinished_Click;
    f.MnuLearn.Click = MnuLearn_Click;
    f.MnuHint.Click = MnuHint_Click;
    f.MnuClassic.Click = MnuClassic_Click;
    f.MnuExpert.Click = MnuExpert_Click;
    f.MnuMaster.Click = MnuMaster_Click;
    f.MnuSound.Click = MnuSound_Click;
    f.MnuSmooth.Click = MnuSmooth_Click;
    f.MnuFourColour.Click = MnuFourColour_Click;
    f.MnuChart.Click = MnuChart_Click;
    f.MnuHistory.Click = MnuHistory_Click;
    ConnectNarration();
}

}  // namespace cardovia
