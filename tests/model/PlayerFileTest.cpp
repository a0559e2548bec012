#include "model/PlayerFile.h"
#include "scoring/PlayerFile.h"
#include "support/TestTable.h"

#include <fstream>
#include <sstream>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class PlayerFileTest : public TableTest {
  protected:
    std::string path() const { return (dir / kPlayerFileName).string(); }
    void Write(const std::string& content) const {
        std::ofstream(path(), std::ios::binary) << content;
    }
    static std::string Read(const std::string& p) { return FileText(p); }
};

TEST_F(PlayerFileTest, NewPlayerFileReadsAsOneCrLfLine) {
    EXPECT_EQ(FormatPlayerLine(PlayerRecord{}), "\"Player\",150,0,0,0,0,#FALSE#,5000\r\n");
    SavePlayerFile();
    EXPECT_EQ(Read(path()), "\"Player\",150,0,0,0,0,#FALSE#,5000\r\n");
}

TEST_F(PlayerFileTest, EveryFieldSurvivesARoundTripIncludingCommasInTheName) {
    PlayerName = "Smith, Jane, the third";
    SpeedDelay = 75;
    GamesWon = 12;
    GamesLost = 3;
    GameScore[1] = -120;
    GameScore[2] = 4890;
    CardBack = true;
    TargetScore = 2500;
    SavePlayerFile();
    EXPECT_EQ(Read(path()), "\"Smith, Jane, the third\",75,12,3,-120,4890,#TRUE#,2500\r\n");

    ResetModel();
    ReadPlayerFileAtStartup();
    EXPECT_EQ(PlayerName, "Smith, Jane, the third");
    EXPECT_EQ(SpeedDelay, 75);
    EXPECT_EQ(GamesWon, 12);
    EXPECT_EQ(GamesLost, 3);
    EXPECT_EQ(GameScore[1], -120);
    EXPECT_EQ(GameScore[2], 4890);
    EXPECT_TRUE(CardBack);
    EXPECT_EQ(TargetScore, 2500);
}

TEST_F(PlayerFileTest, QuotesAndLineBreaksInANameCannotBreakTheRecord) {
    PlayerName = "Ann \"Ace\" O'Neil\r\nX";
    SavePlayerFile();
    ResetModel();
    ReadPlayerFileAtStartup();
    EXPECT_EQ(PlayerName, "Ann 'Ace' O'Neil  X");
    EXPECT_EQ(TargetScore, 5000);
}

TEST_F(PlayerFileTest, AMissingFileGivesTheDefaults) {
    PlayerName = "Someone";
    TargetScore = 700;
    ReadPlayerFileAtStartup();
    EXPECT_EQ(PlayerName, "Player");
    EXPECT_EQ(SpeedDelay, 150);
    EXPECT_FALSE(CardBack);
    EXPECT_EQ(TargetScore, 5000);
    EXPECT_FALSE(fs::exists(path()));
}

TEST_F(PlayerFileTest, AMalformedFileIsKeptAsideAndTheDefaultsUsed) {
    const std::string bad[] = {
        "",
        "\"Unclosed,150,0,0,0,0,#FALSE#,5000\r\n",
        "\"Jo\",150,0,0,0,0,#FALSE#\r\n",           // too few fields
        "\"Jo\",150,0,0,0,0,#FALSE#,5000,9\r\n",    // too many
        "\"Jo\",fast,0,0,0,0,#FALSE#,5000\r\n",     // not a number
        "\"Jo\",150,0,0,99999,0,#FALSE#,5000\r\n",  // beyond 16 bits
        "\"Jo\",150,0,0,0,0,#MAYBE#,5000\r\n",
        "\"Jo\",150,-1,0,0,0,#FALSE#,5000\r\n",
        "\"Jo\",150,0,0,0,0,#FALSE#,100\r\n",  // a target the game never sets
        "\"Jo\",150,0,0,\0,0,#FALSE#,5000\r\n"s,
    };
    for (const std::string& content : bad) {
        SCOPED_TRACE(content);
        fs::remove_all(dir);
        fs::create_directories(dir);
        Write(content);
        PlayerName = "Before";
        ReadPlayerFileAtStartup();
        EXPECT_EQ(PlayerName, "Player");
        EXPECT_EQ(TargetScore, 5000);
        EXPECT_FALSE(fs::exists(path()));
        EXPECT_EQ(Read(path() + ".bad"), content);
        // The next save writes a fresh file and leaves the bad one alone.
        SavePlayerFile();
        EXPECT_EQ(Read(path() + ".bad"), content);
        EXPECT_TRUE(fs::exists(path()));
    }
}

TEST_F(PlayerFileTest, ASecondBadFileDoesNotOverwriteTheFirstOneKeptAside) {
    Write("garbage one");
    ReadPlayerFileAtStartup();
    Write("garbage two");
    ReadPlayerFileAtStartup();
    EXPECT_EQ(Read(path() + ".bad"), "garbage one");
    EXPECT_EQ(Read(path() + ".bad1"), "garbage two");
}

TEST_F(PlayerFileTest, ToleratesBlanksAroundFieldsAndAMissingLineEnd) {
    Write("  \"Jo\" , 300 , 1 , 2 , 3 , 4 , #true# , 800");
    ReadPlayerFileAtStartup();
    EXPECT_EQ(PlayerName, "Jo");
    EXPECT_EQ(SpeedDelay, 300);
    EXPECT_EQ(GameScore[2], 4);
    EXPECT_TRUE(CardBack);
    EXPECT_EQ(TargetScore, 800);
}

TEST_F(PlayerFileTest, SavingReplacesTheFileWholeAndLeavesNoTemporary) {
    Write("\"Old\",150,0,0,0,0,#FALSE#,5000\r\n");
    PlayerName = "New";
    SavePlayerFile();
    EXPECT_EQ(Read(path()), "\"New\",150,0,0,0,0,#FALSE#,5000\r\n");
    EXPECT_FALSE(fs::exists(path() + ".tmp"));
}

TEST_F(PlayerFileTest, AFailedSaveIsReportedAndTheOldFileStays) {
    Write("\"Old\",150,0,0,0,0,#FALSE#,5000\r\n");
    // A directory where the temporary file should go makes the write fail even as root.
    fs::create_directory(path() + ".tmp");
    PlayerName = "New";
    SavePlayerFile();
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].first, "Cardovia");
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: SavePlayerFile\r\nError #75: Path/File access error");
    EXPECT_EQ(Read(path()), "\"Old\",150,0,0,0,0,#FALSE#,5000\r\n");
}

TEST_F(PlayerFileTest, AnUnwritableProgramDirectorySendsTheFileToTheUserDataDirectory) {
    EXPECT_EQ(PlayerFilePath(), path());
    ProgramDirectory = (dir / "no-such-directory").string();
    EXPECT_EQ(PlayerFilePath(), (dir / "user" / kPlayerFileName).string());
    SavePlayerFile();
    EXPECT_TRUE(fs::exists(dir / "user" / kPlayerFileName));
}

}  // namespace
}  // namespace cardovia::testing
