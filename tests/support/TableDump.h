#pragma once
// The table as text, for golden tests and for the checks every whole-game test
// makes. Cards are named by rank and copy: Xa..Xd the Jokers, 2a..2h the Twos,
// 3a..3d the black threes, 4a..Kh, Aa..Ah, and Ra..Rd the red threes.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace cardovia::testing {

// Compares a text with tests/golden/<name>.golden, printing the lines that
// differ. CARDOVIA_UPDATE_GOLDEN=1 writes the file instead.
void ExpectGolden(const std::string& name, const std::string& actual);

std::string FileText(const std::filesystem::path& path);


std::string CardName(int card);
// The index of a named card; 0 for a name that is no card.
int CardIndex(std::string_view name);
std::string CardNames(const std::vector<int>& cards);

// Every group of cards with its pictures' places, the meld books and labels,
// the scores, the turn's flags and whatever else on the form differs from a
// fresh table window. Empty groups and default values are left out.
std::string DumpTable();

// What is wrong with the table: cards in no valid place and, when the caller
// knows a turn of the player's is starting, counts, books or labels that
// disagree with the cards, Thaddock's cards shown face up. Empty when sound.
std::string TableFaults(bool atTurnStart);

}  // namespace cardovia::testing
