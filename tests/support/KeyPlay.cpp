#include "support/KeyPlay.h"

#include "model/Card.h"
#include "model/Table.h"
#include "player/EnginePlay.h"
#include "player/KeyboardPlay.h"

namespace cardovia::testing {

bool FocusOn(int card, const KeySender& press) {
    for (int rows = 0; rows < 8; ++rows) {
        for (int n = 0; n < 2 * kDeckSize; ++n) press(TableKey::Left);
        for (int n = 0; n <= kDeckSize; ++n) {
            if (FocusedControl() == &Pic(card)) return true;
            press(TableKey::Right);
        }
        press(TableKey::NextRow);
    }
    return false;
}

bool PlayStepByKeys(const KeySender& press, const std::function<void()>& takeBack) {
    const strategy::Step step = PlayerNextStep();
    using Kind = strategy::Step::Kind;
    switch (step.kind) {
        case Kind::TakePile:
            return press(TableKey::TakePile);
        case Kind::DrawStock:
            return press(TableKey::DrawStock);
        case Kind::Lay:
            for (int card : step.cards) {
                if (PlayerTurn && FocusOn(card, press)) press(TableKey::Activate);
            }
            return true;
        case Kind::AddWild: {
            int onMeld = 0;
            for (int i = 1; i <= kDeckSize && onMeld == 0; ++i) {
                if (Cards[i].Location == PlayerMelds && Cards[i].Rank == step.rank) onMeld = i;
            }
            if (!FocusOn(step.cards.front(), press) || !press(TableKey::Activate)) return false;
            return FocusOn(onMeld, press) && press(TableKey::Secondary);
        }
        case Kind::Discard:
            if (Pic(step.cards.front()).border && !press(TableKey::DropWild)) return false;
            return FocusOn(step.cards.front(), press) && press(TableKey::Secondary);
        case Kind::TakeBack:
            takeBack();
            return true;
        case Kind::None:
            break;
    }
    return false;
}

}  // namespace cardovia::testing
