#pragma once
// The totals of the game in progress after each hand, for the score chart; and
// the finished games kept in History.csv beside the player file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/PlayerFileFormat.h"

namespace cardovia {

struct HandTotals {
    int player = 0;
    int thaddock = 0;
};

// The game totals after each scored hand of the game in progress, or of the
// last finished game; emptied when a new game starts.
inline std::vector<HandTotals> GameTotals;
// The target score of that game.
inline int GameTotalsTarget = 5000;
// Counts every change of the two above, so a window showing them knows it is old.
inline std::uint64_t GameTotalsVersion = 0;

inline constexpr const char* kHistoryFileName = "History.csv";
inline constexpr const char* kHistoryHeader = "date,your total,Thaddock's total,target,result,hands";

struct HistoryEntry {
    std::string when;  // local "YYYY-MM-DD HH:MM"
    int player = 0;
    int thaddock = 0;
    int target = 0;
    bool won = false;
    int hands = 0;
};

struct HistoryFile {
    std::vector<HistoryEntry> games;  // in the file's order, oldest first
    int damaged = 0;                  // lines skipped (they stay in the file)
};

// History.csv in the directory that holds Name.dat.
std::string HistoryPath();
std::string HistoryLine(const HistoryEntry& entry);
std::optional<HistoryEntry> ParseHistoryLine(const std::string& line);
// A missing file gives no games.
HistoryFile ReadHistory(const std::string& path);
// Appends one line (the header first when the file is new or empty), flushed
// to the disk before it returns.
std::optional<WriteError> AppendHistory(const std::string& path, const HistoryEntry& entry);

}  // namespace cardovia
