#pragma once

namespace cardovia {

// Writes the player file with the current settings, statistics and game
// totals. A failure is reported and the game goes on; the old file stays whole.
void SavePlayerFile();

// Reads the player file into the settings at start-up. A missing file leaves
// the defaults; an unreadable one is kept aside under another name.
void ReadPlayerFileAtStartup();

// The preferences file: read at start-up (a missing or damaged one gives the
// defaults), written whole when a choice changes; a failure is reported and
// the game goes on.
void ReadPreferencesAtStartup();
void SavePreferences();

}  // namespace cardovia
