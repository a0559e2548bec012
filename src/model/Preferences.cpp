#include "model/Preferences.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace cardovia {

namespace {

constexpr std::size_t kLongestFile = 64 * 1024;  // anything longer is not ours

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> Preferences::Get(const std::string& key) const {
    for (const auto& [k, v] : entries_) {
        if (k == key) return v;
    }
    return std::nullopt;
}

bool Preferences::Flag(const std::string& key, bool fallback) const {
    const auto value = Get(key);
    if (value == "1") return true;
    if (value == "0") return false;
    return fallback;
}

void Preferences::Set(const std::string& key, const std::string& value) {
    for (auto& [k, v] : entries_) {
        if (k == key) {
            v = value;
            return;
        }
    }
    entries_.emplace_back(key, value);
}

std::string Preferences::Text() const {
    std::string text;
    for (const auto& [k, v] : entries_) text += k + "=" + v + "\n";
    return text;
}

Preferences Preferences::Parse(const std::string& text) {
    Preferences prefs;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trimmed(line.substr(0, eq));
        if (key.empty() || prefs.Get(key)) continue;
        prefs.entries_.emplace_back(key, Trimmed(line.substr(eq + 1)));
    }
    return prefs;
}

std::string PreferencesPath() {
    return (std::filesystem::path(PlayerFilePath()).parent_path() / kPreferencesFileName).string();
}

Preferences ReadPreferences(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    if (std::filesystem::file_size(path, ec) > kLongestFile || ec) return {};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return Preferences::Parse(text.str());
}

std::optional<WriteError> WritePreferences(const std::string& path, const Preferences& prefs) {
    return WriteWholeFile(path, prefs.Text());
}

}  // namespace cardovia
