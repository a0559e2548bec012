// Whole games from the menu with the self-playing player, and what frames a
// game: its end, starting another, leaving, clearing the table, start-up.

#include "deck/Stock.h"
#include "flow/GameLoop.h"
#include "flow/Leaving.h"
#include "flow/Menus.h"
#include "flow/Pacing.h"
#include "model/PlayerFile.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/DiscardPile.h"
#include "support/TableTest.h"

#include <fstream>
#include <random>

namespace cardovia::testing {
namespace {

// One line a hand: each side's results-panel row, then how the hand went.
std::string HandLine(int hand, long turns, const HeadlessPlatform& sys, std::size_t& seen) {
    const TableForm& f = Frmtable();
    std::string line = "hand " + std::to_string(hand) + ":";
    for (int side : {kPlayer, kOpponent}) {
        for (const auto* row : {&f.PointsTotal, &f.CardPoints, &f.RThreesPoints, &f.MixedCans,
                                &f.PureCans, &f.OutFirst, &f.MinusPoints, &f.GamePoints}) {
            line += " " + (*row)[side].caption;
        }
        line += side == kPlayer ? " |" : "";
    }
    int learning = 0;
    for (std::size_t k = seen; k < sys.dialogs.size(); ++k) {
        learning += sys.dialogs[k].title == "Learning Message";
    }
    const int dialogs = static_cast<int>(sys.dialogs.size() - seen) - learning;
    seen = sys.dialogs.size();
    return line + " | " + std::to_string(turns) + " turns, " + std::to_string(sys.now) + " ms, " +
           std::to_string(sys.sounds.size()) + " sounds, " + std::to_string(sys.beeps) +
           " beeps, " + std::to_string(learning) + " explained, " + std::to_string(dialogs) +
           " dialogs\n";
}

TEST_F(GameTest, SeededGamesArePlayedToTheEndHandByHand) {
    std::string out;
    for (int seed = 1; seed <= 6; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        LearningMode = seed == 4;
        SpeedDelay = DelayMs = seed == 3 ? kFastSpeed : kMediumSpeed;
        long turns = 0;
        std::size_t seen = 0;
        // From seed 5 on a hurried player also presses cards at random, chooses and joins wild
        // cards, takes back and is refused, before the sensible move.
        std::mt19937 rng(static_cast<unsigned>(seed));
        int tries = 0;
        beforePlayer = [&] {
            const bool starts = PlayerTurn && MustDraw && !HasDrawn;
            turns += starts;
            tries = starts ? 0 : tries + 1;
            if (seed < 5 || !PlayerTurn || tries > 8 || rng() % 3 == 0) return false;
            std::vector<int> cards = {TopDiscard};
            for (int i = 1; i <= kDeckSize; ++i) {
                const int where = Cards[i].Location;
                if (where == PlayerHand || where == PlayerMelds ||
                    (where == Stock && rng() % 40 == 0))
                    cards.push_back(i);
            }
            const auto card = static_cast<i16>(cards[rng() % cards.size()]);
            const int how = static_cast<int>(rng() % 10);
            if (how == 0) return MnuTakeBack_Click(), true;
            PicCards_MouseDown(card, how < 6 ? kLeftButton : kRightButton, 0, 0, 0);
            if (how != 1) PicCards_MouseUp(card, how < 6 ? kLeftButton : kRightButton, 0, 0, 0);
            return true;
        };
        atResults = [&] { out += HandLine(static_cast<int>(handTotals.size()), turns, sys, seen); };
        out += "== seed " + std::to_string(seed) + (LearningMode ? ", Learning Mode" : "") +
               (seed >= 5 ? ", a hurried player" : "") + "\n";
        PlayFromMenu();
        const auto over = DialogsTitled("Game Over");
        out += over.size() == 1 ? over[0]->message + "\n" : "no single Game Over\n";
        out += "file " + FileText(dir / kPlayerFileName);
        for (const auto& [title, text] : sys.errors) out += "error " + text + "\n";
        EXPECT_TRUE(sys.quitRequested);
        EXPECT_FALSE(GameRunning());
    }
    ExpectGolden("whole-games", out);
}

class GameEnd : public GameTest {
  protected:
    // Plays hands, setting the game totals to each pair in turn as a hand is
    // scored, and tells how the game ended.
    std::string PlayWithTotals(std::vector<std::pair<int, int>> totals) {
        NewTable();
        atResults = [totals, n = std::size_t{0}]() mutable {
            if (n == totals.size()) return;
            GameScore[1] = static_cast<i16>(totals[n].first);
            GameScore[2] = static_cast<i16>(totals[n].second);
            ++n;
        };
        PlayFromMenu();
        std::string out = std::to_string(handTotals.size()) + " hands, won " +
                          std::to_string(GamesWon) + " lost " + std::to_string(GamesLost) +
                          ", last sound " +
                          std::filesystem::path(sys.sounds.back()).filename().string() + ", file " +
                          FileText(dir / kPlayerFileName);
        for (const char* title : {"Game Drawn", "Game Over"}) {
            for (const DialogRequest* d : DialogsTitled(title)) {
                out += std::string(title) + ": " + d->message + " [" + d->caption0 + "|" +
                       d->caption1 + "] " + std::to_string(d->picture) + "\n";
            }
        }
        return out;
    }
};

TEST_F(GameEnd, TheGameEndsOnceASideReachesTheTargetUnlessBothPassItEqually) {
    std::string out =
        "== equal over the target, then 5000 each\n" + PlayWithTotals({{5100, 5100}, {5000, 5000}});
    out += "== the target reached exactly, at the quick speed\n";
    SpeedDelay = kFastSpeed;
    out += PlayWithTotals({{5000, 120}});
    out += "== one side over, the other below\n" + PlayWithTotals({{4000, 5200}});
    out += "== both over, not equal\n" + PlayWithTotals({{5100, 5200}});
    newGames = 1;
    out +=
        "== New Game at the end starts a fresh game\n" + PlayWithTotals({{6000, 100}, {100, 6000}});
    ExpectGolden("game-end", out);
}

TEST_F(GameTest, TheOpponentWhoDrawsTheLastStockCardEndsTheHandBeforeThePlayersTurn) {
    int turnsAfter = -1;
    beforePlayer = [&] {
        if (turnsAfter < 0 && PlayerTurn && MustDraw && !HasDrawn) {
            // Only three cards stay in the stock: two for the player, one for Thaddock.
            int keep = 3;
            for (int i = kDeckSize; i >= 1; --i) {
                if (Cards[i].Location == Stock && keep-- <= 0) Cards[i].Location = DiscardPile;
            }
            StackStock();
            ShuffleDiscard();
            turnsAfter = 0;
        } else if (turnsAfter >= 0 && PlayerTurn && MustDraw) {
            ++turnsAfter;
        }
        return false;
    };
    atResults = [&] {
        if (turnsAfter < 0) return;
        EXPECT_EQ(StockCount, 0);
        EXPECT_EQ(turnsAfter, 0);
        turnsAfter = -2;
    };
    PlayFromMenu();
    EXPECT_EQ(turnsAfter, -2);
}

TEST_F(GameTest, ANewGameDuringAGameGivesItUpAtOnceWithoutNesting) {
    int restarts = 0;
    bool cancelled = false;
    beforePlayer = [&] {
        if (!(PlayerTurn && MustDraw)) return false;
        if (!cancelled) {
            // "No Cancel" leaves the running game exactly as it was.
            cancelled = true;
            sys.answerDialog = [](const DialogRequest& r) -> i16 {
                return r.title == "Really start new game?";
            };
            const auto cards = Cards;
            const auto scores = GameScore;
            MnuNew_Click();
            EXPECT_FALSE(GameAbandoned);
            for (int i = 1; i <= kDeckSize; ++i) EXPECT_EQ(Cards[i].Location, cards[i].Location);
            EXPECT_EQ(GameScore, scores);
            sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
            return false;
        }
        if (restarts == 30) return false;
        ++restarts;
        MnuNew_Click();  // answered "New Game": it returns at once, the new game not yet begun
        EXPECT_TRUE(GameRunning());
        EXPECT_TRUE(GameAbandoned);
        EXPECT_EQ(GameScore[1], 0);
        return true;
    };
    PlayFromMenu();
    EXPECT_EQ(DialogsTitled("Really start new game?").size(), 31u);
    EXPECT_EQ(DialogsTitled("Game Over").size(), 1u);  // only the last game ran to its end
    EXPECT_EQ(GamesWon + GamesLost, 1);
}

TEST_F(GameTest, AfterTheHandIsScoredAClickOnTheStockDrawsNothing) {
    // Take Back at the start of every turn leaves the turn owing a draw though
    // the player may discard; Thaddock then ends the hand.
    beforePlayer = [] {
        if (MustDraw && !HasDrawn) MnuTakeBack_Click();
        return false;
    };
    int tried = 0;
    atResults = [&] {
        for (int top = kDeckSize; top >= 1; --top) {
            if (Cards[top].Location != Stock) continue;
            ++tried;
            PicCards_MouseDown(static_cast<i16>(top), kLeftButton, 0, 0, 0);
            EXPECT_EQ(Cards[top].Location, Stock);
            return;
        }
    };
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        sys.Seed(seed);
        PlayFromMenu();
        FreshTable();
    }
    EXPECT_GT(tried, 0) << "no hand ended with cards left in the stock";
    EXPECT_TRUE(sys.errors.empty());
}

TEST_F(TableTest, StartingLeavingAndClearingTheTable) {
    std::string out = "== start-up with no player file\n" + Play("Form_Load");
    FreshTable();
    std::ofstream(dir / kPlayerFileName) << "\"Jo, M\",300,4,2,1200,800,#TRUE#,2500\r\n";
    out += "== start-up with a player file\n" + Play("Form_Load");
    out += PlayAll({
        {"leaving with no game", "LetsExit"},
        {"leaving a game: No Cancel stays, Yes-Exit goes",
         "ingame game1=1200 answers=1,0 LetsExit dump LetsExit"},
        {"the close box: Carry On, then Yes Exit and No Cancel, then Yes twice",
         "ingame answers=1,0,1,0,0 QueryUnload QueryUnload QueryUnload"},
        {"clearing a table in the middle of a game",
         "ingame game1=900 h1=Xa,Xc,2b m2K=Ka,Kb,Kc,Kd,Ke canasta1 open2 p=4a,9a,Xb drawn "
         "L:Xa ClearIt"},
        {"clearing the table of a finished game", "game1=900 game2=40 ClearIt"},
    });
    ExpectGolden("table-frame", out);
}

TEST_F(TableTest, APauseLastsDelayMsAndAHandlerMayChangeItWhileItRuns) {
    DelayMs = 500;
    sys.now = 1000;
    Pause();
    EXPECT_EQ(sys.now, 1500);
    EXPECT_EQ(DelayStart, 1000);
    DelayMs = 300;
    sys.onWait = [] { DelayMs = 75; };  // "Play Quickly" chosen during the pause
    Pause();
    EXPECT_EQ(sys.now, 1575);
    DelayMs = 0;
    CardSoundPause();
    EXPECT_EQ(sys.now, 1575);
    EXPECT_EQ(sys.sounds, std::vector<std::string>{(dir / "card.wav").string()});
}

}  // namespace
}  // namespace cardovia::testing
