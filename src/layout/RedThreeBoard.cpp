#include "layout/RedThreeBoard.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

constexpr int kBoardLeft = 480;
constexpr int kPlayerBoardTop = 5280;
constexpr int kOpponentBoardTop = 2280;
constexpr int kBoardStep = 50;

}  // namespace

void SortRedThree(int side) {
    Trap("SortRedThree", [&] {
        DelayMs = SpeedDelay + pauses::kRedThreeBoardExtra;
        const bool player = side == kPlayer;
        const i16 board = player ? PlayerRedThrees : OpponentRedThrees;
        int top = player ? kPlayerBoardTop : kOpponentBoardTop;
        for (int i = kFirstRedThree; i <= kLastRedThree; ++i) {
            if (Cards[i].Location != board) continue;
            Picture& pic = Pic(i);
            ShowFace(i);
            pic.Move(kBoardLeft, top);
            top += kBoardStep;
            ZOrder(pic);
            // Only the player's board pauses between its cards.
            if (player) Pause();
        }
        CardSoundPause();
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
