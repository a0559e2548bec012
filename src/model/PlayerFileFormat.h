#pragma once
// The player file Name.dat: one line of eight comma-separated fields ended by
// CR LF, holding everything that outlives the program. These functions only
// read and write; the game's procedures report failures.

#include <optional>
#include <string>
#include <string_view>

#include "model/Card.h"
#include "model/SafeFiles.h"

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
    std::string path;
    std::string cause;         // why the file was not read
    std::string setAsidePath;  // where an unreadable file was moved to, or empty
    std::string asideCause;    // why it could not be moved, when it could not
    // What the player is told of a file not read: which file, why, and what became of it.
    std::string Notice() const;
};
// Reads the file at path. Anything but a plain file of a well-formed record
// (a link, a folder, a pipe, a file too large or damaged) is renamed to a free
// name beside it (Name.dat.bad, Name.dat.bad1, ...) so that the next save
// cannot overwrite it, and the defaults are returned.
ReadResult ReadPlayerFile(const std::string& path);

// Writes the whole file, never through a link: the file on disk is always
// either the old one or the new one, whole.
std::optional<WriteError> WritePlayerFile(const std::string& path, const PlayerRecord& record);

// The settings and statistics globals as a record, and back.
PlayerRecord CurrentPlayerRecord();
void ApplyPlayerRecord(const PlayerRecord& record);

}  // namespace cardovia
