#include "player/HoverHints.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "player/HandHelp.h"
#include "rules/TakingThePile.h"
#include "ui/Errors.h"
#include "ui/Form.h"

#include <string>

namespace cardovia {

namespace {

void Hint(Picture& pic, i16 icon, const std::string& tip) {
    pic.mouseIcon = icon;
    pic.toolTip = tip;
}

void BeforeDrawing(int card, Picture& pic) {
    const i16 where = Cards[card].Location;
    if (where == Stock)
        return Hint(pic, kPointerMayClick, PlayerName + " left click to take two cards.");
    if (where == PlayerHand) {
        return Hint(pic, kPointerMayNot, PlayerName + " take Stock or Discard card first.");
    }
    if (where != DiscardPile) return;
    const auto state = static_cast<PileStates>(Frmtable().Shape1.borderColor);
    if (state == PileStates::Blocked) {
        return Hint(pic, kPointerMayNot, PlayerName + " discard Blocked - take two Stock cards.");
    }
    if (state == PileStates::Open) {
        // The tip says what a click on this card would do: only a card of the
        // top's rank takes the pile, and only with a hand that matches it.
        const bool takes =
            TopDiscard != 0 && Cards[card].Rank == Cards[TopDiscard].Rank && HandMatchesOpenPile(kPlayer);
        if (takes) return Hint(pic, kPointerMayClick, PlayerName + " left click to take card.");
        return Hint(pic, kPointerMayNot, "Cannot take - take two Stock Cards.");
    }
    if (state == PileStates::Frozen) {
        // The same analysis as Hand Help, so an open panel shows it fresh.
        TableForm& f = Frmtable();
        f.lstHeading.items.clear();
        for (int i : {0, 1, 3}) f.lstValue[i].items.clear();
        AnalyseHand();
        if (CanTakePile)
            return Hint(pic, kPointerMayClick, PlayerName + " left click to take card.");
        return Hint(pic, kPointerMayNot, "Cannot take - take two Stock Cards.");
    }
}

void AfterDrawing(int card, Picture& pic) {
    const Card& c = Cards[card];
    if (c.Location == Stock || c.Location == DiscardPile) {
        return Hint(pic, kPointerMayNot, "Meld or Discard now.");
    }
    if (c.Location == PlayerHand) {
        if (c.Rank == kTwo || c.Rank == kJoker) {
            return Hint(pic, kPointerMayClick, "Left click and then click Meld to add to.");
        }
        return Hint(pic, kPointerGrasp, "Push card to Meld table - Right Click Discard.");
    }
    if (c.Location == PlayerMelds) {
        if (SelectedWild == 0)
            return Hint(pic, kPointerMayNot, "First left Click on Wild card to Add.");
        return Hint(pic, kPointerMayClick, "Right Click to add the Wild card.");
    }
}

}  // namespace

void PicCards_MouseMove(i16 Index, i16, i16, float, float) {
    if (Index < 1 || Index > kDeckSize) return;
    Trap("PicCards_MouseMove", [&] {
        if (!PlayerTurn || Cards[Index].Location == OpponentHand || !GameInProgress) return;
        Picture& pic = Pic(Index);
        pic.mousePointer = Pointer::Custom;
        if (MustDraw) {
            BeforeDrawing(Index, pic);
        } else {
            AfterDrawing(Index, pic);
        }
    });
}

}  // namespace cardovia
