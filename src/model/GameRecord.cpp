#include "model/GameRecord.h"

#include "model/PlayerFileFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

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

// Whether the file's last byte ends a line (or the file is empty).
bool EndsWithNewline(int fd, off_t size) {
    char last = '\n';
    return size == 0 || (::pread(fd, &last, 1, size - 1) == 1 && last == '\n');
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
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool header = first && line == kHistoryHeader;
        first = false;
        if (header || line.empty()) continue;
        if (auto entry = ParseHistoryLine(line)) {
            file.games.push_back(*entry);
        } else {
            ++file.damaged;
        }
    }
    return file;
}

std::optional<WriteError> AppendHistory(const std::string& path, const HistoryEntry& entry) {
    std::error_code ec;
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return WriteErrorOf(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return WriteErrorOf(err);
    }
    // A line cut short by a crash stays as it is, on a line of its own.
    std::string text = EndsWithNewline(fd, st.st_size) ? "" : "\n";
    if (st.st_size == 0) text += std::string(kHistoryHeader) + "\n";
    text += HistoryLine(entry) + "\n";
    return WriteToDisk(fd, text);
}

}  // namespace cardovia
