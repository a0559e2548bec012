#include "player/Hand.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "player/FollowMouse.h"
#include "ui/Errors.h"
#include "ui/Form.h"

namespace cardovia {

void SortHand(int side) {
    Trap("SortHand", [&] {
        FollowMouse.SetEnabled(false);
        NextCardX[kPlayer] = NextCardX[kOpponent] = kHandFirstLeft;
        HandCount[side] = 0;
        HandPoints[side] = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location != side) continue;
            Picture& pic = Pic(i);
            pic.left = NextCardX[side];
            if (side == kPlayer) {
                pic.top = kPlayerHandTop;
                NextCardX[kPlayer] = Add16(NextCardX[kPlayer], kPlayerCardStep);
                ShowFace(i);
            } else {
                pic.top = kOpponentHandTop;
                NextCardX[kOpponent] = Add16(NextCardX[kOpponent], kOpponentCardStep);
                pic.image = CardBackImage();
            }
            // Each card lies over the one laid before it.
            ZOrder(pic);
            HandCount[side] = Add16(HandCount[side], 1);
            HandPoints[side] = Add16(HandPoints[side], Cards[i].Value);
        }
        SetPanel(3, "Points in Hand " + std::to_string(HandPoints[kPlayer]));
        SetPanel(4, "Cards " + std::to_string(HandCount[kPlayer]));
        DelayMs = SpeedDelay;
    });
}

void PickUpCard(int card) {
    FollowMouse.SetObject(&Pic(card));
    ZOrder(Pic(card));
    FollowMouse.SetEnabled(true);
}

}  // namespace cardovia
