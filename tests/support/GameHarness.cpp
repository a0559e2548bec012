#include "support/GameHarness.h"

#include "flow/Handlers.h"
#include "flow/Menus.h"
#include "player/SelfPlay.h"

namespace cardovia::testing {

void GameTest::SetUp() {
    TableTest::SetUp();
    ConnectHandlers();
    sys.answerDialog = [this](const DialogRequest& r) -> i16 {
        if (r.title == "Game Over") {
            if (newGames > 0) {
                --newGames;
                return 0;
            }
            return 1;
        }
        return 0;
    };
    sys.onIdle = [this] {
        CheckTable();
        ++playerWaits;
        const TableForm& f = Frmtable();
        if (f.FramResults.visible && !TableIdle) {
            handTotals.emplace_back(std::stoi(f.PointsTotal[1].caption),
                                    std::stoi(f.PointsTotal[2].caption));
            if (atResults) atResults();
        } else if (beforePlayer && beforePlayer()) {
            return true;
        }
        return SelfPlayStep();
    };
}

void GameTest::PlayFromMenu() {
    MnuNew_Click();
}

void GameTest::CheckTable() const {
    const std::vector<int> valid = {1, 2, 16, 17, 18, 19, 20, 21};
    int at[22] = {};
    for (int i = 1; i <= kDeckSize; ++i) {
        const int where = Cards[i].Location;
        ASSERT_NE(std::find(valid.begin(), valid.end(), where), valid.end()) << i;
        ++at[where];
    }
    if (!(PlayerTurn && MustDraw && !HasDrawn)) return;
    EXPECT_EQ(StockCount, at[Stock]);
    EXPECT_EQ(DiscardCount, at[DiscardPile]);
    EXPECT_EQ(HandCount[1], at[PlayerHand]);
    EXPECT_EQ(HandCount[2], at[OpponentHand]);
    for (int side = 1; side <= 2; ++side) {
        const int where = side == 1 ? PlayerMelds : OpponentMelds;
        for (int r = 1; r <= kMeldRanks; ++r) {
            int n = 0;
            int wild = 0;
            for (int i = 1; i <= kDeckSize; ++i) {
                if (Cards[i].Location == where && Cards[i].MeldRank[side] == r) {
                    ++n;
                    wild += IsWildIndex(i);
                }
            }
            EXPECT_EQ(MeldTable[r].Count[side], n) << "side " << side << " rank " << r;
            EXPECT_EQ(MeldTable[r].WildCount[side], wild) << "side " << side << " rank " << r;
            EXPECT_LE(wild, 3);
        }
    }
}

std::vector<const DialogRequest*> GameTest::DialogsTitled(const std::string& title) const {
    std::vector<const DialogRequest*> found;
    for (const DialogRequest& d : sys.dialogs) {
        if (d.title == title) found.push_back(&d);
    }
    return found;
}

}  // namespace cardovia::testing
