#include "scoring/ReadAndSave.h"

#include "model/GameRecord.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/SafeFiles.h"
#include "ui/Errors.h"

#include <filesystem>

namespace cardovia {

std::string PlayerFilesDirectory() {
    return std::filesystem::path(PlayerFilePath()).parent_path().string();
}

void SavePlayerFile() {
    if (auto error = WritePlayerFile(PlayerFilePath(), CurrentPlayerRecord())) {
        ReportError("SavePlayerFile", error->number, error->Report());
        return;
    }
    // The statistics just saved count the game of a note still standing: its
    // line is made sure of in the history and the note goes.
    if (auto error = SettleGameEndNote(PlayerFilesDirectory())) {
        ReportError("SavePlayerFile", error->number, error->Report());
    }
}

std::vector<FileNotice> ReadPlayerFileAtStartup() {
    std::vector<FileNotice> notices;
    const std::string dir = PlayerFilesDirectory();
    // One copy plays from a directory at a time (its lock is taken before the
    // window opens), so a temporary of ours here is a killed save's, however new.
    ClearStaleTempFiles(dir, 0);
    const GameEndFinished finished = FinishGameEnd(dir);
    if (!finished.notice.empty()) notices.push_back({"Last game counted", finished.notice});
    if (finished.record) {
        // Name.dat could not be brought up to date: the note's record counts the game.
        ApplyPlayerRecord(*finished.record);
        return notices;
    }
    const ReadResult result = ReadPlayerFile(PlayerFilePath());
    ApplyPlayerRecord(result.record);
    if (result.outcome == ReadOutcome::SetAside) {
        notices.push_back({"Player file not read", result.Notice()});
    }
    return notices;
}

namespace {

constexpr const char* kThaddockKey = "thaddock";
constexpr const char* kExpertValue = "expert";
constexpr const char* kMasterValue = "master";
constexpr const char* kClassicValue = "classic";
constexpr const char* kSoundKey = "sound";
constexpr const char* kSmoothKey = "smooth-motion";
constexpr const char* kFourColourKey = "four-colour-suits";

}  // namespace

std::vector<FileNotice> ReadPreferencesAtStartup() {
    const PreferencesRead read = ReadPreferences(PreferencesPath());
    CurrentPreferences = read.preferences;
    // Anything but a level this version knows is Classic, the default.
    const std::string level = CurrentPreferences.Get(kThaddockKey).value_or("");
    ThaddockPlays = level == kExpertValue   ? ThaddockLevel::Expert
                    : level == kMasterValue ? ThaddockLevel::Master
                                            : ThaddockLevel::Classic;
    SoundOn = CurrentPreferences.Flag(kSoundKey, true);
    SmoothMotion = CurrentPreferences.Flag(kSmoothKey, true);
    FourColourSuits = CurrentPreferences.Flag(kFourColourKey, false);
    if (!read.setAside) return {};
    return {{"Options file not read", read.Notice()}};
}

void SavePreferences() {
    CurrentPreferences.Set(kThaddockKey, ThaddockPlays == ThaddockLevel::Expert   ? kExpertValue
                                         : ThaddockPlays == ThaddockLevel::Master ? kMasterValue
                                                                                  : kClassicValue);
    CurrentPreferences.SetFlag(kSoundKey, SoundOn);
    CurrentPreferences.SetFlag(kSmoothKey, SmoothMotion);
    CurrentPreferences.SetFlag(kFourColourKey, FourColourSuits);
    if (auto error = WritePreferences(PreferencesPath(), CurrentPreferences)) {
        ReportError("SavePreferences", error->number, error->Report());
    }
}

}  // namespace cardovia
