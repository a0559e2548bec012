#pragma once
// Where the program finds its sounds and help text and keeps the player file.
//
// Run from its build, the program keeps everything beside itself, as it always has. Installed,
// its directory belongs to the system: the sounds and help text come from the shared data
// directory next to it, and Name.dat lives in the player's own data directory.

#include <filesystem>
#include <string>

namespace cardovia::app {

// The launcher entry, the metadata and the icon all go by this name.
inline constexpr const char* kApplicationId = "io.github.cardovia.Cardovia";

struct Locations {
    std::string programDirectory;
    std::string userDataDirectory;
    std::string dataDirectory;
    std::string iconDirectory;  // the icon theme's folder that holds our icon at each size
    bool installed = false;
};

// `programDirectory` holds the executable; `installedData` is where an installed program's data
// directory is, relative to it; `userDataDirectory` is the player's data directory for the game.
// The program counts as installed when that data directory holds the help text.
Locations ChooseLocations(const std::filesystem::path& programDirectory,
                          const std::filesystem::path& installedData,
                          const std::filesystem::path& userDataDirectory);

// Makes the choice the game's: sets its directories and, when installed, creates the player's
// data directory so that the first save has somewhere to go.
void UseLocations(const Locations& locations);

// The directory that holds Name.dat, Cardovia.ini and History.csv once the locations are in use:
// beside the program when that directory can be written, otherwise the player's data directory.
std::filesystem::path PlayerFileDirectory();

}  // namespace cardovia::app
