// Saving the player file when things go wrong: the process killed in the
// middle of a save, a full disk. The file on
// disk is always the old one or the new one, whole; a failed save is reported
// and the game goes on.

#include "model/PlayerFileFormat.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOldLine = "\"Old\",150,7,5,0,0,#FALSE#,5000\r\n";

class SaveUnderFire : public TableTest {
  protected:
    std::string path() const { return (dir / kPlayerFileName).string(); }
    std::string temp() const { return path() + ".tmp"; }
    void WriteOld() const { std::ofstream(path(), std::ios::binary) << kOldLine; }
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
        if (fs::exists(temp())) ++killedMidSave;
    }
    // The kills did land inside saves, between writing the temporary and
    // putting it in place.
    EXPECT_GT(killedMidSave, 0);
    // A temporary left behind by a killed save does not stand in the way of the next.
    record.gamesWon = 99;
    ASSERT_FALSE(WritePlayerFile(path(), record).has_value());
    EXPECT_EQ(FileText(path()), FormatPlayerLine(record));
    EXPECT_FALSE(fs::exists(temp()));
}

TEST_F(SaveUnderFire, AFullDiskIsReportedAsSuchAndTheOldFileStays) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    WriteOld();
    // Every write to /dev/full fails with "no space left on device", even as root.
    fs::create_symlink("/dev/full", temp());
    PlayerName = "New";
    SavePlayerFile();
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: SavePlayerFile\r\nError #61: Disk full");
    EXPECT_EQ(FileText(path()), kOldLine);
    // The failed temporary is cleared away, so the save after space was made succeeds.
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp())));
    SavePlayerFile();
    EXPECT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(ParsePlayerLine(FileText(path()))->name, "New");
}

}  // namespace
}  // namespace cardovia::testing
