#include "player/EnginePlay.h"

#include "model/Table.h"
#include "player/Hint.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/SideView.h"
#include "strategy/Engine.h"
#include "ui/Form.h"

namespace cardovia {

namespace {

using strategy::Step;

// Steps within one turn before the engine is taken to be stuck.
constexpr int kMostStepsInATurn = 60;

void Click(int card, i16 button) {
    PicCards_MouseDown(static_cast<i16>(card), button, 0, 0, 0);
    PicCards_MouseUp(static_cast<i16>(card), button, 0, 0, 0);
}

bool DrawFromStock() {
    for (int i = kDeckSize; i >= 1; --i) {
        if (Cards[i].Location == Stock) {
            Click(i, kLeftButton);
            return HasDrawn;
        }
    }
    return false;
}

int CardOnMeld(int rank) {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == PlayerMelds && Cards[i].Rank == rank) return i;
    }
    return 0;
}

bool AddWild(int wild, int rank) {
    if (Cards[wild].Location != PlayerHand) return false;
    if (SelectedWild != wild) Click(wild, kLeftButton);
    const int onMeld = CardOnMeld(rank);
    if (SelectedWild != wild || onMeld == 0) return false;
    Click(onMeld, kRightButton);
    return Cards[wild].Location == PlayerMelds;
}

bool Discard(int card) {
    if (Cards[card].Location != PlayerHand) return false;
    // A chosen wild card is let go of by the first right click.
    if (Pic(card).border) Click(card, kRightButton);
    Click(card, kRightButton);
    return !PlayerTurn;
}

}  // namespace

Step PlayerNextStep() {
    return strategy::NextStep(SideViewOf(kPlayer, MustDraw && !HasDrawn));
}

bool PlayPlayerStep(const Step& step) {
    bool accepted = false;
    switch (step.kind) {
        case Step::Kind::None:
            return false;
        case Step::Kind::TakePile:
            if (TopDiscard > 0) Click(TopDiscard, kLeftButton);
            accepted = HasDrawn;
            break;
        case Step::Kind::DrawStock:
            accepted = DrawFromStock();
            break;
        case Step::Kind::Lay:
            accepted = true;
            for (int card : step.cards) {
                if (!PlayerTurn) break;  // went out
                Click(card, kLeftButton);
                accepted = accepted && Cards[card].Location == PlayerMelds;
            }
            break;
        case Step::Kind::AddWild:
            accepted = AddWild(step.cards.front(), step.rank);
            break;
        case Step::Kind::Discard:
            accepted = Discard(step.cards.front());
            break;
        case Step::Kind::TakeBack:
            MnuTakeBack_Click();
            accepted = true;
            break;
    }
    if (!accepted) ++EngineStepsRefused;
    return accepted;
}

namespace {

// The player's turn, or Carry On after the results, with `next` choosing each step.
bool PlayTurnBy(Step (*next)()) {
    TableForm& f = Frmtable();
    if (!TableIdle && f.FramResults.visible && f.cmdNew.Click) {
        f.cmdNew.Click();
        return true;
    }
    if (!PlayerTurn || !GameInProgress) return false;
    // Answers false when nothing was accepted, so a caller never waits on a stuck turn.
    bool played = false;
    for (int steps = 0; steps < kMostStepsInATurn && PlayerTurn && GameInProgress; ++steps) {
        if (PlayPlayerStep(next())) {
            played = true;
            continue;
        }
        // Refused or nothing to do: throw a card so the game goes on.
        const Step discard = PlayerNextStep();
        if (discard.kind != Step::Kind::Discard || !PlayPlayerStep(discard)) break;
        played = true;
    }
    return played;
}

}  // namespace

bool EnginePlayStep() {
    return PlayTurnBy(PlayerNextStep);
}

bool HintPlayStep() {
    return PlayTurnBy(HintStep);
}

}  // namespace cardovia
