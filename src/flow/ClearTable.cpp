#include "flow/ClearTable.h"

#include "deck/Stock.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/CardMemory.h"
#include "ui/Errors.h"
#include "ui/Form.h"

namespace cardovia {

namespace {

void HideMeldLabels(TableForm& f) {
    for (int r = 1; r <= 14; ++r) {
        if (r == kTwo) continue;
        for (Label* l : {&f.lblMelds[r], &f.lblMeldsC[r]}) {
            l->visible = false;
            l->caption.clear();
            l->backColor = kPaleGreen;
        }
    }
}

void ClearSideScores(TableForm& f, int side) {
    HasCanasta[side] = false;
    OutFirstBonus[side] = HandBonus[side] = RedThreePoints[side] = 0;
    PureCanastas[side] = MixedCanastas[side] = MeldPoints[side] = RedThreeCount[side] = 0;
    HandCount[side] = 15;
    HandPoints[side] = 0;
    f.LblCurrMeld[side].caption.clear();
    f.LblCurrBon[side].caption.clear();
}

}  // namespace

void ClearIt() {
    Trap("ClearIt", [] {
        TableForm& f = Frmtable();
        DelayMs = SpeedDelay;
        for (int i = 1; i <= kDeckSize; ++i) {
            Pic(i).visible = false;
            Pic(i).border = false;  // a wild card chosen last hand is not chosen now
            Cards[i].Location = Stock;
        }
        StackStock();
        TableIdle = false;
        HideMeldLabels(f);
        for (int side : {kPlayer, kOpponent}) {
            RedThreeCount[side] = 0;
            MeldOpened[side] = false;
        }
        TakeBackPenalty = 0;
        ForgetShownCards();
        f.lblComments.caption.clear();
        if (!GameInProgress) {
            for (int side : {kPlayer, kOpponent}) {
                GameScore[side] = 0;
                f.LblCurrTot[side].caption.clear();
            }
        }
        CanTakePile = HasDrawn = false;
        TopDiscard = DiscardCount = 0;
        f.LblDiscard.caption = "0";
        f.Caption = "Cardovia - Target Score is " + std::to_string(TargetScore);
        MeldsComplete = false;
        PileState = PileStates::Open;
        f.Shape1.borderColor = FrameColour(PileStates::Open);
        StockCount = kDeckSize;
        f.LblStock.caption = "No. Stock:- 108";
        MustDraw = false;
        SelectedWild = 0;
        for (int side : {kPlayer, kOpponent}) ClearSideScores(f, side);
        for (int panel = 1; panel <= 4; ++panel) SetPanel(panel, "");
        f.LblDiscard.caption.clear();
        f.LblStock.caption.clear();
        f.cmdSave.visible = true;
        f.GamePoints[0].caption.clear();
        for (int i = 1; i <= kDeckSize; ++i) {
            Cards[i].FromDiscard = Cards[i].MeldedFromHand = false;
            Cards[i].Rank = 0;
        }
        SetUpDeck();
        for (int r = 1; r <= kMeldRanks; ++r) {
            for (int side : {kPlayer, kOpponent}) {
                MeldRecord& m = MeldTable[r];
                m.Count[side] = m.WildCount[side] = m.CountSinceWild[side] = 0;
                m.HasWild[side] = m.Melded[side] = false;
            }
        }
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
