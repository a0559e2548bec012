#include "deck/CardTravel.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

constexpr Waypoint kToPlayer[] = {{1560, 1560}, {3360, 3840}, {4560, 5760}, {5400, 7080}};
constexpr Waypoint kToOpponent[] = {{1800, 1440}, {3240, 1680}, {3690, 1200}};

template <std::size_t N>
void Travel(int card, const Waypoint (&path)[N], int endLeft, int endTop) {
    Picture& pic = Pic(card);
    for (const Waypoint& w : path) {
        pic.Move(w.left, w.top);
        ZOrder(pic);
        Pause();
    }
    pic.Move(endLeft, endTop);
    CardSoundPause();
}

}  // namespace

void MoveCardDeck(int side, int card) {
    Trap("MoveCardDeck", [&] {
        DelayMs = pauses::kCardTravelStep;
        if (side == kPlayer) {
            ShowFace(card);
            Travel(card, kToPlayer, NextCardX[kPlayer], kPlayerHandTop);
        } else if (side == kOpponent) {
            Pic(card).image = CardBackImage();
            Travel(card, kToOpponent, NextCardX[kOpponent], kOpponentHandTop);
        }
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
