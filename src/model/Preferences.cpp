#include "model/Preferences.h"

#include <algorithm>
#include <filesystem>
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
    // Lines may end in LF, CR LF or CR alone, as the editor that last saved the file chose.
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    std::istringstream in(lines);
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

std::string PreferencesRead::Notice() const {
    if (!setAside) return {};
    const std::string became = setAsidePath.empty() ? "It could not be moved aside (" + asideCause +
                                                          ") and is left as it is"
                                                    : "It was kept aside as " + setAsidePath;
    return "The options file " + path + " could not be read: " + cause + ". " + became +
           "; the options start from their defaults.";
}

PreferencesRead ReadPreferences(const std::string& path) {
    PreferencesRead result;
    result.path = path;
    const FileRead file = ReadSmallFile(path, kLongestFile);
    if (file.found == FileFound::Missing) return result;
    if (file.found == FileFound::Read && file.text.find('\0') == std::string::npos) {
        result.preferences = Preferences::Parse(file.text);
        return result;
    }
    result.cause = file.found == FileFound::Read ? "it holds bytes that are not text" : file.cause;
    result.setAside = true;
    const SetAsideResult aside = SetAside(path);
    result.setAsidePath = aside.aside;
    result.asideCause = aside.cause;
    return result;
}

std::optional<WriteError> WritePreferences(const std::string& path, const Preferences& prefs) {
    return WriteWholeFile(path, prefs.Text());
}

}  // namespace cardovia
