#include "rules/Discarding.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/CardMemory.h"
#include "rules/DiscardPile.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Pacing.h"

#include <array>
#include <span>

namespace cardovia {

namespace {

// A discard travels from the hand down to the pile at the bottom left.
constexpr std::array<Waypoint, 3> kOpponentDiscardPath = {
    {{2640, 1920}, {1560, 4200}, {840, 6240}}};
constexpr std::array<Waypoint, 2> kPlayerDiscardPath = {{{2520, 7800}, kAbovePile}};

std::span<const Waypoint> DiscardPath(int side) {
    if (side == kOpponent) return kOpponentDiscardPath;
    return kPlayerDiscardPath;
}

void ShowTravel(int card, int side) {
    Picture& pic = Pic(card);
    for (const Waypoint& point : DiscardPath(side)) {
        ShowFace(card);
        pic.Move(point.left, point.top);
        ZOrder(pic);
        Pause();
    }
}

}  // namespace

void MakeDiscard(int side, int card) {
    Trap("MakeDiscard", [&] {
        RememberDiscard(side, card);
        Cards[card].Location = DiscardPile;
        TopDiscard = static_cast<i16>(card);
        DelayMs = pauses::kDiscardStep;
        ShowTravel(card, side);
        CardSoundPause();
        ShuffleDiscard();
        SortHand(side);
        // The pile is shown as the side that plays next sees it.
        DiscardFrozen(side == kPlayer ? kOpponent : kPlayer);
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
