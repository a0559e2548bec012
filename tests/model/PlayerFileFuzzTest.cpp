// The player file under attack: hostile contents from a seeded generator and a
// small corpus of files found once, fed to the parser and to the reader.
// Whatever the file holds, the game starts with settings it can use, never
// loses a file it cannot read, and what it reads it writes back to read the same.

#include "model/GameRecord.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const fs::path kCorpus = fs::path(__FILE__).parent_path() / "corpus";

// Settings the game can run with, and a name that fits the record's one line.
::testing::AssertionResult Valid(const PlayerRecord& r) {
    const bool name = std::none_of(r.name.begin(), r.name.end(), [](char c) {
        return c == '"' || static_cast<unsigned char>(c) < 0x20;
    });
    if (r.speedDelay >= 1 && r.speedDelay <= 10000 && r.targetScore >= 500 &&
        r.targetScore <= 5000 && r.gamesWon >= 0 && r.gamesLost >= 0 && name) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "settings the game cannot use: " << FormatPlayerLine(r);
}

// Bytes outside printable ASCII are shown as \ and their decimal value.
std::string Printable(const std::string& content) {
    std::string shown;
    for (const unsigned char c : content.substr(0, 160))
        shown +=
            c >= 0x20 && c < 0x7f ? std::string(1, static_cast<char>(c)) : "\\" + std::to_string(c);
    return shown +
           (content.size() > 160 ? "... (" + std::to_string(content.size()) + " bytes)" : "");
}

// What every parse must give: nothing, or valid settings that survive being
// written and read again unchanged.
void CheckParse(const std::string& content) {
    SCOPED_TRACE(Printable(content));
    const auto record = ParsePlayerLine(content);
    if (!record) return;
    ASSERT_TRUE(Valid(*record));
    const std::string written = FormatPlayerLine(*record);
    const auto again = ParsePlayerLine(written);
    ASSERT_TRUE(again.has_value()) << "written as " << Printable(written);
    EXPECT_EQ(FormatPlayerLine(*again), written);
}

// Hostile contents: records torn in every way a disk, an editor or an
// attacker might tear them, and things that were never a record at all.
class HostileLines {
  public:
    explicit HostileLines(std::uint64_t seed) : rng_(seed) {}

    std::string Next() {
        const int dice = Roll(100);
        if (dice < 1) return Bytes(64 * 1024 - 8 + Roll(16));  // around the size limit
        if (dice < 4)
            return Name(Roll(3) ? Roll(3000) : 60000 + Roll(10000)) +
                   ",150,1,2,3,4,#FALSE#,5000\r\n";
        if (dice < 15) return Bytes(Roll(200));
        if (dice < 35) return Fields(Roll(12));
        if (dice < 55) return Record();
        return Mutated(Roll(2) ? Record() : Fields(8));
    }

  private:
    int Roll(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::string Pick(const std::vector<std::string>& from) {
        return from[Roll(static_cast<int>(from.size()))];
    }
    std::string Bytes(int size) {
        std::string s(static_cast<std::size_t>(size), '\0');
        for (char& c : s) c = static_cast<char>(Roll(256));
        return s;
    }
    // A name of any length from pieces that tear records: quotes, commas, line breaks, letters.
    std::string Name(int length) {
        std::string name = Roll(2) ? "\"" : "";
        while (static_cast<int>(name.size()) < length) {
            name += Roll(4)
                        ? "x"
                        : Pick({",", "\"", " ", "é", "\t", "\x01", "日本", "#TRUE#", "\r", "\n"});
        }
        return name + (name[0] == '"' ? "\"" : "");
    }
    // Fields in and out of the ranges the game accepts, at and beyond 16 bits, nearly numbers.
    std::string Field(int index) {
        if (index == 0)
            return Pick({"\"Player\"", "Player", "\"Smith, Ann\"", "\"Ann", "\"A\"B\"", "\"Zoë\"",
                         Name(Roll(12))});
        if (index == 6)
            return Pick({"#TRUE#", "#FALSE#", "#true#", "#False#", "TRUE", "", " #TRUE# ", "1"});
        if (Roll(3) == 0) return std::to_string(Roll(70000) - 35000);
        return Pick({"0",    "1",     "-1",    "150",   "499",   "500",    "5000",
                     "5001", "10000", "10001", "32767", "32768", "-32769", "99999999999999999999",
                     "+5",   " 7 ",   "",      "1e3",   "0x10",  "1.5",    "007",
                     "٣"});
    }
    std::string Fields(int count) {
        std::string line;
        for (int i = 0; i < count; ++i) line += (i > 0 ? "," : "") + Field(i % 8);
        return line + Pick({"\r\n", "\n", "", "\r", "\r\ngarbage", "\n\"X\",1,2,3,4,5,#TRUE#,600"});
    }
    // A record the game could have written, with any name at all.
    std::string Record() {
        auto in = [this](int low, int high) { return std::to_string(low + Roll(high - low + 1)); };
        return Field(0) + "," + in(1, 10000) + "," + in(0, 32767) + "," + in(0, 32767) + "," +
               in(-32768, 32767) + "," + in(-32768, 32767) + "," + Pick({"#TRUE#", "#FALSE#"}) +
               "," + in(500, 5000) + Pick({"\r\n", ""});
    }
    // A few bytes inserted, deleted or replaced, or a quote, a NUL, a line break or a comma put
    // anywhere.
    std::string Mutated(std::string line) {
        for (int n = Roll(5); n > 0; --n) {
            const auto at = static_cast<std::size_t>(Roll(static_cast<int>(line.size()) + 1));
            const int how = Roll(4);
            if (how == 0 && at < line.size()) line.erase(at, 1);
            if (how == 1 && at < line.size()) line[at] = static_cast<char>(Roll(256));
            if (how >= 2)
                line.insert(at, how == 2 ? std::string(1, static_cast<char>(Roll(256)))
                                         : Pick({"\"", "\0"s, "\r\n", ","}));
        }
        return line;
    }

    std::mt19937_64 rng_;
};

std::uint64_t Seed() {
    const char* text = std::getenv("CARDOVIA_FUZZ_SEED");
    return text ? std::strtoull(text, nullptr, 10) : 20240611;
}

TEST(PlayerFileFuzz, HostileLinesNeverGiveSettingsTheGameCannotUse) {
    SCOPED_TRACE("CARDOVIA_FUZZ_SEED=" + std::to_string(Seed()));
    HostileLines lines(Seed());
    int parsed = 0;
    for (int i = 0; i < 20000 && !::testing::Test::HasFailure(); ++i) {
        const std::string content = lines.Next();
        CheckParse(content);
        parsed += ParsePlayerLine(content).has_value();
    }
    // The generator reaches the parser's accepting paths too, not only its refusals.
    EXPECT_GT(parsed, 2000);
    // A name as long as the file may hold still reads back once written with its
    // quotes and line end; cut, a name of two-byte letters keeps whole letters.
    const std::string fields = ",150,0,0,0,0,#FALSE#,5000";
    CheckParse(std::string(64 * 1024 - fields.size(), 'n') + fields);
    EXPECT_TRUE(ParsePlayerLine(std::string(64 * 1024 - fields.size(), 'n') + fields));
    EXPECT_FALSE(ParsePlayerLine(std::string(64 * 1024 + 1 - fields.size(), 'n') + fields));
    PlayerRecord record;
    while (record.name.size() < 64 * 1024) record.name += "é";
    const auto back = ParsePlayerLine(FormatPlayerLine(record));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name.substr(back->name.size() - 2), "é");
}

using PlayerFileOnDisk = TableTest;

// Files named read-* are records the game must accept, aside-* files it must keep aside
// byte for byte; a hostile file either way leaves settings the game can use.
TEST_F(PlayerFileOnDisk, HostileFilesAndTheCorpusStartTheGameWithValidSettingsAndAreNeverLost) {
    HostileLines lines(Seed() + 1);
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 300; ++i) files.emplace_back("hostile", lines.Next());
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        files.emplace_back(entry.path().filename().string(), FileText(entry.path()));
    }
    const std::string path = (dir / kPlayerFileName).string();
    for (const auto& [name, content] : files) {
        FreshTable();
        std::ofstream(path, std::ios::binary) << content;
        const ReadResult read = ReadPlayerFile(path);
        const bool kept = read.outcome == ReadOutcome::SetAside;
        EXPECT_TRUE(kept || read.outcome == ReadOutcome::Read) << name;
        EXPECT_TRUE(Valid(read.record)) << name;
        EXPECT_EQ(kept, !ParsePlayerLine(content).has_value()) << name;
        EXPECT_EQ(FileText(kept ? read.setAsidePath : path), content) << name;
        if (name != "hostile") {
            EXPECT_EQ(kept, name.rfind("aside-", 0) == 0) << name;
            CheckParse(content);
        }
    }
    EXPECT_GE(files.size(), 313u);
}

// Runs a read on a thread of its own: what it says, or that it hung.
std::string WithinSeconds(const std::function<std::string()>& read) {
    auto answer = std::make_shared<std::promise<std::string>>();
    std::future<std::string> told = answer->get_future();
    std::thread([read, answer] { answer->set_value(read()); }).detach();
    if (told.wait_for(std::chrono::seconds(5)) != std::future_status::ready) return "hung";
    return told.get();
}

TEST_F(PlayerFileOnDisk, AnythingButAPlainFileInPlaceOfEachFileIsNeverFollowedNorWaitedOn) {
    const fs::path outside = dir / "outside";
    const std::string record = "\"Jo\",150,3,2,0,0,#FALSE#,5000\r\n";
    // What stands in the file's place, and what the read of each of the three files says.
    struct Kind {
        std::string what;
        std::function<bool(const std::string&)> make;  // false where the system will not
        std::string told;
    };
    const Kind kinds[] = {
        {"folder", [](const std::string& p) { return fs::create_directory(p); },
         "it is a folder, not a plain file"},
        {"named pipe", [](const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; },
         "it is a named pipe, not a plain file"},
        {"device",
         [](const std::string& p) {
             return ::mknod(p.c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0;
         },
         "it is a device, not a plain file"},
        {"link to a device",
         [](const std::string& p) { return fs::create_symlink("/dev/zero", p), true; },
         "it is a symbolic link, which the game does not follow"},
        {"link to a good file",
         [&](const std::string& p) { return fs::create_symlink(outside, p), true; },
         "it is a symbolic link, which the game does not follow"},
        {"file of 8 GB",
         [](const std::string& p) {
             std::ofstream{p};
             return ::truncate(p.c_str(), 8LL << 30) == 0;
         },
         "it is larger than the game's own file ever is (over 64 KB)"},
    };
    const std::string player = (dir / kPlayerFileName).string();
    const std::string ini = (dir / kPreferencesFileName).string();
    const std::string history = (dir / kHistoryFileName).string();
    const std::pair<std::string, std::function<std::string()>> reads[] = {
        {player, [&] { return ReadPlayerFile(player).Notice(); }},
        {ini, [&] { return ReadPreferences(ini).Notice(); }},
        {history, [&] { return ReadHistory(history).problem; }},
    };
    for (const Kind& kind : kinds) {
        for (const auto& [file, read] : reads) {
            FreshTable();
            std::ofstream(outside) << record;
            if (!kind.make(file)) continue;  // a device needs the right to make one
            const fs::file_type type = fs::symlink_status(file).type();
            const std::string told = WithinSeconds(read);
            ASSERT_NE(told, "hung") << kind.what << " as " << file;
            if (file == history) {
                // The history is only ever read: it stays, and the window says why. Of
                // a large one only the end is read.
                EXPECT_EQ(told, kind.what == "file of 8 GB"
                                    ? ""
                                    : file + " could not be read: " + kind.told + ".");
                EXPECT_EQ(fs::symlink_status(file).type(), type);
            } else {
                // Kept aside as it is, whatever it is, so that no save ever goes through it.
                EXPECT_NE(told.find(" could not be read: " + kind.told + ". It was kept aside as " +
                                    file + ".bad;"),
                          std::string::npos)
                    << told;
                EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << kind.what;
                EXPECT_EQ(fs::symlink_status(file + ".bad").type(), type) << kind.what;
            }
            EXPECT_EQ(FileText(outside), record);
        }
    }
}
}  // namespace
}  // namespace cardovia::testing
