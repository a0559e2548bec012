#include "layout/Hand.h"

#include "layout/FollowMouse.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"

#include <algorithm>

namespace cardovia {

namespace {

// The next place along a row. A hand of 78 cards or more would carry the
// player's row past the 16-bit range; its last cards then share the row's
// far end instead of raising an overflow in the middle of the layout.
i16 NextPlace(int left, int step) {
    return static_cast<i16>(std::min(left + step, 32767));
}

}  // namespace

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
                NextCardX[kPlayer] = NextPlace(NextCardX[kPlayer], kPlayerCardStep);
                ShowFace(i);
            } else {
                pic.top = kOpponentHandTop;
                NextCardX[kOpponent] = NextPlace(NextCardX[kOpponent], kOpponentCardStep);
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
