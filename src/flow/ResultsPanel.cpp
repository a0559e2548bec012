#include "flow/ResultsPanel.h"

#include "flow/Leaving.h"
#include "model/Table.h"
#include "scoring/ReadAndSave.h"
#include "ui/Form.h"

namespace cardovia {

void cmdNew_Click() {
    TableIdle = true;
    Frmtable().FramResults.visible = false;
}

void cmdSave_Click() {
    Frmtable().FramResults.visible = false;
    SavePlayerFile();
    GameInProgress = false;
    TableIdle = true;
    LetsExit();
}

}  // namespace cardovia
