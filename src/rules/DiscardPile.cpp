#include "rules/DiscardPile.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"

namespace cardovia {

namespace {

constexpr int kPileStepLeft = 1;
constexpr int kPileStepTop = 15;
constexpr int kWildRaise = 300;  // wild cards in the pile stand out above the others

bool Freezes(int rank) {
    return rank == kJoker || rank == kTwo || rank == kBlackThree || rank == kRedThree;
}

}  // namespace

PileStates PileStateFor(int side) {
    // A side that has not met its minimum meld never sees the pile Open or Blocked.
    if (!MeldOpened[side]) return PileStates::Frozen;
    if (TopDiscard >= 1 && DiscardCount >= 1 && Freezes(Cards[TopDiscard].Rank)) {
        return PileStates::Blocked;
    }
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == DiscardPile && Freezes(Cards[i].Rank)) return PileStates::Frozen;
    }
    return PileStates::Open;
}

namespace {

const char* CaptionWord(PileStates state) {
    switch (state) {
        case PileStates::Frozen:
            return "Frozen ";
        case PileStates::Blocked:
            return "Blocked ";
        case PileStates::Open:
            break;
    }
    return "Cards ";
}

}  // namespace

void ShuffleDiscard() {
    Trap("ShuffleDiscard", [] {
        DiscardCount = 0;
        int left = kPileLeft;
        int top = kPileTop;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location != DiscardPile) continue;
            ShowFace(i);
            Pic(i).Move(left, top);
            Pic(i).visible = true;
            ZOrder(Pic(i));
            left += kPileStepLeft;
            top += kPileStepTop;
            DiscardCount = Add16(DiscardCount, 1);
        }
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == DiscardPile && IsWildRank(Cards[i].Rank)) {
                Pic(i).top -= kWildRaise;
            }
        }
        // The pile is drawn in index order; only the top card is drawn last,
        // in the slot after the last card.
        if (TopDiscard > 0 && DiscardCount > 0) {
            ZOrder(Pic(TopDiscard));
            Pic(TopDiscard).top = top;
        }
        Frmtable().LblDiscard.caption = "Num Cards " + std::to_string(DiscardCount);
        DelayMs = SpeedDelay;
    });
}

void DiscardFrozen(int side) {
    Trap("DiscardFrozen", [&] {
        PileState = PileStateFor(side);
        TableForm& f = Frmtable();
        f.Shape1.borderColor = FrameColour(PileState);
        f.LblDiscard.caption = CaptionWord(PileState) + std::to_string(DiscardCount);
    });
}

}  // namespace cardovia
