// The player file: the line it holds, lines good and bad, reading it at
// start-up and saving it whole.

#include "model/PlayerFileFormat.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <fstream>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class PlayerFile : public TableTest {
  protected:
    std::string path() const { return (dir / kPlayerFileName).string(); }
    void Write(const std::string& content) const {
        std::ofstream(path(), std::ios::binary) << content;
    }
};

TEST_F(PlayerFile, LinesGoodAndBad) {
    // What each file's content reads as, written back; "aside" for a file kept aside.
    const std::pair<std::string, std::string> cases[] = {
        {"\"Player\",150,0,0,0,0,#FALSE#,5000\r\n", "\"Player\",150,0,0,0,0,#FALSE#,5000"},
        {"\"Smith, Jane, the third\",75,12,3,-120,4890,#TRUE#,2500",
         "\"Smith, Jane, the third\",75,12,3,-120,4890,#TRUE#,2500"},
        {"  \"Jo\" , 300 , 1 , 2 , 3 , 4 , #true# , 800", "\"Jo\",300,1,2,3,4,#TRUE#,800"},
        {"Jo,1,32767,0,-32768,32767,#False#,500\n", "\"Jo\",1,32767,0,-32768,32767,#FALSE#,500"},
        {"\"Jo\",10000,0,0,0,0,#FALSE#,5000\r\ngarbage", "\"Jo\",10000,0,0,0,0,#FALSE#,5000"},
        {"", "aside"},
        {"\"Unclosed,150,0,0,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",150,0,0,0,0,#FALSE#\r\n", "aside"},
        {"\"Jo\",150,0,0,0,0,#FALSE#,5000,9\r\n", "aside"},
        {"\"Jo\",fast,0,0,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",150,0,0,99999,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",150,0,0,0,0,#MAYBE#,5000\r\n", "aside"},
        {"\"Jo\",150,-1,0,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",150,0,-1,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",0,0,0,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",10001,0,0,0,0,#FALSE#,5000\r\n", "aside"},
        {"\"Jo\",150,0,0,0,0,#FALSE#,499\r\n", "aside"},
        {"\"Jo\",150,0,0,0,0,#FALSE#,5001\r\n", "aside"},
        {"\"Jo\",150,0,0,\0,0,#FALSE#,5000\r\n"s, "aside"},
    };
    for (const auto& [content, expected] : cases) {
        FreshTable();
        Write(content);
        PlayerName = "Before";
        ReadPlayerFileAtStartup();
        if (expected == "aside") {
            EXPECT_EQ(FileText(path() + ".bad"), content) << content;
            EXPECT_FALSE(fs::exists(path())) << content;
            EXPECT_EQ(FormatPlayerLine(CurrentPlayerRecord()), FormatPlayerLine(PlayerRecord{}))
                << content;
        } else {
            const std::string line = FormatPlayerLine(CurrentPlayerRecord());
            EXPECT_EQ(line, expected + "\r\n") << content;
        }
    }
}

TEST_F(PlayerFile, AFileNotReadIsKeptAsideAndNeverOverwritten) {
    EXPECT_EQ(PlayerFilePath(), path());
    ReadPlayerFileAtStartup();  // no file: the defaults, and nothing written
    EXPECT_FALSE(fs::exists(path()));
    Write("garbage one");
    ReadPlayerFileAtStartup();
    Write("garbage two");
    ReadPlayerFileAtStartup();
    SavePlayerFile();
    EXPECT_EQ(FileText(path() + ".bad"), "garbage one");
    EXPECT_EQ(FileText(path() + ".bad1"), "garbage two");
    EXPECT_EQ(FileText(path()), "\"Player\",150,0,0,0,0,#FALSE#,5000\r\n");
}

TEST_F(PlayerFile, ASaveReplacesTheFileWholeOrReportsWhyAndLeavesTheOldOne) {
    Write("\"Old\",150,0,0,0,0,#FALSE#,5000\r\n");
    PlayerName = "New";
    SavePlayerFile();
    EXPECT_EQ(FileText(path()), "\"New\",150,0,0,0,0,#FALSE#,5000\r\n");
    EXPECT_FALSE(fs::exists(path() + ".tmp"));
    // A directory where the temporary file should go makes the write fail even as root.
    fs::create_directory(path() + ".tmp");
    PlayerName = "Newer";
    SavePlayerFile();
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: SavePlayerFile\r\nError #75: Path/File access error");
    EXPECT_EQ(FileText(path()), "\"New\",150,0,0,0,0,#FALSE#,5000\r\n");
    ProgramDirectory = (dir / "no-such-directory").string();
    EXPECT_EQ(PlayerFilePath(), (dir / "user" / kPlayerFileName).string());
    SavePlayerFile();
    EXPECT_EQ(FileText(dir / "user" / kPlayerFileName), "\"Newer\",150,0,0,0,0,#FALSE#,5000\r\n");
}

}  // namespace
}  // namespace cardovia::testing
