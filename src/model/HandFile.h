#pragma once
// The hand in progress kept on disk, so that a closed, killed or crashed
// program picks up exactly where the player left off. Hand.dat lies beside
// Name.dat: a version line, the table's whole state field by field, and a
// checksum of all that comes before it.

#include <optional>
#include <string>
#include <vector>

#include "model/GameRecord.h"
#include "model/Preferences.h"
#include "model/Table.h"

namespace cardovia {

inline constexpr const char* kHandFileName = "Hand.dat";
inline constexpr const char* kHandFileVersion = "Cardovia hand 1";

inline bool operator==(const HandTotals& a, const HandTotals& b) {
    return a.player == b.player && a.thaddock == b.thaddock;
}

// What a kept hand holds beyond the table itself.
struct KeptHand {
    TableState table;
    ThaddockLevel level = ThaddockLevel::Classic;  // which Thaddock plays
    bool atResults = false;          // the hand is scored; its results wait for Carry On
    std::vector<HandTotals> totals;  // the game's totals after each hand so far
    int totalsTarget = 5000;
    std::vector<std::string> results;  // the results panel's figures, in the form's order
    bool exitShown = false;            // the results panel offers Exit and Save
    bool operator==(const KeptHand&) const = default;
};

// Hand.dat beside the player file.
std::string HandFilePath();

std::string FormatKeptHand(const KeptHand& hand);
// The body of a kept hand with its checksum line after it.
std::string SealKeptHand(const std::string& body);
// The kept hand, or why the text is not one: damaged, cut short, another
// version, or a table that cannot be (a card in two places, 107 cards, counts
// that do not agree with the cards).
struct KeptHandRead {
    std::optional<KeptHand> hand;
    std::string fault;
};
KeptHandRead ParseKeptHand(const std::string& text);

}  // namespace cardovia
