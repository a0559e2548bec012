// The hand kept on disk: written at every wait for the player, read back into
// a fresh table exactly, and a game taken up from it plays on as the game it
// was kept from; a Hand.dat that does not read is set aside, never lost.

#include "flow/GameLoop.h"
#include "flow/KeptHand.h"
#include "flow/Menus.h"
#include "model/HandFile.h"
#include "model/Settings.h"
#include "ui/Pacing.h"
#include "support/TableTest.h"

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <random>

namespace cardovia::testing {
namespace {

using KeptHandTest = GameTest;

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Spit(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST_F(KeptHandTest, AGameTakenUpFromAnyKeptHandPlaysOnAsTheGameItWasKeptFrom) {
    for (int seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        // The game played through once, as the reference.
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        PlayFromMenu();
        const auto whole = handTotals;
        const PerSide finalScore = GameScore;
        FlushKeptHand();
        ASSERT_FALSE(std::filesystem::exists(dir / kHandFileName)) << "a finished game leaves it";

        // Again, and at one wait for the player picked at random, the hand kept
        // then and everything the game will draw from there on.
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        std::mt19937 pick(static_cast<unsigned>(seed));
        int waits = 0, at = 20 + static_cast<int>(pick() % 60);
        std::string kept;
        TableState keptTable;
        HeadlessPlatform keptSys;
        std::size_t handsBefore = 0;
        int checked = 0;
        beforePlayer = [&] {
            // Every wait for the player has the table on disk, whole and exact.
            FlushKeptHand();
            const KeptHandRead read = ParseKeptHand(Slurp(dir / kHandFileName));
            EXPECT_TRUE(read.hand && read.hand->table == TheTable) << read.fault;
            ++checked;
            if (++waits == at) {
                kept = Slurp(dir / kHandFileName);
                keptTable = TheTable;
                keptSys = sys;
                handsBefore = handTotals.size();
            }
            return false;
        };
        PlayFromMenu();
        ASSERT_FALSE(kept.empty()) << "the game had fewer waits than " << at;
        EXPECT_GT(checked, 20);

        // A fresh program finds the kept hand and goes on from it.
        NewTable();
        Spit(dir / kHandFileName, kept);
        sys = keptSys;
        bool first = true;
        beforePlayer = [&] {
            if (std::exchange(first, false)) {
                EXPECT_TRUE(TheTable == keptTable);
            }
            return false;
        };
        // Whatever hands were scored before the kept one are not played again.
        handTotals.assign(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(handsBefore));
        MnuLoad_Click();
        EXPECT_FALSE(first) << "the kept hand was not taken up";
        EXPECT_EQ(handTotals, whole);
        EXPECT_EQ(GameScore, finalScore);
    }
}

TEST_F(KeptHandTest, ClicksWhileAKeptHandIsLaidOutAgainAreHeldBack) {
    // Hands kept before the draw and after it, each with red threes laid or not.
    sys.Seed(5);
    std::vector<std::pair<std::string, TableState>> kept;
    HeadlessPlatform keptSys;
    beforePlayer = [&] {
        FlushKeptHand();
        if (kept.size() < 6 && (kept.empty() || kept.back().second.MustDraw != MustDraw)) {
            kept.emplace_back(Slurp(dir / kHandFileName), TheTable);
            if (kept.size() == 1) keptSys = sys;
        }
        return false;
    };
    PlayFromMenu();
    ASSERT_GE(kept.size(), 4u);
    for (const auto& [text, table] : kept) {
        SCOPED_TRACE(table.MustDraw ? "before the draw" : "after the draw");
        NewTable();
        Spit(dir / kHandFileName, text);
        sys = keptSys;
        // A hurried player clicks the stock and every card of the hand in each
        // pause of the layout, before the turn is the player's again.
        int clicks = 0;
        bool laidOut = false;
        sys.onWait = [&] {
            if (laidOut || !Pausing()) return;
            for (int i = 1; i <= kDeckSize; ++i) {
                if (Cards[i].Location == PlayerHand || Cards[i].Location == Stock) {
                    Run("L:" + CardName(i));
                    ++clicks;
                }
            }
        };
        beforePlayer = [&] {
            if (!std::exchange(laidOut, true)) {
                EXPECT_TRUE(TheTable == table);
            }
            return ProgramEnding = GameAbandoned = true, false;
        };
        MnuLoad_Click();
        EXPECT_TRUE(laidOut);
        EXPECT_GT(clicks, 0) << "the layout made no pause to click in";
    }
}

TEST_F(KeptHandTest, AHandDatThatDoesNotReadIsSetAsideAndTheGameStartsAsToday) {
    // A kept hand to spoil: the first wait of a seeded game.
    sys.Seed(7);
    std::string good;
    beforePlayer = [&] {
        if (good.empty()) FlushKeptHand(), good = Slurp(dir / kHandFileName);
        return false;
    };
    PlayFromMenu();
    ASSERT_FALSE(good.empty());
    // Changed and sealed again, so the table itself is found wanting, not the checksum.
    const std::string body = good.substr(0, good.rfind("sum "));
    auto line = [&](const std::string& name) {
        const auto at = body.find("\n" + name + " ") + 1;
        return std::pair(at, body.find('\n', at) + 1 - at);
    };
    auto replaced = [&](const std::string& name, const std::string& with) {
        const auto [at, size] = line(name);
        return SealKeptHand(std::string(body).replace(at, size, with));
    };
    const std::string card5 = body.substr(line("card5").first, line("card5").second);
    const struct {
        const char* what;
        std::string text;
        const char* fault;
    } cases[] = {
        {"cut short", good.substr(0, good.size() / 2), "cut short"},
        {"another version", "Cardovia hand 9" + good.substr(good.find('\n')), "version"},
        {"a byte changed", good.substr(0, 40) + "x" + good.substr(41), "checksum"},
        {"a card in two places", replaced("card6", card5), "expected card6"},
        {"107 cards", replaced("card108", ""), "expected card108"},
        {"a count that does not agree", replaced("StockCount", "StockCount 99\n"), "count"},
        {"a card that is not the deck's", replaced("card5", "card5 50 16 0 0 2 0 0 0\n"),
         "not the deck's"},
        {"NUL bytes", std::string(300, '\0'), "cut short"},
        {"empty", "", "cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const KeptHandRead read = ParseKeptHand(c.text);
        EXPECT_FALSE(read.hand.has_value());
        EXPECT_NE(read.fault.find(c.fault), std::string::npos) << read.fault;
        NewTable();
        Spit(dir / kHandFileName, c.text);
        sys.answerDialog = [](const DialogRequest& r) -> i16 { return r.title == "Game Over"; };
        beforePlayer = [] { return ProgramEnding = GameAbandoned = true, false; };
        MnuLoad_Click();
        EXPECT_EQ(Slurp(dir / (std::string(kHandFileName) + ".bad")), c.text) << "kept aside whole";
        const auto told = DialogsTitled("Kept hand not read");
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0]->message.find((dir / kHandFileName).string()), std::string::npos);
        EXPECT_EQ(DialogsTitled("No unfinished game to load").size(), 1u)
            << "Load Game goes on as it does with no kept hand";
    }
    // What stands in Hand.dat's place and is no file: never followed, never waited on.
    const auto outside = dir / "outside.txt";
    const std::vector<std::pair<const char*, std::function<void(const std::filesystem::path&)>>>
        planted = {
            {"a link to a kept hand", [&](const auto& p) {
                 Spit(outside, good);
                 std::filesystem::create_symlink(outside, p);
             }},
            {"a named pipe", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
            {"a folder", [](const auto& p) { std::filesystem::create_directory(p); }},
        };
    for (const auto& [what, plant] : planted) {
        SCOPED_TRACE(what);
        NewTable();
        plant(dir / kHandFileName);
        beforePlayer = [] { return ProgramEnding = GameAbandoned = true, false; };
        MnuLoad_Click();
        EXPECT_EQ(DialogsTitled("Kept hand not read").size(), 1u);
        EXPECT_EQ(DialogsTitled("No unfinished game to load").size(), 1u);
        // Set aside as it is (the link itself, the pipe, the folder); the new game keeps its own.
        FlushKeptHand();
        const auto aside = std::filesystem::symlink_status(dir / "Hand.dat.bad").type();
        EXPECT_NE(aside, std::filesystem::file_type::not_found);
        EXPECT_NE(aside, std::filesystem::file_type::regular);
        if (std::filesystem::exists(outside)) {
            EXPECT_EQ(Slurp(outside), good) << "never touched";
        }
    }
}

}  // namespace
}  // namespace cardovia::testing
