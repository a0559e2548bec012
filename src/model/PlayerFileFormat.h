#pragma once
// The player file Name.dat: one line of eight comma-separated fields ended by
// CR LF, holding everything that outlives the program. These functions only
// read and write; the game's procedures report failures.

#include <optional>
#include <string>
#include <string_view>

#include "model/Card.h"

namespace cardovia {

inline constexpr const char* kPlayerFileName = "Name.dat";

struct PlayerRecord {
    std::string name = "Player";
    i16 speedDelay = 150;
    i16 gamesWon = 0;
    i16 gamesLost = 0;
    i16 playerScore = 0;
    i16 opponentScore = 0;
    bool blueBacks = false;
    i16 targetScore = 5000;
};

// The directory that holds the program (with its sounds and help text) and the
// user's own data directory, used for the player file when the program's
// directory cannot be written. Set once at start-up.
inline std::string ProgramDirectory = ".";
inline std::string UserDataDirectory;
// Where the sounds and the help text are found: the program's directory when
// the program runs from its build, the shared data directory when installed.
inline std::string DataDirectory = ".";

// Where Name.dat lives: the program's directory when it can be written to,
// otherwise the user's data directory.
std::string PlayerFilePath();

// The file's one line, CR LF included. A double quote in the name would end the
// quoted field early, so it is stored as an apostrophe; line breaks and other
// control characters become blanks so the record stays on one line, and a name
// too long for the file is cut short so the file can always be read again.
std::string FormatPlayerLine(const PlayerRecord& record);

// Parses a file's content; nothing when it is not a well-formed record. The
// name is given as FormatPlayerLine would store it.
std::optional<PlayerRecord> ParsePlayerLine(std::string_view content);

enum class ReadOutcome { Read, Missing, SetAside };
struct ReadResult {
    PlayerRecord record;  // the defaults unless Read
    ReadOutcome outcome = ReadOutcome::Missing;
    std::string setAsidePath;  // where an unreadable file was moved to
};
// Reads the file at path. An unreadable or malformed file is renamed to a free
// name beside it (Name.dat.bad, Name.dat.bad1, ...) so that the next save
// cannot overwrite it, and the defaults are returned.
ReadResult ReadPlayerFile(const std::string& path);

struct WriteError {
    int number;
    std::string description;
};
// Writes the whole file to a temporary beside it and renames it over the old
// one, so the file on disk is always either the old one or the new one, whole.
std::optional<WriteError> WritePlayerFile(const std::string& path, const PlayerRecord& record);
// The same for any file of the program's own: whole, or not at all.
std::optional<WriteError> WriteWholeFile(const std::string& path, const std::string& text);
// Writes all of `text` to an open file, waits until it is on the disk and
// closes the file, closing it on failure too.
std::optional<WriteError> WriteToDisk(int fd, const std::string& text);
// The error a failed write reports, from its errno.
WriteError WriteErrorOf(int err);

// The settings and statistics globals as a record, and back.
PlayerRecord CurrentPlayerRecord();
void ApplyPlayerRecord(const PlayerRecord& record);

}  // namespace cardovia
