// History.csv as the Game History window reads it: lines of any ending,
// damaged lines counted and skipped, and of a long history only the newest
// games, so that reading it never takes long whatever its length.

#include "model/GameRecord.h"
#include "support/TableTest.h"

#include <fstream>
#include <sstream>

namespace cardovia::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using HistoryFileTest = TableTest;

std::string Summary(const HistoryFile& history) {
    std::ostringstream out;
    out << history.games.size() << " games";
    if (!history.games.empty()) out << ", newest " << HistoryLine(history.games.back());
    if (history.damaged) out << ", " << history.damaged << " damaged";
    if (history.older) out << ", older not read";
    return out.str();
}

TEST_F(HistoryFileTest, LinesOfEveryEndingReadAndDamagedOnesAreCountedNotShown) {
    const std::string header = kHistoryHeader;
    const std::string a = "2026-11-30 21:40,3100,5210,5000,lost,9";
    const std::string b = "2026-12-01 19:05,5120,3880,5000,won,6";
    const std::pair<std::string, std::string> cases[] = {
        {"", "0 games"},
        {header + "\n", "0 games"},
        {header + "\n" + a + "\n" + b + "\n", "2 games, newest " + b},
        {header + "\r\n" + a + "\r\n" + b + "\r\n", "2 games, newest " + b},
        {header + "\r" + a + "\r" + b + "\r", "2 games, newest " + b},
        {a + "\n" + b, "2 games, newest " + b},  // no header, no last line end
        {header + "\n" + a + "\n" + header + "\n", "1 games, newest " + a + ", 1 damaged"},
        {header + "\n" + a + "\n" + b.substr(0, 20), "1 games, newest " + a + ", 1 damaged"},
        {header + "\n" + a +
             "\n2026-12-01 19:05,51\0"
             "20,3880,5000,won,6\n"s,
         "1 games, newest " + a + ", 1 damaged"},
        {std::string(100, '\0') + "\n" + b + "\n", "1 games, newest " + b + ", 1 damaged"},
        {header + "\n" + a + ",extra\n", "0 games, 1 damaged"},
    };
    const std::string path = (dir / kHistoryFileName).string();
    for (const auto& [content, summary] : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        EXPECT_EQ(Summary(ReadHistory(path)), summary) << content;
    }
}

TEST_F(HistoryFileTest, OfAMillionGamesOnlyTheNewestAreReadAndTheNextGameStillJoinsTheEnd) {
    const std::string path = (dir / kHistoryFileName).string();
    {
        std::ofstream out(path, std::ios::binary);
        out << kHistoryHeader << "\n";
        for (int i = 1; i <= 1000000; ++i) {
            out << "2026-12-01 19:05," << i % 1000 << "," << i / 1000 << ",5000,won,6\n";
        }
    }
    EXPECT_EQ(Summary(ReadHistory(path)),
              "10000 games, newest 2026-12-01 19:05,0,1000,5000,won,6, older not read");
    const HistoryEntry next{"2026-12-02 20:00", 100, 5100, 5000, false, 3};
    ASSERT_FALSE(AppendHistory(path, next).has_value());
    const HistoryFile history = ReadHistory(path);
    EXPECT_EQ(HistoryLine(history.games.back()), HistoryLine(next));
    EXPECT_EQ(HistoryLine(history.games.front()), "2026-12-01 19:05,2,990,5000,won,6");
    // One line longer than all that is read is one damaged line.
    std::ofstream(path, std::ios::binary) << std::string(3 * 1024 * 1024, 'x');
    EXPECT_EQ(Summary(ReadHistory(path)), "0 games, 1 damaged, older not read");
}

}  // namespace
}  // namespace cardovia::testing
