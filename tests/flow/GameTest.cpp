// Whole games from the menu with the self-playing player, and what frames a
// game: starting another, clearing the table, start-up.

#include "deck/Stock.h"
#include "flow/GameLoop.h"
#include "flow/Menus.h"
#include "model/GameRecord.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/DiscardPile.h"
#include "support/TableTest.h"
#include "ui/Pacing.h"

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
    for (int seed = 1; seed <= 4; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        LearningMode = seed == 3;
        SpeedDelay = DelayMs = seed == 2 ? kFastSpeed : kMediumSpeed;
        long turns = 0;
        std::size_t seen = 0;
        // From seed 4 on a hurried player also presses cards at random, chooses and joins wild
        // cards, takes back and is refused, before the sensible move.
        std::mt19937 rng(static_cast<unsigned>(seed));
        int tries = 0;
        beforePlayer = [&] {
            const bool starts = PlayerTurn && MustDraw && !HasDrawn;
            turns += starts;
            tries = starts ? 0 : tries + 1;
            if (seed < 4 || !PlayerTurn || tries > 8 || rng() % 3 == 0) return false;
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
               (seed >= 4 ? ", a hurried player" : "") + "\n";
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

TEST_F(GameTest, TheGameEndsOnceASideReachesTheTargetUnlessBothPassItEqually) {
    // The totals each scored hand is given, and whether the first "Game Over" asks for a new game.
    const std::pair<std::vector<std::pair<int, int>>, bool> cases[] = {
        {{{5100, 5100}, {5000, 5000}}, false},
        {{{5000, 120}}, false},
        {{{4000, 5200}}, false},
        {{{5100, 5200}}, false},
        {{{6000, 100}, {100, 6000}}, true}};
    std::string out;
    for (const auto& [totals, again] : cases) {
        NewTable();
        // The game's line is in the history, on the disk, before "Game Over" is asked.
        sys.answerDialog = [&, again = again](const DialogRequest& r) mutable -> i16 {
            if (r.title == "Game Over") out += "at Game Over " + FileText(dir / kHistoryFileName);
            return r.title == "Game Over" && !std::exchange(again, false);
        };
        atResults = [&, &totals = totals, n = std::size_t{0}]() mutable {
            if (again && n == 1) out += "the first game saved " + FileText(dir / kPlayerFileName);
            if (n == totals.size()) return;
            GameScore = {0, static_cast<i16>(totals[n].first), static_cast<i16>(totals[n].second)};
            ++n;
        };
        PlayFromMenu();
        out += std::to_string(handTotals.size()) + " hands, won " + std::to_string(GamesWon) +
               " lost " + std::to_string(GamesLost) + ", " +
               sys.sounds.back().substr(dir.string().size() + 1) + ", file " +
               FileText(dir / kPlayerFileName);
        for (const DialogRequest& d : sys.dialogs) {
            if (d.title.rfind("Game ", 0) == 0) out += d.title + ": " + d.message + "\n";
        }
        std::filesystem::remove(dir / kHistoryFileName);
    }
    ExpectGolden("game-end", out);
}

TEST_F(GameTest, ANewGameDuringAGameGivesItUpAtOnceWithoutNesting) {
    int restarts = 0;
    beforePlayer = [&] {
        if (!(PlayerTurn && MustDraw)) return false;
        if (restarts == 0 && !GameAbandoned) {
            const auto answer = std::exchange(
                sys.answerDialog, [](const DialogRequest&) -> i16 { return 1; });  // "No Cancel"
            MnuNew_Click();
            sys.answerDialog = answer;
            EXPECT_FALSE(GameAbandoned);
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

TEST_F(GameTest, AQuietGameJoinsADamagedHistoryAndOneThatCannotBeWrittenStopsNothing) {
    // A valid game, a damaged line and one cut short by a crash: they stay, the new line follows.
    const auto path = dir / kHistoryFileName;
    std::ofstream(path, std::ios::binary)
        << kHistoryHeader << "\n2026-11-30 21:15,5030,4100,5000,won,7"
        << "\r\ngarbage,line\n2026-12-0";
    sys.Seed(5);
    SoundOn = false;
    PlayFromMenu();
    EXPECT_EQ(sys.sounds.size() + static_cast<std::size_t>(sys.beeps), 0u);
    const HistoryFile history = ReadHistory(path.string());
    ASSERT_EQ(history.games.size(), 2u);
    EXPECT_EQ(history.damaged, 2);
    EXPECT_EQ(HistoryLine(history.games[1]).substr(0, 17), "2026-12-07 20:00,");
    EXPECT_EQ(history.games[1].hands, static_cast<int>(handTotals.size()));
    // The chart's game totals add up the results panel's hand totals, hand by hand.
    std::vector<std::pair<int, int>> charted, summed;
    for (const HandTotals& t : GameTotals) charted.emplace_back(t.player, t.thaddock);
    for (const auto& [mine, his] : handTotals) {
        const auto last = summed.empty() ? std::pair(0, 0) : summed.back();
        summed.emplace_back(last.first + mine, last.second + his);
    }
    EXPECT_EQ(charted, summed);
    EXPECT_NE(FileText(path).find("garbage,line\n2026-12-0\n2026-12-07"), std::string::npos);
    // Where the history cannot be written: one error report naming it, the game counted
    // nowhere so that the files agree, the box saying so, and the game ends as ever.
    NewTable();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    PlayFromMenu();
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_NE(sys.errors[0].second.find("Could not add to " + path.string() + ": it is a folder"),
              std::string::npos);
    EXPECT_EQ(GamesWon + GamesLost, 0);
    ASSERT_EQ(DialogsTitled("Game Over").size(), 1u);
    EXPECT_NE(DialogsTitled("Game Over")[0]->message.find(" Statistics could not be saved. "),
              std::string::npos);
    EXPECT_TRUE(sys.quitRequested);
}

TEST_F(TableTest, StartingLeavingAndClearingTheTable) {
    std::ofstream(dir / kPlayerFileName) << "\"Jo, M\",300,4,2,1200,800,#TRUE#,2500\r\n";
    std::string out = "== start-up with a player file\n" + Play("Form_Load");
    out += PlayAll({
        {"leaving with no game", "MnuExit"},
        {"the close box in a game: Carry On, Yes Exit then No Cancel, then Yes twice",
         "ingame game1=1200 answers=1,0,1,0,0 QueryUnload QueryUnload QueryUnload"},
        {"clearing a table in the middle of a game",
         "ingame game1=900 h1=Xa,Qa-Qc m2K=Ka-Kg open2 p=4a,9a,Xb DiscardFrozen:1 turn drawn "
         "open1 L:Qa L:Qb L:Qc L:Xa ClearIt"},
        {"clearing the table of a finished game", "game1=900 game2=40 ClearIt"},
    });
    ExpectGolden("table-frame", out);
}

}  // namespace
}  // namespace cardovia::testing
