#pragma once
// The preferences file Cardovia.ini beside the player file: key=value lines
// for the choices the player file has no field for. Keys the program does not
// know are kept as they stand when the file is written back; a line without
// "=" is ignored, and a key missing or with a bad value gives its default.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/PlayerFileFormat.h"

namespace cardovia {

inline constexpr const char* kPreferencesFileName = "Cardovia.ini";

class Preferences {
  public:
    // The value of a key, or nothing.
    std::optional<std::string> Get(const std::string& key) const;
    bool Flag(const std::string& key, bool fallback) const;
    void Set(const std::string& key, const std::string& value);
    void SetFlag(const std::string& key, bool on) { Set(key, on ? "1" : "0"); }
    std::string Text() const;
    static Preferences Parse(const std::string& text);

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Cardovia.ini in the directory that holds Name.dat.
std::string PreferencesPath();
struct PreferencesRead {
    Preferences preferences;  // none unless the file was read
    bool setAside = false;    // the file was there but could not be read
    std::string path;
    std::string cause;         // why it was not read
    std::string setAsidePath;  // where it was moved to, or empty
    std::string asideCause;    // why it could not be moved, when it could not
    // What the player is told of a file not read: which file, why, and what became of it.
    std::string Notice() const;
};
// A missing file gives no entries. One that cannot be read (a link, a
// folder, a pipe, larger than the program writes, or holding a NUL byte) is
// kept aside as Cardovia.ini.bad, so that the next choice saved does not
// overwrite it, and gives no entries.
PreferencesRead ReadPreferences(const std::string& path);
std::optional<WriteError> WritePreferences(const std::string& path, const Preferences& prefs);

// Which Thaddock plays: Classic (the default), Expert (the strategy engine) or
// Master (the engine's search over the cards he cannot see).
enum class ThaddockLevel { Classic, Expert, Master };
inline ThaddockLevel ThaddockPlays = ThaddockLevel::Classic;
// Options > Sound: off, no sound is played and nothing beeps.
inline bool SoundOn = true;
// Options > Smooth Motion: cards glide between their places rather than jump.
inline bool SmoothMotion = true;
// Options > Four-Colour Suits: clubs green and diamonds blue, for cards drawn from then on.
inline bool FourColourSuits = false;

// The preferences read at start-up and written back whenever one changes.
inline Preferences CurrentPreferences;

}  // namespace cardovia
