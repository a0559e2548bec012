#include "model/GameRecord.h"

#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/SafeFiles.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <string_view>

#include <sys/stat.h>

namespace cardovia {

namespace {

constexpr int kFields = 6;
constexpr int kLargestTotal = 999999;

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ',')) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

std::optional<int> Number(const std::string& text, int lowest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || at != end || text.empty()) return std::nullopt;
    if (value < lowest || value > kLargestTotal) return std::nullopt;
    return value;
}

// "YYYY-MM-DD HH:MM", digits where digits stand.
bool IsDateTime(const std::string& text) {
    static constexpr std::string_view kShape = "0000-00-00 00:00";
    if (text.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (kShape[i] == '0' ? !digit : text[i] != kShape[i]) return false;
    }
    return true;
}

// The lines of a text whose lines end in LF, CR LF or CR alone; empty lines
// are left out.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) lines.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return lines;
}

}  // namespace

std::string HistoryPath() {
    return (std::filesystem::path(PlayerFilePath()).parent_path() / kHistoryFileName).string();
}

std::string HistoryLine(const HistoryEntry& e) {
    return e.when + "," + std::to_string(e.player) + "," + std::to_string(e.thaddock) + "," +
           std::to_string(e.target) + "," + (e.won ? "won" : "lost") + "," +
           std::to_string(e.hands);
}

std::optional<HistoryEntry> ParseHistoryLine(const std::string& line) {
    const std::vector<std::string> f = Split(line);
    if (static_cast<int>(f.size()) != kFields || !IsDateTime(f[0])) return std::nullopt;
    const auto player = Number(f[1], -kLargestTotal);
    const auto thaddock = Number(f[2], -kLargestTotal);
    const auto target = Number(f[3], 0);
    const auto hands = Number(f[5], 1);
    if (!player || !thaddock || !target || !hands || (f[4] != "won" && f[4] != "lost")) {
        return std::nullopt;
    }
    return HistoryEntry{f[0], *player, *thaddock, *target, f[4] == "won", *hands};
}

HistoryFile ReadHistory(const std::string& path) {
    HistoryFile file;
    const FileRead text = ReadFileEnd(path, kHistoryTailBytes);
    if (text.found == FileFound::Missing) return file;
    if (text.found != FileFound::Read) {
        file.problem = path + " could not be read: " + text.cause + ".";
        return file;
    }
    std::vector<std::string_view> lines = Lines(text.text);
    // A read that starts inside the file starts inside a line, most likely; a
    // read without a line break is all of one line longer than the read.
    if (text.cut && !lines.empty()) lines.erase(lines.begin());
    if (text.cut && text.text.find_first_of("\r\n") == std::string::npos) ++file.damaged;
    const bool fromStart = !text.cut;
    std::size_t first = 0;
    if (lines.size() > static_cast<std::size_t>(kHistoryMostLines)) {
        first = lines.size() - kHistoryMostLines;
    }
    file.older = text.cut || first > 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const std::string line(lines[i]);
        if (fromStart && i == 0 && line == kHistoryHeader) continue;
        if (auto entry = ParseHistoryLine(line)) {
            file.games.push_back(*entry);
        } else {
            ++file.damaged;
        }
    }
    return file;
}

std::optional<WriteError> AppendHistory(const std::string& path, const HistoryEntry& entry,
                                        std::uint64_t* at, std::string* added) {
    return AppendToFile(
        path,
        [&](const AppendPoint& point) {
            // A line cut short by a crash stays as it is, on a line of its own.
            std::string text = point.endsLine ? "" : "\n";
            if (point.size == 0) text += std::string(kHistoryHeader) + "\n";
            text += HistoryLine(entry) + "\n";
            if (added) *added = text;
            return text;
        },
        at);
}

namespace {

constexpr const char* kNoteVersion = "Cardovia game end 1";
constexpr std::size_t kLongestNote = 64 * 1024;

struct GameEndNote {
    std::uint64_t historySize = 0;  // History.csv's size before its line was added
    std::string game;               // the line
    std::string player;             // Name.dat's line, without its line end
    bool forgetKeptHand = false;
};

std::string NoteText(const GameEndNote& note) {
    return std::string(kNoteVersion) + "\nhistory-size=" + std::to_string(note.historySize) +
           "\ngame=" + note.game + "\nplayer=" + note.player +
           "\nforget-kept-hand=" + (note.forgetKeptHand ? "1" : "0") + "\n";
}

std::optional<GameEndNote> ParseNote(const std::string& text) {
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.size() != 5 || lines[0] != kNoteVersion) return std::nullopt;
    auto value = [&](std::size_t i, std::string_view key) -> std::optional<std::string> {
        const std::string_view line = lines[i];
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != '=') {
            return std::nullopt;
        }
        return std::string(line.substr(key.size() + 1));
    };
    GameEndNote note;
    const auto size = value(1, "history-size");
    const auto game = value(2, "game");
    const auto player = value(3, "player");
    const auto hand = value(4, "forget-kept-hand");
    if (!size || !game || !player || !hand || (*hand != "0" && *hand != "1")) return std::nullopt;
    const auto [end, error] =
        std::from_chars(size->data(), size->data() + size->size(), note.historySize);
    if (error != std::errc{} || end != size->data() + size->size()) return std::nullopt;
    if (!ParseHistoryLine(*game) || !ParsePlayerLine(*player)) return std::nullopt;
    note.game = *game;
    note.player = *player;
    note.forgetKeptHand = *hand == "1";
    return note;
}

std::string InDir(const std::string& dir, const char* name) {
    return (std::filesystem::path(dir) / name).string();
}

// Whether the line stands whole, as a line of its own, in what was added to
// History.csv from the note's size on.
bool LineAddedSince(const std::string& path, const GameEndNote& note) {
    const FileRead added = ReadFileFrom(path, note.historySize, kLongestNote);
    if (added.found != FileFound::Read) return false;
    std::size_t start = 0;
    for (std::size_t end; (end = added.text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        if (added.text.compare(start, end - start, note.game) == 0 &&
            end - start == note.game.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace

GameEndWritten WriteGameEnd(const std::string& dir, const GameEnd& end) {
    const std::string notePath = InDir(dir, kGameEndNoteName);
    const std::string history = InDir(dir, kHistoryFileName);
    GameEndNote note;
    struct stat st {};
    if (::lstat(history.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        note.historySize = static_cast<std::uint64_t>(st.st_size);
    }
    note.game = HistoryLine(end.game);
    const std::string line = FormatPlayerLine(end.record);
    note.player = line.substr(0, line.find('\r'));
    note.forgetKeptHand = end.forgetKeptHand;

    GameEndWritten written;
    // A note that cannot be removed stays and counts the game, so the game must count.
    auto withdrawNote = [&] { written.counted = RemoveFile(notePath).has_value(); };
    if ((written.error = WriteWholeFile(notePath, NoteText(note)))) return written;
    std::uint64_t at = 0;
    std::string added;
    if ((written.error = AppendHistory(history, end.game, &at, &added))) {
        withdrawNote();
        return written;
    }
    if ((written.error = WritePlayerFile(InDir(dir, kPlayerFileName), end.record))) {
        // Taken back, the game is in neither file; otherwise the note counts it.
        if (TakeBackAddition(history, at, added)) {
            written.counted = true;
        } else {
            withdrawNote();
        }
        return written;
    }
    written.counted = written.saved = true;
    if (end.forgetKeptHand) {
        // A finished game's kept hand that stayed could be played to its end again.
        if ((written.error = RemoveFile(InDir(dir, kHandFileName)))) return written;
    }
    // A note that stays only does again what is done.
    RemoveFile(notePath);
    return written;
}

GameEndFinished FinishGameEnd(const std::string& dir) {
    GameEndFinished finished;
    const std::string notePath = InDir(dir, kGameEndNoteName);
    const FileRead text = ReadSmallFile(notePath, kLongestNote);
    if (text.found == FileFound::Missing) return finished;
    const std::optional<GameEndNote> note =
        text.found == FileFound::Read ? ParseNote(text.text) : std::nullopt;
    if (!note) {
        const SetAsideResult aside = SetAside(notePath);
        const std::string cause =
            text.found == FileFound::Read ? "it is not a note the game wrote" : text.cause;
        finished.notice =
            "The note of a game's end " + notePath + " could not be read: " + cause + ". " +
            (aside.aside.empty()
                 ? "It could not be moved aside (" + aside.cause + ") and is left as it is."
                 : "It was kept aside as " + aside.aside + ".") +
            " History.csv and Name.dat stay as they are.";
        return finished;
    }
    const std::string history = InDir(dir, kHistoryFileName);
    const std::string player = InDir(dir, kPlayerFileName);
    const std::string hand = InDir(dir, kHandFileName);
    const HistoryEntry game = *ParseHistoryLine(note->game);
    // Only what is not yet done is done, and the player is told only when something was.
    bool changed = false;
    std::optional<WriteError> error;
    if (!LineAddedSince(history, *note)) {
        changed = true;
        error = AppendHistory(history, game);
    }
    const std::string playerLine = note->player + "\r\n";
    const FileRead playerNow = ReadSmallFile(player, kLongestNote);
    if (!error && (playerNow.found != FileFound::Read || playerNow.text != playerLine)) {
        changed = true;
        error = WriteWholeFile(player, playerLine);
    }
    struct stat st {};
    if (!error && note->forgetKeptHand && ::lstat(hand.c_str(), &st) == 0) {
        changed = true;
        error = RemoveFile(hand);
    }
    if (!error) error = RemoveFile(notePath);
    const std::string which = "The game that ended when Cardovia last stopped (" + game.when +
                              ", " + (game.won ? "won " : "lost ") + std::to_string(game.player) +
                              " to " + std::to_string(game.thaddock) + ")";
    if (error) {
        finished.record = ParsePlayerLine(note->player);
        finished.notice = which + " is counted, but its files could not be brought up to date: " +
                          error->sentence + " This is tried again at the next save and start.";
        return finished;
    }
    if (changed) {
        finished.notice =
            which + " has now been counted in the statistics and added to the game history.";
    }
    return finished;
}

std::optional<WriteError> SettleGameEndNote(const std::string& dir) {
    const std::string notePath = InDir(dir, kGameEndNoteName);
    const FileRead text = ReadSmallFile(notePath, kLongestNote);
    if (text.found != FileFound::Read) return std::nullopt;
    const std::optional<GameEndNote> note = ParseNote(text.text);
    if (!note) return std::nullopt;  // the next start sets it aside and says so
    const std::string history = InDir(dir, kHistoryFileName);
    if (!LineAddedSince(history, *note)) {
        if (auto error = AppendHistory(history, *ParseHistoryLine(note->game))) return error;
    }
    return RemoveFile(notePath);
}

}  // namespace cardovia
