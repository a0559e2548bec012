// Saving the player's files when things go wrong: the process killed in the
// middle of a save, two copies saving at once, a full disk, a link planted
// where a file or its temporary goes, temporary files left by a killed save.
// A file on disk is always the old one or the new one, whole; nothing is ever
// written through a link; a failed save names the file and the cause.

#include "model/GameRecord.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/SafeFiles.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"
#include "ui/Errors.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOldLine = "\"Old\",150,7,5,0,0,#FALSE#,5000\r\n";

// The step the tests make fail, on which file, and with what.
struct Sabotage {
    FileStep step = FileStep::Write;
    std::string file;  // a part of the name of the file the step works on
    int error = 0;
    std::function<void(const std::string&)> before;  // done to the path just before the step
};
Sabotage sabotage;

int Sabotaged(FileStep step, const std::string& path) {
    const bool hit = step == sabotage.step &&
                     fs::path(path).filename().string().find(sabotage.file) != std::string::npos;
    if (!hit) return 0;
    if (sabotage.before) std::exchange(sabotage.before, nullptr)(path);
    return sabotage.error;
}

class SaveUnderFire : public TableTest {
  protected:
    void SetUp() override {
        TableTest::SetUp();
        SetFileFaultForTests(Sabotaged);
    }
    void TearDown() override {
        SetFileFaultForTests(nullptr);
        sabotage = {};
        TableTest::TearDown();
    }
    std::string path() const { return (dir / kPlayerFileName).string(); }
    void WriteOld() const { std::ofstream(path(), std::ios::binary) << kOldLine; }
    // The files in the directory that have the program's temporary names.
    int Temporaries() const {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir)) {
            n += IsOurTemporaryName(entry.path().filename().string());
        }
        return n;
    }
};

TEST_F(SaveUnderFire, AProcessKilledInTheMiddleOfASaveLeavesTheOldFileOrANewOneWhole) {
    WriteOld();
    // The saving process writes records that differ in their games won; a
    // long name makes each write a large one.
    constexpr int kRecords = 50;
    PlayerRecord record;
    record.name = std::string(4000, 'k');
    std::set<std::string> whole = {kOldLine};
    for (int k = 1; k <= kRecords; ++k) {
        record.gamesWon = static_cast<i16>(k);
        whole.insert(FormatPlayerLine(record));
    }
    std::mt19937 rng(20240611);
    int killedMidSave = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int k = 1;; k = k % kRecords + 1) {
                record.gamesWon = static_cast<i16>(k);
                WritePlayerFile(path(), record);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 4000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string content = FileText(path());
        ASSERT_EQ(whole.count(content), 1u)
            << "round " << round << ": a torn file of " << content.size() << " bytes";
        ASSERT_TRUE(ParsePlayerLine(content).has_value());
        killedMidSave += Temporaries() > 0;
        // Each killed save leaves at most its own temporary, under a name of its own.
        ASSERT_LE(Temporaries(), round + 1);
    }
    // The kills did land inside saves, between writing the temporary and
    // putting it in place.
    EXPECT_GT(killedMidSave, 0);
    // The temporaries left behind stand in no save's way, and the start-up
    // clears them away once they are old.
    record.gamesWon = 99;
    ASSERT_FALSE(WritePlayerFile(path(), record).has_value());
    EXPECT_EQ(FileText(path()), FormatPlayerLine(record));
    const int left = Temporaries();
    EXPECT_EQ(ClearStaleTempFiles(dir.string()), 0);  // still fresh: they could be another's
    EXPECT_EQ(ClearStaleTempFiles(dir.string(), 0), left);
    EXPECT_EQ(Temporaries(), 0);
    EXPECT_EQ(FileText(path()), FormatPlayerLine(record));
}

TEST_F(SaveUnderFire, TwoCopiesSavingAtOnceNeverLeaveAnEmptyOrTornFile) {
    WriteOld();
    // Each copy saves its own records; a reader looks at the file all the while.
    std::set<std::string> whole = {kOldLine};
    PlayerRecord records[2];
    for (int copy = 0; copy < 2; ++copy) {
        records[copy].name = std::string(3000, copy ? 'b' : 'a');
        for (int k = 1; k <= 20; ++k) {
            records[copy].gamesWon = static_cast<i16>(k);
            whole.insert(FormatPlayerLine(records[copy]));
        }
    }
    pid_t copies[2];
    for (int copy = 0; copy < 2; ++copy) {
        copies[copy] = fork();
        ASSERT_GE(copies[copy], 0);
        if (copies[copy] == 0) {
            for (int k = 1;; k = k % 20 + 1) {
                records[copy].gamesWon = static_cast<i16>(k);
                if (WritePlayerFile(path(), records[copy])) _exit(1);
            }
        }
    }
    int looks = 0;
    std::set<std::string> seen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        const FileRead file = ReadSmallFile(path(), 64 * 1024);
        ASSERT_EQ(file.found, FileFound::Read);
        ASSERT_EQ(whole.count(file.text), 1u) << "a torn file of " << file.text.size() << " bytes";
        seen.insert(file.text.substr(1, 1));
        ++looks;
    }
    for (const pid_t copy : copies) {
        int status = 0;
        // A copy that stopped by itself found its save refused: that must not happen.
        ASSERT_EQ(::waitpid(copy, &status, WNOHANG), 0);
        ::kill(copy, SIGKILL);
        ASSERT_EQ(::waitpid(copy, &status, 0), copy);
    }
    EXPECT_GT(looks, 100);
    EXPECT_TRUE(seen.count("a") && seen.count("b"));  // both copies' saves landed
    EXPECT_EQ(whole.count(FileText(path())), 1u);
}

TEST_F(SaveUnderFire, AFullDiskIsReportedNamingTheFileAndLeavesNoPartOfTheWrite) {
    const std::string history = (dir / kHistoryFileName).string();
    const std::string ini = (dir / kPreferencesFileName).string();
    const std::string oldHistory =
        std::string(kHistoryHeader) + "\n2026-12-01 19:05,5120,3880,5000,won,6\n";
    const HistoryEntry game{"2026-12-02 20:00", 100, 5100, 5000, false, 3};
    struct Case {
        std::string file;
        std::function<void()> save;
        std::string box;    // the error box's text
        std::string saved;  // what the file holds once the save goes through
    };
    const Case cases[] = {
        {path(), [] { SavePlayerFile(); },
         "Unexpected error in procedure: SavePlayerFile\r\nError #61: Disk full\r\nCould not "
         "save " +
             path() + ": No space left on device.",
         "\"New\",150,0,0,0,0,#FALSE#,5000\r\n"},
        {ini, [] { SavePreferences(); },
         "Unexpected error in procedure: SavePreferences\r\nError #61: Disk full\r\nCould not "
         "save " +
             ini + ": No space left on device.",
         "sound=0\nthaddock=classic\nsmooth-motion=1\nfour-colour-suits=0\n"},
        {history,
         [&] {
             if (auto e = AppendHistory(history, game)) ReportError("test", e->number, e->Report());
         },
         "Unexpected error in procedure: test\r\nError #61: Disk full\r\nCould not add to " +
             history + ": No space left on device.",
         oldHistory + HistoryLine(game) + "\n"},
    };
    for (const Case& c : cases) {
        FreshTable();
        WriteOld();
        std::ofstream(ini) << "sound=1\n";
        CurrentPreferences = Preferences::Parse("sound=1\n");
        ThaddockPlays = ThaddockLevel::Classic;
        FourColourSuits = false;
        SmoothMotion = true;
        std::ofstream(history) << oldHistory;
        for (const FileStep step : {FileStep::Write, FileStep::Sync}) {
            sabotage = {step, fs::path(c.file).filename().string(), ENOSPC, nullptr};
            PlayerName = "New";
            SoundOn = false;
            sys.errors.clear();
            c.save();
            ASSERT_EQ(sys.errors.size(), 1u) << c.file;
            EXPECT_EQ(sys.errors[0].second, c.box);
            // Byte for byte as before: no torn line, no half-written file, no temporary.
            EXPECT_EQ(FileText(path()), kOldLine);
            EXPECT_EQ(FileText(ini), "sound=1\n");
            EXPECT_EQ(FileText(history), oldHistory);
            EXPECT_EQ(Temporaries(), 0);
        }
        // With room made, the same save goes through.
        sabotage = {};
        sys.errors.clear();
        c.save();
        EXPECT_TRUE(sys.errors.empty()) << c.file;
        EXPECT_EQ(FileText(c.file), c.saved);
    }
}

TEST_F(SaveUnderFire, ALinkPlantedAtTheTemporaryNameOrInTheFilesPlaceIsNeverWrittenThrough) {
    const fs::path outside = dir / "outside.txt";
    const std::string precious = "the player's own precious file\n";
    auto plantTo = [&](const std::string& at) { fs::create_symlink(outside, at); };
    // Links at the fixed temporary names of earlier versions, and one planted at the very
    // name the save is about to create, between its choosing the name and creating the file.
    std::ofstream(outside) << precious;
    WriteOld();
    plantTo(path() + ".tmp");
    plantTo((dir / "Cardovia.ini.tmp").string());
    sabotage = {FileStep::Create, ".tmp", 0, plantTo};
    PlayerName = "New";
    SavePlayerFile();
    SavePreferences();
    EXPECT_TRUE(sys.errors.empty());
    EXPECT_EQ(ParsePlayerLine(FileText(path()))->name, "New");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / kPreferencesFileName)));
    EXPECT_EQ(FileText(outside), precious);

    // A link in the file's own place: the save is refused and says so; link and target stay.
    const std::string history = (dir / kHistoryFileName).string();
    const std::string ini = (dir / kPreferencesFileName).string();
    const HistoryEntry game{"2026-12-02 20:00", 100, 5100, 5000, false, 3};
    const std::pair<std::string, std::function<std::optional<WriteError>()>> saves[] = {
        {path(), [&] { return WritePlayerFile(path(), CurrentPlayerRecord()); }},
        {ini, [&] { return WritePreferences(ini, CurrentPreferences); }},
        {history, [&] { return AppendHistory(history, game); }},
    };
    sabotage = {};
    for (const auto& [file, save] : saves) {
        fs::remove(file);
        plantTo(file);
        const std::optional<WriteError> error = save();
        ASSERT_TRUE(error.has_value()) << file;
        EXPECT_EQ(error->sentence.substr(error->sentence.find(": ")),
                  ": it is a symbolic link, which the game does not follow; it was left as it is.");
        EXPECT_NE(error->sentence.find(file), std::string::npos);
        EXPECT_TRUE(fs::is_symlink(file)) << file;
        EXPECT_EQ(FileText(outside), precious) << file;
    }
}

TEST_F(SaveUnderFire, StaleTemporaryFilesAreClearedAtStartUpAndNothingElseIs) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    auto make = [&](const std::string& name, bool stale) {
        std::ofstream(dir / name) << "x";
        if (stale) fs::last_write_time(dir / name, old);
    };
    // Whether each file is still there after the start-up.
    const std::pair<std::string, bool> files[] = {
        {".Name.dat.a7Rq2b.tmp", false},
        {".Cardovia.ini.ZZZZZZ.tmp", false},
        {".History.csv.000000.tmp", false},
        {".Hand.dat.q1w2e3.tmp", false},
        {"Name.dat.tmp", false},
        {"Cardovia.ini.tmp", false},
        {".Name.dat.a7Rq2.tmp", true},
        {".Name.dat.a7Rq2bc.tmp", true},
        {".Name.dat.a7R-2b.tmp", true},
        {".Other.txt.a7Rq2b.tmp", true},
        {"Name.dat.a7Rq2b.tmp", true},
        {".Name.dat.a7Rq2b.tmp~", true},
        {"Name.dat.bad", true},
        {"History.csv.tmp", true},
        {"notes.tmp", true},
    };
    for (const auto& [name, stays] : files) make(name, true);
    // One copy plays from a directory at a time, so a fresh one is a killed save's too;
    // a link or a folder is not ours.
    make(".Name.dat.fresh1.tmp", false);
    fs::create_symlink(dir / "Name.dat.bad", dir / ".Name.dat.link01.tmp");
    fs::create_directory(dir / ".Name.dat.dir001.tmp");
    fs::last_write_time(dir / ".Name.dat.dir001.tmp", old);
    ReadPlayerFileAtStartup();
    for (const auto& [name, stays] : files) {
        EXPECT_EQ(fs::exists(fs::symlink_status(dir / name)), stays) << name;
    }
    EXPECT_FALSE(fs::exists(dir / ".Name.dat.fresh1.tmp"));
    EXPECT_TRUE(fs::is_symlink(dir / ".Name.dat.link01.tmp"));
    EXPECT_TRUE(fs::is_directory(dir / ".Name.dat.dir001.tmp"));
}

}  // namespace
}  // namespace cardovia::testing
