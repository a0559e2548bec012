// The player file: the line it holds, lines good and bad, reading it at
// start-up and saving it whole.

#include "flow/Startup.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <fstream>
#include <functional>
#include <tuple>

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
    // The temporary file is gone, and the file keeps the permissions the player gave it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::permissions(path(), fs::perms::owner_read | fs::perms::owner_write);
    SavePlayerFile();
    EXPECT_EQ(fs::status(path()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // What stands in the file's place and is not a plain file of ours is left alone, and the
    // error names the file and why.
    const std::string box =
        "Unexpected error in procedure: SavePlayerFile\r\nError #75: "
        "Path/File access error\r\nCould not save " +
        path() + ": it is ";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { fs::create_directory(path()); }, "a folder, not a plain file"},
        {[&] { fs::create_symlink(dir / "elsewhere", path()); },
         "a symbolic link, which the game does not follow"},
    };
    for (const auto& [make, why] : cases) {
        fs::remove_all(path());
        make();
        sys.errors.clear();
        SavePlayerFile();
        ASSERT_EQ(sys.errors.size(), 1u) << why;
        EXPECT_EQ(sys.errors[0].second, box + why + "; it was left as it is.");
        EXPECT_FALSE(fs::is_regular_file(path())) << why;
        EXPECT_FALSE(fs::exists(dir / "elsewhere")) << why;
    }
    fs::remove_all(path());
    ProgramDirectory = (dir / "no-such-directory").string();
    EXPECT_EQ(PlayerFilePath(), (dir / "user" / kPlayerFileName).string());
    SavePlayerFile();
    EXPECT_EQ(FileText(dir / "user" / kPlayerFileName), "\"New\",150,0,0,0,0,#FALSE#,5000\r\n");
}

TEST_F(PlayerFile, AFileNotReadAtStartUpIsKeptAsideAndThePlayerIsToldWhichAndWhere) {
    const std::string ini = (dir / kPreferencesFileName).string();
    const std::string defaults = "; the game starts with the defaults.";
    const std::string options = "; the options start from their defaults.";
    struct Case {
        std::string file;
        std::function<void(const std::string&)> make;
        std::string told;  // after "could not be read: "
    };
    const Case cases[] = {
        {path(), [](const std::string& p) { std::ofstream(p) << "\"Jo\",150,3,"; },
         "it does not hold a player's record. It was kept aside as " + path() + ".bad" + defaults},
        {path(), [](const std::string& p) { std::ofstream(p) << std::string(70000, 'x'); },
         "it is larger than the game's own file ever is (over 64 KB). It was kept aside as " +
             path() + ".bad" + defaults},
        {path(), [](const std::string& p) { fs::create_symlink("/dev/null", p); },
         "it is a symbolic link, which the game does not follow. It was kept aside as " + path() +
             ".bad" + defaults},
        {ini, [](const std::string& p) { std::ofstream(p) << std::string(70000, '='); },
         "it is larger than the game's own file ever is (over 64 KB). It was kept aside as " + ini +
             ".bad" + options},
        {ini, [](const std::string& p) { std::ofstream(p) << "sound=0\n"
                                                          << '\0' << "\n"; },
         "it holds bytes that are not text. It was kept aside as " + ini + ".bad" + options},
        {ini, [](const std::string& p) { fs::create_directory(p); },
         "it is a folder, not a plain file. It was kept aside as " + ini + ".bad" + options},
    };
    for (const Case& c : cases) {
        FreshTable();
        c.make(c.file);
        sys.dialogs.clear();
        Form_Load();
        const std::string kind = c.file == ini ? "options" : "player";
        ASSERT_EQ(sys.dialogs.size(), 1u) << c.told;
        EXPECT_EQ(sys.dialogs[0].title,
                  kind == "player" ? "Player file not read" : "Options file not read");
        EXPECT_EQ(sys.dialogs[0].message,
                  "The " + kind + " file " + c.file + " could not be read: " + c.told);
        EXPECT_EQ(sys.dialogs[0].caption0, "O.K");
        // The next save writes a new file and the one kept aside stays as it was.
        SoundOn = false;
        SavePreferences();
        SavePlayerFile();
        EXPECT_TRUE(fs::is_regular_file(c.file)) << c.told;
        EXPECT_TRUE(fs::exists(fs::symlink_status(c.file + ".bad"))) << c.told;
        EXPECT_TRUE(sys.errors.empty()) << c.told;
    }
    // Lines of the options file may end in CR alone, as an old editor saved them.
    FreshTable();
    std::ofstream(ini) << "sound=0\rsmooth-motion=0\rfour-colour-suits=1\r";
    EXPECT_TRUE(ReadPreferencesAtStartup().empty());
    EXPECT_EQ(std::tuple(SoundOn, SmoothMotion, FourColourSuits), std::tuple(false, false, true));
}
}  // namespace
}  // namespace cardovia::testing
