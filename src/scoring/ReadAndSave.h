#pragma once

#include <string>
#include <vector>

namespace cardovia {

// The directory that holds Name.dat, Cardovia.ini and History.csv.
std::string PlayerFilesDirectory();

// Writes the player file with the current settings, statistics and game
// totals. A failure is reported, naming the file and the cause, and the game
// goes on; the old file stays whole.
void SavePlayerFile();

// What the start-up has to tell the player about a file: its box's title and text.
struct FileNotice {
    std::string title;
    std::string text;
};

// Reads the player file into the settings at start-up. Before that, the
// temporary files a killed save left are cleared away and a game's end that
// a stop interrupted is finished. A missing file leaves the defaults; an
// unreadable one is kept aside under another name, and the notice says so.
std::vector<FileNotice> ReadPlayerFileAtStartup();

// The preferences file: read at start-up (a missing one gives the defaults, an
// unreadable one is kept aside under another name and the notice says so),
// written whole when a choice changes; a failure is reported and the game goes on.
std::vector<FileNotice> ReadPreferencesAtStartup();
void SavePreferences();

}  // namespace cardovia
