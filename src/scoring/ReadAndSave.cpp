#include "scoring/ReadAndSave.h"

#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "ui/Errors.h"

#include <iostream>

namespace cardovia {

void SavePlayerFile() {
    if (auto error = WritePlayerFile(PlayerFilePath(), CurrentPlayerRecord())) {
        ReportError("SavePlayerFile", error->number, error->description);
    }
}

void ReadPlayerFileAtStartup() {
    const std::string path = PlayerFilePath();
    const ReadResult result = ReadPlayerFile(path);
    ApplyPlayerRecord(result.record);
    if (result.outcome == ReadOutcome::SetAside) {
        std::cerr << "cardovia: " << path << " could not be read; starting with the defaults"
                  << (result.setAsidePath.empty()
                          ? std::string()
                          : "; the old file is kept as " + result.setAsidePath)
                  << '\n';
    }
}

namespace {

constexpr const char* kThaddockKey = "thaddock";
constexpr const char* kExpertValue = "expert";
constexpr const char* kClassicValue = "classic";
constexpr const char* kSoundKey = "sound";
constexpr const char* kSmoothKey = "smooth-motion";
constexpr const char* kFourColourKey = "four-colour-suits";

}  // namespace

void ReadPreferencesAtStartup() {
    CurrentPreferences = ReadPreferences(PreferencesPath());
    ThaddockPlaysExpert = CurrentPreferences.Get(kThaddockKey) == kExpertValue;
    SoundOn = CurrentPreferences.Flag(kSoundKey, true);
    SmoothMotion = CurrentPreferences.Flag(kSmoothKey, true);
    FourColourSuits = CurrentPreferences.Flag(kFourColourKey, false);
}

void SavePreferences() {
    CurrentPreferences.Set(kThaddockKey, ThaddockPlaysExpert ? kExpertValue : kClassicValue);
    CurrentPreferences.SetFlag(kSoundKey, SoundOn);
    CurrentPreferences.SetFlag(kSmoothKey, SmoothMotion);
    CurrentPreferences.SetFlag(kFourColourKey, FourColourSuits);
    if (auto error = WritePreferences(PreferencesPath(), CurrentPreferences)) {
        ReportError("SavePreferences", error->number, error->description);
    }
}

}  // namespace cardovia
