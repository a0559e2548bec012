#include "app/Locations.h"

#include "model/PlayerFileFormat.h"

#include <system_error>

namespace cardovia::app {

namespace fs = std::filesystem;

Locations ChooseLocations(const fs::path& programDirectory, const fs::path& installedData,
                          const fs::path& userDataDirectory) {
    const fs::path shared = (programDirectory / installedData).lexically_normal();
    // The build writes the icons where an install puts them, beside the shared data directory.
    const std::string icons = (shared.parent_path() / "icons" / "hicolor").string();
    std::error_code ec;
    if (!fs::is_regular_file(shared / "help.txt", ec)) {
        return {programDirectory.string(), userDataDirectory.string(), programDirectory.string(),
                icons, false};
    }
    // Installed, the player file never goes beside the program, even where that directory
    // happens to be writable (a home-made prefix): one player, one Name.dat.
    return {userDataDirectory.string(), userDataDirectory.string(), shared.string(), icons, true};
}

void UseLocations(const Locations& locations) {
    ProgramDirectory = locations.programDirectory;
    UserDataDirectory = locations.userDataDirectory;
    DataDirectory = locations.dataDirectory;
    if (locations.installed && !locations.userDataDirectory.empty()) {
        // A failure here shows later, when the game saves and reports it in its own words.
        std::error_code ec;
        fs::create_directories(locations.userDataDirectory, ec);
    }
}

fs::path PlayerFileDirectory() {
    return fs::path(PlayerFilePath()).parent_path();
}

}  // namespace cardovia::app
