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
inline constexpr const char* kHistoryHeader =
    "date,your total,Thaddock's total,target,result,hands";

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
    bool older = false;               // the file holds older lines that were not read
    std::string problem;              // why the file could not be read, as a sentence
};

// History.csv in the directory that holds Name.dat.
std::string HistoryPath();
std::string HistoryLine(const HistoryEntry& entry);
std::optional<HistoryEntry> ParseHistoryLine(const std::string& line);
// A missing file gives no games. Only the newest lines are read (the last
// kHistoryMostLines of the last kHistoryTailBytes), so a history of any
// length reads in a moment; lines may end in LF, CR LF or CR alone. Anything
// but a plain file (a link, a folder, a pipe, a device) is not opened and
// gives the problem instead.
inline constexpr int kHistoryMostLines = 10000;
inline constexpr std::size_t kHistoryTailBytes = 2 * 1024 * 1024;
HistoryFile ReadHistory(const std::string& path);
// Appends one line whole (the header first when the file is new or empty),
// on the disk before it returns; a line that cannot be written whole leaves
// nothing of itself behind. `at` and `added` receive where the addition began
// and what it was, so that it can be taken back.
std::optional<WriteError> AppendHistory(const std::string& path, const HistoryEntry& entry,
                                        std::uint64_t* at = nullptr, std::string* added = nullptr);

// The end of a game changes three files that must agree: its line joins
// History.csv, Name.dat counts it, and the kept hand of the finished game goes.
// No two files change at one stroke, so the change is first written whole into
// a note beside them; the note goes once all three are done, and a note found
// at start-up means a stop came in between and the start finishes the job.
// (History.csv alone cannot tell a stop before Name.dat was saved from the
// statistics deleted since, and Name.dat has no room for a mark.)
inline constexpr const char* kGameEndNoteName = ".Cardovia.game-end";

struct GameEnd {
    HistoryEntry game;            // its line in History.csv
    PlayerRecord record;          // Name.dat with the game counted
    bool forgetKeptHand = false;  // Hand.dat goes too
};
struct GameEndWritten {
    // The game is in History.csv and counted in Name.dat; or a note stays
    // that counts it at the next start or after the next save of Name.dat,
    // and until then the program counts it.
    bool counted = false;
    bool saved = false;  // History.csv and Name.dat both hold it now
    std::optional<WriteError> error;
};
// Writes a game's end into the files in dir. When a step fails, those before
// it are undone: a game that is not counted is not in the history either.
GameEndWritten WriteGameEnd(const std::string& dir, const GameEnd& end);

struct GameEndFinished {
    std::string notice;  // empty when there was nothing to finish; otherwise for the player
    // When the note could not be carried out and stays: the player file it
    // holds, for the program to go on with (so that it counts the game).
    std::optional<PlayerRecord> record;
};
// At start-up, before Name.dat is read: finishes a game's end that a stop
// interrupted.
GameEndFinished FinishGameEnd(const std::string& dir);
// After Name.dat has been saved with the statistics the program holds (which
// count the game of any note still there): the note's line is made sure of
// in History.csv and the note goes. The kept hand is left: by now it may be
// another game's.
std::optional<WriteError> SettleGameEndNote(const std::string& dir);

}  // namespace cardovia
