#pragma once
// How the program touches the player's files: a file is written whole or not
// at all, a line is added whole or not at all, and a file is read only when it
// is a plain file of a size the game could have written. A symbolic link is
// never followed and anything that is not a plain file is left as it is.
// Every failure names the file and says why.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cardovia {

// Why a file could not be written, in two forms: the game's own error number
// and description for its error box, and a sentence naming the file and the
// cause ("Could not save /home/jo/Name.dat: No space left on device.").
struct WriteError {
    int number = 75;
    std::string description = "Path/File access error";
    std::string sentence;
    // What the error box shows after the number: the description, then the sentence.
    std::string Report() const;
};

// Writes text as the whole of the file: to a new temporary file beside it,
// created under a name of its own (".Name.dat.x7Rq2b.tmp"), put on the disk,
// renamed over the file and the rename put on the disk too. The file is then
// the old one or the new one, whole, whatever happens. A path that is a
// symbolic link or anything but a plain file is refused and left alone.
std::optional<WriteError> WriteWholeFile(const std::string& path, const std::string& text);

// Where an addition goes: the file's size and whether its last byte ends a
// line (true for an empty or missing file).
struct AppendPoint {
    std::uint64_t size = 0;
    bool endsLine = true;
};
// Adds what `compose` makes of the file as it stands to its end, in one write,
// and puts it on the disk; a missing file is created. Only a plain file is
// added to. When the write fails (a full disk) the file is cut back to its
// size before, so no part of the addition stays. `at` receives where the
// addition began.
std::optional<WriteError> AppendToFile(
    const std::string& path, const std::function<std::string(const AppendPoint&)>& compose,
    std::uint64_t* at = nullptr);
// Takes back an addition: the file is cut back to `at` if it still ends with
// exactly `text` there.
std::optional<WriteError> TakeBackAddition(const std::string& path, std::uint64_t at,
                                           const std::string& text);

enum class FileFound {
    Missing,   // nothing by that name: the defaults, and no one is told
    Read,      // the text is the file's
    Link,      // a symbolic link: not followed
    NotPlain,  // a folder, a named pipe, a device or a socket: not opened
    TooLarge,  // larger than the game's own file could be
    Failed,    // the system would not give it
};
struct FileRead {
    FileFound found = FileFound::Missing;
    std::string text;
    std::uint64_t size = 0;  // the size of the whole file
    bool cut = false;        // only its end was read
    std::string cause;       // why it was not read, for a sentence
};
// Reads a whole plain file of at most `limit` bytes.
FileRead ReadSmallFile(const std::string& path, std::size_t limit);
// Reads the last `limit` bytes of a plain file of any size (all of a smaller one).
FileRead ReadFileEnd(const std::string& path, std::size_t limit);
// Reads at most `limit` bytes from `offset` on.
FileRead ReadFileFrom(const std::string& path, std::uint64_t offset, std::size_t limit);

// A file that cannot be read is renamed (a link itself, never what it points
// to) to the first free name of path.bad, path.bad1, ... so that nothing can
// overwrite it. Either the new path or why it could not be moved.
struct SetAsideResult {
    std::string aside;
    std::string cause;
};
SetAsideResult SetAside(const std::string& path);

// Removes a file (a link itself, never what it points to) and puts its
// removal on the disk; a missing file is no error.
std::optional<WriteError> RemoveFile(const std::string& path);

// Whether a file name is one of the temporary names WriteWholeFile gives the
// program's own files (".Name.dat.x7Rq2b.tmp"), or the fixed names earlier
// versions used ("Name.dat.tmp").
bool IsOurTemporaryName(const std::string& name);
// Removes the temporary files a killed save left in dir: plain files with
// our temporary names, owned by this user and untouched for `olderThanSeconds`
// (so a save running at this moment in another copy keeps its own). Nothing
// else is touched. Returns how many went.
int ClearStaleTempFiles(const std::string& dir, int olderThanSeconds = 60);

// For tests: each step of the functions above asks this first; an error
// number makes the step fail with it, as the system would. A failing write
// writes part of its bytes first, as a disk that fills up does.
enum class FileStep { Create, Write, Sync, Rename, SyncDirectory, Truncate, Remove };
using FileFault = int (*)(FileStep step, const std::string& path);
void SetFileFaultForTests(FileFault fault);

}  // namespace cardovia
