// The end of the player's turn, however it came: once it is over no draw is
// owed, so a click on the stock after the hand is scored draws nothing. Found
// by the soak test of the real window.

#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "support/GameHarness.h"

namespace cardovia::testing {
namespace {

class TurnEnd : public GameTest {
  protected:
    static int TopOfStock() {
        for (int i = kDeckSize; i >= 1; --i) {
            if (Cards[i].Location == Stock) return i;
        }
        return 0;
    }
};

TEST_F(TurnEnd, AfterTheHandIsScoredAClickOnTheStockDrawsNothing) {
    // Take Back pressed at the start of every turn leaves the turn owing a
    // draw although the player may discard; Thaddock then ends the hand.
    beforePlayer = [] {
        if (MustDraw && !HasDrawn) MnuTakeBack_Click();
        return false;
    };
    int tried = 0;
    atResults = [&] {
        const int top = TopOfStock();
        if (top == 0) return;
        ++tried;
        const int hand = HandCount[kPlayer];
        PicCards_MouseDown(static_cast<i16>(top), kLeftButton, 0, 0, 0);
        PicCards_MouseUp(static_cast<i16>(top), kLeftButton, 0, 0, 0);
        EXPECT_EQ(Cards[top].Location, Stock);
        EXPECT_EQ(HandCount[kPlayer], hand);
    };
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        sys.Seed(seed);
        PlayFromMenu();
        ResetModel();
        ProgramEnding = GameAbandoned = false;
    }
    EXPECT_GT(tried, 0) << "no hand ended with cards left in the stock";
    EXPECT_TRUE(sys.errors.empty());
}

}  // namespace
}  // namespace cardovia::testing
