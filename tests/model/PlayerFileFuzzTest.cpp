// The player file under attack: hostile contents from a seeded generator and
// from a small corpus of files, fed to the parser and to the reader. Whatever
// the file holds, the program must not crash, must start with valid settings,
// must never lose a file it cannot read, and what it reads it must write back
// so that it reads the same again.

#include "model/PlayerFile.h"
#include "scoring/PlayerFile.h"
#include "support/TestTable.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const fs::path kCorpus = fs::path(__FILE__).parent_path() / "corpus";

// Settings the game can run with, and a name that fits the record's one line.
::testing::AssertionResult Valid(const PlayerRecord& r) {
    if (r.speedDelay < 1 || r.speedDelay > 10000) {
        return ::testing::AssertionFailure() << "speed " << r.speedDelay;
    }
    if (r.targetScore < 500 || r.targetScore > 5000) {
        return ::testing::AssertionFailure() << "target " << r.targetScore;
    }
    if (r.gamesWon < 0 || r.gamesLost < 0) {
        return ::testing::AssertionFailure() << "won " << r.gamesWon << " lost " << r.gamesLost;
    }
    for (const char c : r.name) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            return ::testing::AssertionFailure() << "a name the line cannot hold: " << r.name;
        }
    }
    return ::testing::AssertionSuccess();
}

bool Same(const PlayerRecord& a, const PlayerRecord& b) {
    return a.name == b.name && a.speedDelay == b.speedDelay && a.gamesWon == b.gamesWon &&
           a.gamesLost == b.gamesLost && a.playerScore == b.playerScore &&
           a.opponentScore == b.opponentScore && a.blueBacks == b.blueBacks &&
           a.targetScore == b.targetScore;
}

std::string Printable(const std::string& content) {
    std::string shown;
    for (const char c : content.substr(0, 160)) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f) {
            shown += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            shown += hex;
        }
    }
    if (content.size() > 160) shown += "... (" + std::to_string(content.size()) + " bytes)";
    return shown;
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
    EXPECT_TRUE(Same(*again, *record)) << "written as " << Printable(written) << ", read back as "
                                       << Printable(FormatPlayerLine(*again));
}

// Hostile contents: a valid line torn in every way a disk, an editor or an
// attacker might tear it, and things that were never a line at all.
class HostileLines {
  public:
    explicit HostileLines(std::uint64_t seed) : rng_(seed) {}

    std::string Next() {
        const int dice = Roll(100);
        if (dice < 1) return Binary(64 * 1024 - 8 + Roll(16));  // around the size limit
        if (dice < 4) return WithLongName();
        if (dice < 12) return Empty();
        if (dice < 20) return Binary(Roll(200));
        if (dice < 35) return Fields(Roll(12));
        if (dice < 55) return ValidLine();
        return Mutated(Roll(2) ? ValidLine() : Fields(8));
    }

  private:
    int Roll(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    char Byte() { return static_cast<char>(Roll(256)); }

    std::string Empty() {
        static const std::vector<std::string> kEmpty = {
            "", "\r\n", "\n", " ", "\0"s, "\r", ",,,,,,,", "\"\"", "\xef\xbb\xbf"};
        return kEmpty[Roll(static_cast<int>(kEmpty.size()))];
    }

    std::string Binary(int size) {
        std::string s(static_cast<std::size_t>(size), '\0');
        for (std::size_t i = 0; i < s.size(); i += 8) {
            const std::uint64_t bits = rng_();
            for (std::size_t k = 0; k < 8 && i + k < s.size(); ++k) {
                s[i + k] = static_cast<char>(bits >> (8 * k));
            }
        }
        return s;
    }

    std::string Number() {
        static const std::vector<std::string> kNumbers = {
            // in and out of the ranges the game accepts
            "0", "1", "-1", "75", "150", "300", "499", "500", "5000", "5001", "10000", "10001",
            // at and beyond 16 bits
            "32767", "32768", "-32768", "-32769", "99999999999999999999",
            // nearly numbers
            "+5", " 7 ", "", "1e3", "0x10", "--1", "1.5", "\t150", "007", "٣", "-0"};
        if (Roll(4) == 0) return std::to_string(Roll(70000) - 35000);
        return kNumbers[Roll(static_cast<int>(kNumbers.size()))];
    }

    std::string Flag() {
        static const std::vector<std::string> kFlags = {"#TRUE#", "#FALSE#", "#true#", "#False#",
                                                        "TRUE",   "#TRUE",   "",       " #TRUE# ",
                                                        "1",      "#MAYBE#"};
        return kFlags[Roll(static_cast<int>(kFlags.size()))];
    }

    std::string Name() {
        static const std::vector<std::string> kNames = {
            "\"Player\"",     "Player",     "\"Smith, Ann\"", "\"Ann",           "Ann\"",
            "\"\"",           "\"A\"B\"",   "\"tab\there\"",  "\"ctl\x01\x1f\"", "\"Zoë\"",
            "  \"spaced\"  ", "\"#TRUE#\"", "\"\x7f\"",       "\"\xff\xfe\""};
        return kNames[Roll(static_cast<int>(kNames.size()))];
    }

    std::string Field(int index) {
        if (index == 0) return Name();
        if (index == 6) return Flag();
        return Number();
    }

    std::string Fields(int count) {
        std::string line;
        for (int i = 0; i < count; ++i) {
            if (i > 0) line += ',';
            line += Field(i % 8);
        }
        static const std::vector<std::string> kEnds = {
            "\r\n", "\n", "", "\r", "\r\n\r\n", "\r\ngarbage", "\n\"X\",1,2,3,4,5,#TRUE#,600"};
        return line + kEnds[Roll(static_cast<int>(kEnds.size()))];
    }

    // A record the game could have written, with any name at all.
    std::string ValidLine() {
        auto in = [this](int low, int high) { return std::to_string(low + Roll(high - low + 1)); };
        return Name() + "," + in(1, 10000) + "," + in(0, 32767) + "," + in(0, 32767) + "," +
               in(-32768, 32767) + "," + in(-32768, 32767) + "," +
               (Roll(2) ? "#TRUE#" : "#FALSE#") + "," + in(500, 5000) + (Roll(3) ? "\r\n" : "");
    }

    std::string WithLongName() {
        static const std::vector<std::string> kPieces = {"a",    ",",    "\"",     " ",  "é", "\t",
                                                         "\x01", "日本", "#TRUE#", "\r", "\n"};
        std::string chunk;
        for (int i = 0; i < 40; ++i) {
            chunk += Roll(4) == 0 ? kPieces[Roll(static_cast<int>(kPieces.size()))] : "x";
        }
        std::string name;
        const std::size_t length = Roll(3) == 0 ? 60000 + Roll(10000) : Roll(3000);
        while (name.size() < length) name += chunk;
        name.resize(length);
        const bool quoted = Roll(2) == 0;
        return (quoted ? "\"" + name + "\"" : name) + ",150,1,2,3,4,#FALSE#,5000\r\n";
    }

    // A valid line with a few random bytes inserted, deleted or replaced, or
    // a quote, a NUL or a line break put at a random place.
    std::string Mutated(std::string line) {
        for (int n = 1 + Roll(4); n > 0; --n) {
            const auto at = static_cast<std::size_t>(Roll(static_cast<int>(line.size()) + 1));
            switch (Roll(7)) {
                case 0:
                    line.insert(at, 1, Byte());
                    break;
                case 1:
                    if (at < line.size()) line.erase(at, 1);
                    break;
                case 2:
                    if (at < line.size()) line[at] = Byte();
                    break;
                case 3:
                    line.insert(at, 1, '"');
                    break;
                case 4:
                    line.insert(at, 1, '\0');
                    break;
                case 5:
                    line.insert(at, Roll(2) ? "\r\n" : "\n");
                    break;
                case 6:
                    line.insert(at, ",");
                    break;
            }
        }
        return line;
    }

    std::mt19937_64 rng_;
};

std::uint64_t Seed() {
    const char* text = std::getenv("CARDOVIA_FUZZ_SEED");
    return text ? std::strtoull(text, nullptr, 10) : 20240611;
}

// ---- the parser ----

TEST(PlayerFileFuzz, HostileLinesNeverGiveSettingsTheGameCannotUse) {
    const std::uint64_t seed = Seed();
    SCOPED_TRACE("CARDOVIA_FUZZ_SEED=" + std::to_string(seed));
    HostileLines lines(seed);
    int parsed = 0;
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        const std::string content = lines.Next();
        CheckParse(content);
        parsed += ParsePlayerLine(content).has_value();
    }
    // The generator reaches the parser's accepting paths too, not only its refusals.
    EXPECT_GT(parsed, 2000);
}

TEST(PlayerFileFuzz, ANameAsLongAsTheFileMayHoldStillReadsBackAfterItIsWritten) {
    // A name that only just fits the size limit when the file is read must
    // still fit once it is written back with its quotes and line end.
    const std::string fields = ",150,0,0,0,0,#FALSE#,5000";
    const std::string name(64 * 1024 - fields.size(), 'n');
    ASSERT_TRUE(ParsePlayerLine(name + fields).has_value());
    CheckParse(name + fields);
    // Cut where it is cut, a name of two-byte letters keeps whole letters.
    std::string letters;
    while (letters.size() < 64 * 1024) letters += "é";
    PlayerRecord record;
    record.name = letters;
    const auto back = ParsePlayerLine(FormatPlayerLine(record));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name.size() % 2, 0u);
    EXPECT_EQ(back->name.substr(back->name.size() - 2), "é");
}

// ---- the reader, on disk ----

class PlayerFileOnDisk : public TableTest {
  protected:
    std::string path() const { return (dir / kPlayerFileName).string(); }
    void Write(const std::string& content) const {
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << content;
    }

    // Reads the file: valid settings either way; a file not read is kept
    // aside byte for byte; and what was read writes back to read the same.
    void CheckRead(const std::string& content) {
        SCOPED_TRACE(Printable(content));
        for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
        Write(content);
        const ReadResult first = ReadPlayerFile(path());
        ASSERT_TRUE(Valid(first.record));
        if (first.outcome == ReadOutcome::SetAside) {
            EXPECT_FALSE(fs::exists(path()));
            ASSERT_FALSE(first.setAsidePath.empty());
            EXPECT_EQ(FileText(first.setAsidePath), content);
            EXPECT_TRUE(Same(first.record, PlayerRecord{}));
            EXPECT_FALSE(ParsePlayerLine(content).has_value());
        } else {
            ASSERT_EQ(first.outcome, ReadOutcome::Read);
            const auto parsed = ParsePlayerLine(content);
            ASSERT_TRUE(parsed.has_value());
            EXPECT_TRUE(Same(first.record, *parsed));
        }
        ASSERT_FALSE(WritePlayerFile(path(), first.record).has_value());
        const ReadResult second = ReadPlayerFile(path());
        ASSERT_EQ(second.outcome, ReadOutcome::Read);
        EXPECT_TRUE(Same(second.record, first.record));
    }
};

TEST_F(PlayerFileOnDisk, HostileFilesStartTheGameWithValidSettingsAndAreNeverLost) {
    const std::uint64_t seed = Seed() + 1;
    SCOPED_TRACE("CARDOVIA_FUZZ_SEED=" + std::to_string(seed - 1));
    HostileLines lines(seed);
    for (int i = 0; i < 300 && !HasFailure(); ++i) CheckRead(lines.Next());
}

TEST_F(PlayerFileOnDisk, TheCorpusOfFilesFoundOnceReadsAsItDidThen) {
    // Files named read-* are records the game must accept, aside-* are files
    // it must keep aside; every one must leave valid settings behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string content = FileText(entry.path());
        CheckParse(content);
        CheckRead(content);
        const bool read = ParsePlayerLine(content).has_value();
        if (name.rfind("read-", 0) == 0) {
            EXPECT_TRUE(read);
        } else {
            EXPECT_FALSE(read);
        }
        ++files;
    }
    EXPECT_GE(files, 8);
}

TEST_F(PlayerFileOnDisk, ANameLongerThanTheFileMayHoldStillStartsTheNextGameWithItsStatistics) {
    // The name box takes any length; the file must stay readable all the same.
    PlayerName = std::string(70000, 'N');
    GamesWon = 12;
    GamesLost = 30;
    SavePlayerFile();
    ResetModel();
    ReadPlayerFileAtStartup();
    EXPECT_EQ(GamesWon, 12);
    EXPECT_EQ(GamesLost, 30);
    EXPECT_EQ(PlayerName, std::string(PlayerName.size(), 'N'));
    EXPECT_GT(PlayerName.size(), 60000u);
    EXPECT_FALSE(fs::exists(path() + ".bad"));
}

TEST_F(PlayerFileOnDisk, AnythingButARegularFileIsKeptAsideNotFollowed) {
    fs::create_directory(path());
    ReadResult result = ReadPlayerFile(path());
    EXPECT_EQ(result.outcome, ReadOutcome::SetAside);
    EXPECT_TRUE(Valid(result.record));
    EXPECT_TRUE(fs::is_directory(result.setAsidePath));
    EXPECT_FALSE(fs::exists(path()));

    fs::create_symlink("/dev/zero", path());
    result = ReadPlayerFile(path());
    EXPECT_EQ(result.outcome, ReadOutcome::SetAside);
    EXPECT_TRUE(Valid(result.record));
    EXPECT_FALSE(fs::exists(fs::symlink_status(path())));
}

}  // namespace
}  // namespace cardovia::testing
