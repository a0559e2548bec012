#include "flow/ClearTable.h"
#include "flow/GameLoop.h"
#include "flow/Leaving.h"
#include "flow/Menus.h"
#include "model/PlayerFile.h"
#include "rules/DiscardPile.h"
#include "deck/Stock.h"
#include "support/GameHarness.h"

#include <fstream>
#include <sstream>

namespace cardovia::testing {
namespace {

class WholeGame : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(WholeGame, IsPlayedToGameOverWithEveryCardAccountedFor) {
    sys.Seed(static_cast<std::uint64_t>(GetParam()));
    PlayFromMenu();
    ASSERT_TRUE(sys.errors.empty()) << sys.errors[0].second;
    const auto over = DialogsTitled("Game Over");
    ASSERT_EQ(over.size(), 1u);
    EXPECT_GE(handTotals.size(), 1u);
    int mine = 0;
    int his = 0;
    for (const auto& [p, o] : handTotals) {
        mine += p;
        his += o;
    }
    EXPECT_EQ(GameScore[1], mine);
    EXPECT_EQ(GameScore[2], his);
    EXPECT_TRUE(mine >= TargetScore || his >= TargetScore);
    const std::string totals = "with a total score of  " + std::to_string(mine) +
                               " against Thaddock's score of  " + std::to_string(his) +
                               " Statistics saved. Click 'New Game' or 'Exit'";
    EXPECT_NE(over[0]->message.find(totals), std::string::npos) << over[0]->message;
    EXPECT_EQ(GamesWon + GamesLost, 1);
    EXPECT_EQ(GamesWon == 1, mine > his);
    EXPECT_TRUE(sys.quitRequested);
    EXPECT_FALSE(GameRunning());
}

INSTANTIATE_TEST_SUITE_P(Seeds, WholeGame, ::testing::Range(1, 13));

class GameEnd : public GameTest {
  protected:
    // Plays hands, setting the game totals to each pair in turn as a hand is scored.
    void PlayWithTotals(std::vector<std::pair<int, int>> totals) {
        atResults = [this, totals, n = std::size_t{0}]() mutable {
            if (n < totals.size()) {
                GameScore[1] = static_cast<i16>(totals[n].first);
                GameScore[2] = static_cast<i16>(totals[n].second);
                ++n;
            }
        };
        PlayFromMenu();
    }
};

TEST_F(GameEnd, EqualTotalsOverTheTargetArePlayedOn) {
    PlayWithTotals({{5100, 5100}, {5000, 5000}});
    const auto drawn = DialogsTitled("Game Drawn");
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0]->message,
              "You have both scored over 5,000 but your scores are equal, so we will play another "
              "hand");
    EXPECT_EQ(drawn[0]->caption0, "O.K");
    EXPECT_EQ(drawn[0]->picture, 1);
    EXPECT_EQ(handTotals.size(), 2u);
    // 5000 against 5000 is no draw: the player has lost.
    const auto over = DialogsTitled("Game Over");
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0]->message,
              "Oh Dear, Player you lost this game with a total score of  5000 against Thaddock's "
              "score of  5000 Statistics saved. Click 'New Game' or 'Exit'");
    EXPECT_EQ(over[0]->caption0, "New Game");
    EXPECT_EQ(over[0]->caption1, "Exit");
    EXPECT_EQ(GamesLost, 1);
    EXPECT_EQ(sys.sounds.back(), (dir / "Uhho.wav").string());
}

TEST_F(GameEnd, ReachingTheTargetExactlyEndsTheGame) {
    SpeedDelay = 75;
    PlayWithTotals({{5000, 120}});
    const auto over = DialogsTitled("Game Over");
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0]->message.rfind("Well done, Player you won this game", 0), 0u);
    EXPECT_EQ(GamesWon, 1);
    EXPECT_NE(std::find(sys.sounds.begin(), sys.sounds.end(), (dir / "win.wav").string()),
              sys.sounds.end());
    // The statistics and the finished game's totals are in the file.
    EXPECT_EQ(FileText(dir / kPlayerFileName), "\"Player\",75,1,0,5000,120,#FALSE#,5000\r\n");
}

TEST_F(GameEnd, ASideOverTheTargetWithTheOtherBelowEndsIt) {
    PlayWithTotals({{4000, 5200}});
    EXPECT_EQ(GamesLost, 1);
    ResetModel();
    sys.dialogs.clear();
    handTotals.clear();
    PlayWithTotals({{5100, 5200}});  // both over, not equal: a loss
    EXPECT_TRUE(DialogsTitled("Game Drawn").empty());
    EXPECT_EQ(GamesLost, 1);
}

TEST_F(GameEnd, NewGameAtTheEndStartsAFreshGame) {
    newGames = 1;
    PlayWithTotals({{6000, 100}, {100, 6000}});
    EXPECT_EQ(DialogsTitled("Game Over").size(), 2u);
    EXPECT_EQ(GamesWon, 1);
    EXPECT_EQ(GamesLost, 1);
}

TEST_F(GameTest, TheOpponentWhoDrawsTheLastStockCardStillPlaysAndTheHandEnds) {
    bool arranged = false;
    int turnsAfter = -1;
    beforePlayer = [&] {
        if (!arranged && PlayerTurn && MustDraw && !HasDrawn) {
            arranged = true;
            // Only three cards stay in the stock: two for the player, one for Thaddock.
            int keep = 3;
            for (int i = kDeckSize; i >= 1; --i) {
                if (Cards[i].Location != Stock) continue;
                if (keep > 0) {
                    --keep;
                } else {
                    Cards[i].Location = DiscardPile;
                }
            }
            StackStock();
            ShuffleDiscard();
            turnsAfter = 0;
        } else if (arranged && PlayerTurn && MustDraw && turnsAfter >= 0) {
            ++turnsAfter;
        }
        return false;
    };
    atResults = [&] {
        if (turnsAfter >= 0) {
            EXPECT_EQ(StockCount, 0);
            EXPECT_EQ(turnsAfter, 0);  // no turn of the player's after Thaddock's last draw
            turnsAfter = -1;
        }
    };
    PlayFromMenu();
    EXPECT_TRUE(arranged);
}

TEST_F(GameTest, StartingANewGameDuringAGameGivesItUpWithoutNesting) {
    int restarts = 0;
    int handsScored = 0;
    beforePlayer = [&] {
        if (restarts < 30 && PlayerTurn && MustDraw) {
            ++restarts;
            const bool before = GameRunning();
            MnuNew_Click();  // "Really start new game?" is answered "New Game"
            // It returned at once: the new game did not run inside this one.
            EXPECT_TRUE(before);
            EXPECT_TRUE(GameAbandoned);
            EXPECT_EQ(GameScore[1], 0);
            return true;
        }
        return false;
    };
    atResults = [&] { ++handsScored; };
    PlayFromMenu();
    EXPECT_EQ(restarts, 30);
    EXPECT_EQ(DialogsTitled("Really start new game?").size(), 30u);
    const auto over = DialogsTitled("Game Over");
    EXPECT_EQ(over.size(), 1u);  // only the last game ran to its end
    EXPECT_EQ(GamesWon + GamesLost, 1);
    EXPECT_EQ(static_cast<int>(handTotals.size()), handsScored);
}

TEST_F(GameTest, NoCancelLeavesTheRunningGameExactlyAsItWas) {
    bool asked = false;
    beforePlayer = [&] {
        if (asked || !(PlayerTurn && MustDraw)) return false;
        asked = true;
        sys.answerDialog = [](const DialogRequest& r) -> i16 {
            return r.title == "Really start new game?" || r.title == "Game Over" ? 1 : 0;
        };
        const auto cards = Cards;
        const auto scores = GameScore;
        MnuNew_Click();
        EXPECT_FALSE(GameAbandoned);
        for (int i = 1; i <= kDeckSize; ++i) EXPECT_EQ(Cards[i].Location, cards[i].Location);
        EXPECT_EQ(GameScore, scores);
        return false;
    };
    PlayFromMenu();
    EXPECT_TRUE(asked);
    EXPECT_EQ(DialogsTitled("Game Over").size(), 1u);
}

class Leaving : public GameTest {};

TEST_F(Leaving, WithNoGameTheProgramEndsAtOnceAndSaves) {
    MnuExit_Click();
    EXPECT_TRUE(sys.dialogs.empty());
    EXPECT_TRUE(sys.quitRequested);
    EXPECT_TRUE(std::filesystem::exists(dir / kPlayerFileName));
}

TEST_F(Leaving, DuringAGameItAsksAndNoCancelStays) {
    GameInProgress = true;
    sys.dialogAnswers = {1};
    sys.answerDialog = nullptr;
    LetsExit();
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].title, "Quit without saving?");
    EXPECT_EQ(sys.dialogs[0].message,
              "Player you are in the middle of a game, are you sure you wish to exit?.");
    EXPECT_EQ(sys.dialogs[0].caption0, "Yes-Exit");
    EXPECT_EQ(sys.dialogs[0].caption1, "No Cancel");
    EXPECT_EQ(sys.dialogs[0].picture, 3);
    EXPECT_FALSE(sys.quitRequested);
    EXPECT_FALSE(std::filesystem::exists(dir / kPlayerFileName));
    sys.dialogAnswers = {0};
    GameScore[1] = 1200;
    LetsExit();
    EXPECT_TRUE(sys.quitRequested);
    EXPECT_EQ(FileText(dir / kPlayerFileName), "\"Player\",150,0,0,1200,0,#FALSE#,5000\r\n");
}

TEST_F(Leaving, TheCloseBoxAsksFirstAndEitherNoKeepsTheWindow) {
    sys.answerDialog = nullptr;
    GameInProgress = true;
    sys.dialogAnswers = {1};  // "Carry On"
    EXPECT_FALSE(Form_QueryUnload());
    EXPECT_EQ(sys.dialogs[0].title, "Really Exit?");
    EXPECT_EQ(sys.dialogs[0].message, "Player do you really wish to exit?");
    EXPECT_EQ(sys.dialogs[0].caption0, "Yes Exit");
    EXPECT_EQ(sys.dialogs[0].caption1, "Carry On");
    EXPECT_EQ(sys.dialogs[0].picture, 2);
    sys.dialogAnswers = {0, 1};  // "Yes Exit", then "No Cancel"
    EXPECT_FALSE(Form_QueryUnload());
    EXPECT_EQ(sys.dialogs.back().title, "Quit without saving?");
    EXPECT_FALSE(sys.quitRequested);
    sys.dialogAnswers = {0, 0};
    EXPECT_TRUE(Form_QueryUnload());
    EXPECT_TRUE(sys.quitRequested);
}

TEST_F(TableTest, ClearingTheTableStartsEveryHandFromTheSameState) {
    AllInStock();
    for (int i = 1; i <= 30; ++i) Place(i, i % 2 ? PlayerHand : OpponentMelds);
    Cards[3].Rank = 13;
    Cards[7].FromDiscard = Cards[8].MeldedFromHand = true;
    TopDiscard = 50;
    DiscardCount = 3;
    MeldTable[13].Count[2] = 5;
    MeldTable[13].Melded[2] = true;
    HasCanasta[1] = true;
    MeldOpened[2] = true;
    TakeBackPenalty = 50;
    PileState = PileStates::Blocked;
    Frmtable().lblMelds[13].visible = true;
    Frmtable().lblMelds[13].backColor = kOrange;
    Frmtable().lblMelds[13].caption = " Pure Canasta 7 Wild:-0";
    GameScore[1] = 900;
    GameInProgress = true;
    TargetScore = 3000;

    ClearIt();

    for (int i = 1; i <= kDeckSize; ++i) {
        EXPECT_EQ(Cards[i].Location, Stock);
        EXPECT_EQ(Pic(i).image, CardBackImage());
        EXPECT_FALSE(Cards[i].FromDiscard || Cards[i].MeldedFromHand);
    }
    EXPECT_EQ(Cards[3].Rank, kJoker);
    EXPECT_EQ(StockCount, 108);
    EXPECT_EQ(DiscardCount, 0);
    EXPECT_EQ(TopDiscard, 0);
    EXPECT_EQ(HandCount[1], 15);
    EXPECT_EQ(HandCount[2], 15);
    EXPECT_EQ(MeldTable[13].Count[2], 0);
    EXPECT_FALSE(MeldTable[13].Melded[2]);
    EXPECT_FALSE(HasCanasta[1]);
    EXPECT_FALSE(MeldOpened[2]);
    EXPECT_EQ(TakeBackPenalty, 0);
    EXPECT_EQ(PileState, PileStates::Open);
    EXPECT_EQ(Frmtable().Shape1.borderColor, 0x00FF00u);
    EXPECT_FALSE(Frmtable().lblMelds[13].visible);
    EXPECT_EQ(Frmtable().lblMelds[13].caption, "");
    EXPECT_EQ(Frmtable().lblMelds[13].backColor, kPaleGreen);
    EXPECT_EQ(Frmtable().Caption, "Cardovia - Target Score is 3000");
    EXPECT_EQ(Frmtable().LblStock.caption, "");
    EXPECT_EQ(GameScore[1], 900);  // a running game keeps its totals
    GameInProgress = false;
    ClearIt();
    EXPECT_EQ(GameScore[1], 0);
}

}  // namespace
}  // namespace cardovia::testing
