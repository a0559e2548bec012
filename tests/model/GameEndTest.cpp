// The end of a game in one step: counted in Name.dat, its line in
// History.csv and the finished game's kept hand gone, so that whenever the
// program stops, the next start finds the history holding the game exactly
// when the statistics count it; and a game that cannot be saved is counted
// nowhere and leaves no torn line.

#include "flow/GameRecording.h"
#include "model/GameRecord.h"
#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/SafeFiles.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOldHistory =
    std::string(kHistoryHeader) + "\n2026-12-01 19:05,5120,3880,5000,won,6\n";
const std::string kOldPlayer = "\"Jo\",150,7,5,0,0,#FALSE#,5000\r\n";
const std::string kKeptHand = "the finished game's last hand\n";

// The steps the tests stop or make fail: every step counts; at `stopAt` the
// program stops dead there (a throw that nothing in the files' code catches),
// and steps whose kind and file match a failure fail with its error.
struct Stop {};
struct Failure {
    FileStep step;
    std::string file;  // a part of the file's name
    int error;
};
int stepsTaken = 0;
int stopAt = -1;
std::vector<std::string> steps;  // each step as "Kind file"
std::vector<Failure> failures;

const char* Kind(FileStep step) {
    switch (step) {
        case FileStep::Create:
            return "create";
        case FileStep::Write:
            return "write";
        case FileStep::Sync:
            return "sync";
        case FileStep::Rename:
            return "rename";
        case FileStep::SyncDirectory:
            return "sync-folder";
        case FileStep::Truncate:
            return "cut-back";
        case FileStep::Remove:
            return "remove";
    }
    return "?";
}

int Steps(FileStep step, const std::string& path) {
    std::string name = fs::path(path).filename().string();
    if (IsOurTemporaryName(name)) name = "temporary of " + name.substr(1, name.size() - 12);
    if (step == FileStep::SyncDirectory) name.clear();
    if (stepsTaken++ == stopAt) throw Stop{};
    steps.push_back(std::string(Kind(step)) + (name.empty() ? "" : " " + name));
    for (const Failure& f : failures) {
        if (f.step == step && name.find(f.file) != std::string::npos) return f.error;
    }
    return 0;
}

class GameEndTest : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        SetFileFaultForTests(Steps);
    }
    void TearDown() override {
        SetFileFaultForTests(nullptr);
        Restart();
        TableTest::TearDown();
    }
    void Restart() {
        stepsTaken = 0;
        stopAt = -1;
        steps.clear();
        failures.clear();
    }
    fs::path In(const char* name) const { return dir / name; }
    void LayFiles() const {
        std::ofstream(In(kHistoryFileName), std::ios::binary) << kOldHistory;
        std::ofstream(In(kPlayerFileName), std::ios::binary) << kOldPlayer;
        std::ofstream(In(kHandFileName), std::ios::binary) << kKeptHand;
    }
    // The files as the next start finds them: how many games the history
    // holds, what Name.dat counts, whether the kept hand is there.
    std::string Files() const {
        const HistoryFile history = ReadHistory(In(kHistoryFileName).string());
        const auto record = ParsePlayerLine(FileText(In(kPlayerFileName)));
        std::ostringstream out;
        out << history.games.size() << " games";
        if (history.damaged) out << " and " << history.damaged << " damaged lines";
        out << ", won " << (record ? record->gamesWon : -1) << " lost "
            << (record ? record->gamesLost : -1)
            << (fs::exists(In(kHandFileName)) ? ", hand kept" : ", hand gone");
        return out.str();
    }
    static bool Agree(const std::string& files) {
        return files == "1 games, won 7 lost 5, hand kept" ||
               files == "2 games, won 8 lost 5, hand gone";
    }
    GameEnd Won() const {
        GameEnd end;
        end.game = {"2026-12-07 20:00", 5120, 3880, 5000, true, 6};
        end.record = *ParsePlayerLine(kOldPlayer);
        end.record.gamesWon = 8;
        end.record.playerScore = 5120;
        end.record.opponentScore = 3880;
        end.forgetKeptHand = true;
        return end;
    }
};

TEST_F(GameEndTest, StoppedAtAnyStepTheNextStartFindsTheHistoryAndTheStatisticsAgreeing) {
    // Each step of the game's end, what the files hold when the program stops
    // just before it, and what the next start makes of them.
    std::string out;
    std::vector<std::string> allSteps;
    for (int stop = 0;; ++stop) {
        FreshTable();
        LayFiles();
        Restart();
        stopAt = stop;
        bool stopped = false;
        try {
            const GameEndWritten written = WriteGameEnd(dir.string(), Won());
            EXPECT_TRUE(written.saved && !written.error);
        } catch (const Stop&) {
            stopped = true;
        }
        if (!stopped) {
            allSteps = steps;
            out += "done: " + Files() + "\n";
            break;
        }
        const std::string before = Files();
        Restart();
        const std::vector<FileNotice> told = ReadPlayerFileAtStartup();
        const std::string after = Files();
        out += "stopped before step " + std::to_string(stop + 1) + ": " + before +
               "; started: " + after + (told.empty() ? "" : " (told)") + "\n";
        EXPECT_TRUE(Agree(after)) << out;
        // The start counts the game exactly when the history holds it, and says so.
        EXPECT_EQ(GamesWon, after.find("won 8") != std::string::npos ? 8 : 7);
        EXPECT_EQ(told.size(), before != after ? 1u : 0u) << out;
        // Started again, nothing changes; nothing of the end is left lying about.
        EXPECT_TRUE(ReadPlayerFileAtStartup().empty());
        EXPECT_EQ(Files(), after);
        EXPECT_FALSE(fs::exists(In(kGameEndNoteName)));
        ClearStaleTempFiles(dir.string(), 0);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
                  after.find("hand kept") != std::string::npos ? 3 : 2)
            << out;
    }
    std::string all;
    for (std::size_t i = 0; i < allSteps.size(); ++i) {
        all += std::to_string(i + 1) + " " + allSteps[i] + "\n";
    }
    EXPECT_EQ(all,
              "1 create temporary of .Cardovia.game-end\n"
              "2 write temporary of .Cardovia.game-end\n"
              "3 sync temporary of .Cardovia.game-end\n"
              "4 rename .Cardovia.game-end\n"
              "5 sync-folder\n"
              "6 create History.csv\n"
              "7 write History.csv\n"
              "8 sync History.csv\n"
              "9 create temporary of Name.dat\n"
              "10 write temporary of Name.dat\n"
              "11 sync temporary of Name.dat\n"
              "12 rename Name.dat\n"
              "13 sync-folder\n"
              "14 remove Hand.dat\n"
              "15 sync-folder\n"
              "16 remove .Cardovia.game-end\n"
              "17 sync-folder\n");
    EXPECT_EQ(out,
              "stopped before step 1: 1 games, won 7 lost 5, hand kept; started: 1 games, won 7 "
              "lost 5, hand kept\n"
              "stopped before step 2: 1 games, won 7 lost 5, hand kept; started: 1 games, won 7 "
              "lost 5, hand kept\n"
              "stopped before step 3: 1 games, won 7 lost 5, hand kept; started: 1 games, won 7 "
              "lost 5, hand kept\n"
              "stopped before step 4: 1 games, won 7 lost 5, hand kept; started: 1 games, won 7 "
              "lost 5, hand kept\n"
              "stopped before step 5: 1 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 6: 1 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 7: 1 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 8: 2 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 9: 2 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 10: 2 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 11: 2 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 12: 2 games, won 7 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 13: 2 games, won 8 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 14: 2 games, won 8 lost 5, hand kept; started: 2 games, won 8 "
              "lost 5, hand gone (told)\n"
              "stopped before step 15: 2 games, won 8 lost 5, hand gone; started: 2 games, won 8 "
              "lost 5, hand gone\n"
              "stopped before step 16: 2 games, won 8 lost 5, hand gone; started: 2 games, won 8 "
              "lost 5, hand gone\n"
              "stopped before step 17: 2 games, won 8 lost 5, hand gone; started: 2 games, won 8 "
              "lost 5, hand gone\n"
              "done: 2 games, won 8 lost 5, hand gone\n");
}

TEST_F(GameEndTest, AGameThatCannotBeSavedIsCountedNowhereLeavesNoTornLineAndSaysWhy) {
    // The steps that fail, whether the game is counted, and the error box's last line.
    struct Case {
        std::vector<Failure> fail;
        bool counted;
        std::string told;
    };
    const std::string d = dir.string() + "/";
    const Case cases[] = {
        {{{FileStep::Write, ".Cardovia.game-end", ENOSPC}},
         false,
         "Could not save " + d + ".Cardovia.game-end: No space left on device."},
        {{{FileStep::Write, "History.csv", ENOSPC}},
         false,
         "Could not add to " + d + "History.csv: No space left on device."},
        {{{FileStep::Sync, "History.csv", EIO}},
         false,
         "Could not add to " + d + "History.csv: Input/output error."},
        {{{FileStep::Write, "Name.dat", ENOSPC}},
         false,
         "Could not save " + d + "Name.dat: No space left on device."},
        {{{FileStep::Rename, "Name.dat", EIO}},
         false,
         "Could not save " + d + "Name.dat: Input/output error."},
        // The line cannot be taken back: the note stays and counts the game.
        {{{FileStep::Write, "Name.dat", ENOSPC}, {FileStep::Truncate, "History.csv", EIO}},
         true,
         "Could not save " + d + "Name.dat: No space left on device."},
    };
    for (const Case& c : cases) {
        FreshTable();
        LayFiles();
        Restart();
        sys.errors.clear();
        failures = c.fail;
        ApplyPlayerRecord(*ParsePlayerLine(kOldPlayer));
        GameScore[kPlayer] = 5120;
        GameScore[kOpponent] = 3880;
        GameTotals.assign(6, {});
        const GameEndSaved saved = RecordGameEnd();
        EXPECT_FALSE(saved.saved) << c.told;
        EXPECT_EQ(saved.problem, c.told);
        ASSERT_EQ(sys.errors.size(), 1u) << c.told;
        EXPECT_EQ(sys.errors[0].second.substr(sys.errors[0].second.rfind("\r\n") + 2), c.told);
        EXPECT_EQ(GamesWon, c.counted ? 8 : 7) << c.told;
        EXPECT_EQ(FileText(In(kPlayerFileName)), kOldPlayer) << c.told;
        if (!c.counted) {
            // Byte for byte as before: no torn line, no note, no temporary.
            EXPECT_EQ(FileText(In(kHistoryFileName)), kOldHistory) << c.told;
            EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3)
                << c.told;
            continue;
        }
        // The next save of Name.dat counts it there, and the note has done its work.
        Restart();
        SavePlayerFile();
        EXPECT_EQ(Files(), "2 games, won 8 lost 5, hand kept");
        EXPECT_FALSE(fs::exists(In(kGameEndNoteName)));
    }
}

TEST_F(GameEndTest, TheGameIsCountedAsTheGameOverBoxTellsIt) {
    // Thaddock's total, and the statistics after the game, for a player's total of 5000.
    const std::pair<int, std::string> cases[] = {
        {4990, "won 8 lost 5 won"},
        {5000, "won 7 lost 6 lost"},  // a tie is a game lost
        {5010, "won 7 lost 6 lost"},
    };
    for (const auto& [his, counted] : cases) {
        FreshTable();
        LayFiles();
        ApplyPlayerRecord(*ParsePlayerLine(kOldPlayer));
        GameScore[kPlayer] = 5000;
        GameScore[kOpponent] = static_cast<i16>(his);
        GameTotals.assign(2, {});
        sys.errors.clear();
        EXPECT_TRUE(RecordGameEnd().saved);
        EXPECT_TRUE(sys.errors.empty()) << (sys.errors.empty() ? "" : sys.errors[0].second);
        const HistoryFile history = ReadHistory(In(kHistoryFileName).string());
        ASSERT_EQ(history.games.size(), 2u);
        EXPECT_EQ("won " + std::to_string(GamesWon) + " lost " + std::to_string(GamesLost) +
                      (history.games[1].won ? " won" : " lost"),
                  counted);
        EXPECT_EQ(FileText(In(kPlayerFileName)), FormatPlayerLine(CurrentPlayerRecord()));
        EXPECT_FALSE(fs::exists(In(kHandFileName)));
    }
    // Statistics at the largest number they can hold: the count overflows, as it always
    // has, and nothing is written, so the files still agree.
    FreshTable();
    LayFiles();
    ApplyPlayerRecord(*ParsePlayerLine(kOldPlayer));
    GamesWon = 32767;
    GameScore[kPlayer] = 5000;
    sys.errors.clear();
    EXPECT_FALSE(RecordGameEnd().saved);
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: RecordGameEnd\r\nError #6: Overflow");
    EXPECT_EQ(FileText(In(kHistoryFileName)), kOldHistory);
    EXPECT_EQ(FileText(In(kPlayerFileName)), kOldPlayer);
}

TEST_F(GameEndTest, ANoteThatDoesNotReadIsKeptAsideAndTold) {
    LayFiles();
    std::ofstream(In(kGameEndNoteName)) << "Cardovia game end 1\nhistory-size=12\ngame=junk\n";
    const std::vector<FileNotice> told = ReadPlayerFileAtStartup();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "The note of a game's end " + In(kGameEndNoteName).string() +
                                " could not be read: it is not a note the game wrote. It was "
                                "kept aside as " +
                                In(kGameEndNoteName).string() +
                                ".bad. History.csv and Name.dat stay as they are.");
    EXPECT_EQ(Files(), "1 games, won 7 lost 5, hand kept");
    EXPECT_EQ(GamesWon, 7);
}

}  // namespace
}  // namespace cardovia::testing
