#include "model/PlayerFileFormat.h"

#include "model/Settings.h"
#include "model/Table.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace cardovia {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;  // a real record is a few dozen bytes
constexpr int kFieldCount = 8;
constexpr i16 kMinTarget = 500;
constexpr i16 kMaxTarget = 5000;
constexpr i16 kMaxSpeed = 10000;
// Room in the file for the quotes, the other seven fields and the line end.
constexpr std::size_t kMaxNameBytes = kMaxFileBytes - 64;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<i16> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!Fits16(value)) return std::nullopt;
    return static_cast<i16>(value);
}

std::optional<bool> ParseFlag(std::string_view text) {
    text = Trim(text);
    auto same = [&](std::string_view word) {
        if (text.size() != word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
        }
        return true;
    };
    if (same("#TRUE#")) return true;
    if (same("#FALSE#")) return false;
    return std::nullopt;
}

// Splits the line into fields; the first may be quoted and then holds commas.
std::optional<std::vector<std::string_view>> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::string_view rest = line;
    std::size_t lead = 0;
    while (lead < rest.size() && rest[lead] == ' ') ++lead;
    rest.remove_prefix(lead);
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) return std::nullopt;
        fields.push_back(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        rest = Trim(rest);
        if (rest.empty() || rest.front() != ',') return std::nullopt;
        rest.remove_prefix(1);
    } else {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) return std::nullopt;
        fields.push_back(Trim(rest.substr(0, comma)));
        rest.remove_prefix(comma + 1);
    }
    while (true) {
        const std::size_t comma = rest.find(',');
        fields.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return fields;
}

// The name as the record's one line can hold it: a double quote would end the
// quoted field early, a line break would end the record, and a name longer
// than the file may be would make the whole file unreadable. The cut never
// splits a UTF-8 sequence.
std::string StorableName(std::string_view name) {
    if (name.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name = name.substr(0, cut);
    }
    std::string stored(name);
    for (char& c : stored) {
        if (c == '"') {
            c = '\'';
        } else if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return stored;
}

bool DirectoryWritable(const std::string& dir) {
    return !dir.empty() && ::access(dir.c_str(), W_OK) == 0;
}

}  // namespace

std::string PlayerFilePath() {
    if (DirectoryWritable(ProgramDirectory) || UserDataDirectory.empty()) {
        return (fs::path(ProgramDirectory) / kPlayerFileName).string();
    }
    return (fs::path(UserDataDirectory) / kPlayerFileName).string();
}

std::string FormatPlayerLine(const PlayerRecord& r) {
    std::ostringstream out;
    out << '"' << StorableName(r.name) << "\"," << r.speedDelay << ',' << r.gamesWon << ','
        << r.gamesLost << ',' << r.playerScore << ',' << r.opponentScore << ','
        << (r.blueBacks ? "#TRUE#" : "#FALSE#") << ',' << r.targetScore << "\r\n";
    return out.str();
}

std::optional<PlayerRecord> ParsePlayerLine(std::string_view content) {
    if (content.size() > kMaxFileBytes) return std::nullopt;
    const std::size_t end = content.find_first_of("\r\n");
    const std::string_view line = content.substr(0, end);
    if (line.find('\0') != std::string_view::npos) return std::nullopt;
    const auto fields = SplitFields(line);
    if (!fields || fields->size() != kFieldCount) return std::nullopt;
    const auto& f = *fields;
    PlayerRecord r;
    // Read as it will be written again, so that a file read once reads the
    // same after the next save.
    r.name = StorableName(f[0]);
    const auto speed = ParseNumber(f[1]);
    const auto won = ParseNumber(f[2]);
    const auto lost = ParseNumber(f[3]);
    const auto mine = ParseNumber(f[4]);
    const auto his = ParseNumber(f[5]);
    const auto blue = ParseFlag(f[6]);
    const auto target = ParseNumber(f[7]);
    if (!speed || !won || !lost || !mine || !his || !blue || !target) return std::nullopt;
    if (*speed < 1 || *speed > kMaxSpeed || *won < 0 || *lost < 0) return std::nullopt;
    if (*target < kMinTarget || *target > kMaxTarget) return std::nullopt;
    r.speedDelay = *speed;
    r.gamesWon = *won;
    r.gamesLost = *lost;
    r.playerScore = *mine;
    r.opponentScore = *his;
    r.blueBacks = *blue;
    r.targetScore = *target;
    return r;
}

std::string ReadResult::Notice() const {
    if (outcome != ReadOutcome::SetAside) return {};
    const std::string became = setAsidePath.empty() ? "It could not be moved aside (" + asideCause +
                                                          ") and is left as it is"
                                                    : "It was kept aside as " + setAsidePath;
    return "The player file " + path + " could not be read: " + cause + ". " + became +
           "; the game starts with the defaults.";
}

ReadResult ReadPlayerFile(const std::string& path) {
    ReadResult result;
    result.path = path;
    const FileRead file = ReadSmallFile(path, kMaxFileBytes);
    if (file.found == FileFound::Missing) return result;
    if (file.found == FileFound::Read) {
        if (auto record = ParsePlayerLine(file.text)) {
            result.record = *record;
            result.outcome = ReadOutcome::Read;
            return result;
        }
        result.cause = "it does not hold a player's record";
    } else {
        result.cause = file.cause;
    }
    result.outcome = ReadOutcome::SetAside;
    const SetAsideResult aside = SetAside(path);
    result.setAsidePath = aside.aside;
    result.asideCause = aside.cause;
    return result;
}

std::optional<WriteError> WritePlayerFile(const std::string& path, const PlayerRecord& record) {
    return WriteWholeFile(path, FormatPlayerLine(record));
}

PlayerRecord CurrentPlayerRecord() {
    PlayerRecord r;
    r.name = PlayerName;
    r.speedDelay = SpeedDelay;
    r.gamesWon = GamesWon;
    r.gamesLost = GamesLost;
    r.playerScore = GameScore[kPlayer];
    r.opponentScore = GameScore[kOpponent];
    r.blueBacks = CardBack;
    r.targetScore = TargetScore;
    return r;
}

void ApplyPlayerRecord(const PlayerRecord& r) {
    PlayerName = r.name;
    SpeedDelay = r.speedDelay;
    GamesWon = r.gamesWon;
    GamesLost = r.gamesLost;
    GameScore[kPlayer] = r.playerScore;
    GameScore[kOpponent] = r.opponentScore;
    CardBack = r.blueBacks;
    TargetScore = r.targetScore;
}

}  // namespace cardovia
