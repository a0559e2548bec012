// The cost of the two things the table does most while the player thinks: a
// hover over the frozen discard pile (the pointer hint runs the Hand Help
// analysis each time) and laying out a hand of 15 cards. Headless, with no
// pauses, so only the game's own procedures are timed.
//
//   hover_bench [ROUNDS]    median of ROUNDS rounds (default 15)

#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "player/HoverHints.h"
#include "rules/DiscardPile.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace cardovia;

namespace {

using Clock = std::chrono::steady_clock;

// The player's turn before drawing: fifteen cards in hand, a pile of eight
// frozen by a wild card under its top, the rest in the stock.
void SetTable() {
    SetUpDeck();
    for (int i = 1; i <= kDeckSize; ++i) Cards[i].Location = Stock;
    for (int card : {17, 25, 26, 33, 41, 42, 49, 57, 58, 65, 73, 81, 89, 97, 98}) {
        Cards[card].Location = PlayerHand;
    }
    for (int card : {5, 18, 27, 34, 43, 50, 59}) Cards[card].Location = DiscardPile;
    Cards[66].Location = DiscardPile;
    TopDiscard = 66;
    ShuffleDiscard();
    SortHand(kPlayer);
    GameInProgress = true;
    PlayerTurn = true;
    MustDraw = true;
    MeldOpened[kPlayer] = true;
    DiscardFrozen(kPlayer);
}

// Median time of one call, in nanoseconds, over `rounds` rounds of `calls` calls.
double MedianNs(int rounds, int calls, const std::function<void()>& call) {
    std::vector<double> perCall;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i) call();
        const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
        perCall.push_back(spent.count() / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    HeadlessPlatform sys;
    InstallPlatform(&sys);
    SetTable();
    if (static_cast<PileStates>(Frmtable().Shape1.borderColor) != PileStates::Frozen) {
        std::fprintf(stderr, "hover_bench: the pile is not frozen\n");
        return 1;
    }

    const double hover = MedianNs(rounds, 2000, [] {
        PicCards_MouseMove(static_cast<i16>(TopDiscard), 0, 0, 500.0F, 700.0F);
    });
    const double layout = MedianNs(rounds, 2000, [] { SortHand(kPlayer); });
    if (HandCount[kPlayer] != 15 || Pic(TopDiscard).mouseIcon == 0) {
        std::fprintf(stderr, "hover_bench: the table is not as set\n");
        return 1;
    }
    std::printf("hover over a frozen pile: %.2f us per event\n", hover / 1000.0);
    std::printf("lay out a hand of 15 cards: %.2f us\n", layout / 1000.0);
    InstallPlatform(nullptr);
    return 0;
}
