#include "model/Card.h"
#include "model/GameRecord.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"

namespace cardovia {

void ResetModel() {
    TheTable = TableState{};
    ThePlayer = PlayerSettings{};
    ThaddockPlays = ThaddockLevel::Classic;
    FourColourSuits = false;
    SoundOn = SmoothMotion = true;
    GameTotals.clear();
    GameTotalsTarget = kDefaultTarget;
    ++GameTotalsVersion;
    CurrentPreferences = Preferences{};
    GameAbandoned = ProgramEnding = false;
    DelayMs = kMediumSpeed;
    LearningMode = false;
    DelayStart = 0;
}

}  // namespace cardovia
