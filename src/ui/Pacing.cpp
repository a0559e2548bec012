#include "ui/Pacing.h"

#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Platform.h"

#include <filesystem>

namespace cardovia {

namespace {

int pausesRunning = 0;

// Waits from DelayStart until DelayStart + DelayMs, reading DelayMs afresh after
// every batch of events. The clock is monotonic, so the wait never wraps.
void WaitFromDelayStart() {
    Platform& sys = Sys();
    auto deadline = [] { return DelayStart + DelayMs; };
    if (deadline() <= sys.NowMs()) return;
    struct Running {
        Running() { ++pausesRunning; }
        ~Running() { --pausesRunning; }
    } running;
    sys.WaitUntil([&sys, &deadline] { return deadline() <= sys.NowMs(); }, deadline);
}

}  // namespace

void Pause() {
    DelayStart = Sys().NowMs();
    if (GameAbandoned) return;
    WaitFromDelayStart();
}

void CardSoundPause() {
    PlaySoundFile(kCardSound);
    DelayStart = Sys().NowMs();
    if (GameAbandoned) return;
    WaitFromDelayStart();
}

bool Pausing() {
    return pausesRunning > 0;
}

void PlaySoundFile(const std::string& fileName) {
    if (SoundOn) Sys().PlaySound((std::filesystem::path(DataDirectory) / fileName).string());
}

void Beep() {
    if (SoundOn) Sys().Beep();
}

}  // namespace cardovia
