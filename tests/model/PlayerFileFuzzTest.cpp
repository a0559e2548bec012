// The player file under attack: hostile contents from a seeded generator and a
// small corpus of files found once, fed to the parser and to the reader.
// Whatever the file holds, the game starts with settings it can use, never
// loses a file it cannot read, and what it reads it writes back to read the same.

#include "model/PlayerFileFormat.h"
#include "scoring/ReadAndSave.h"
#include "support/TableTest.h"

#include <fstream>
#include <random>

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
        if (name != "hostile") EXPECT_EQ(kept, name.rfind("aside-", 0) == 0) << name;
        if (name != "hostile") CheckParse(content);
    }
    EXPECT_GE(files.size(), 308u);
}

TEST_F(PlayerFileOnDisk, AnythingButARegularFileIsKeptAsideNotFollowed) {
    const std::string path = (dir / kPlayerFileName).string();
    fs::create_directory(path);
    EXPECT_TRUE(fs::is_directory(ReadPlayerFile(path).setAsidePath));
    fs::create_symlink("/dev/zero", path);
    EXPECT_EQ(ReadPlayerFile(path).outcome, ReadOutcome::SetAside);
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
}

}  // namespace
}  // namespace cardovia::testing
