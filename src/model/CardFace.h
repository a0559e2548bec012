#pragma once
// A card's face in words, as a player would say it: "Nine of Clubs", "Joker".

#include <string>

namespace cardovia {

// The face of card 1..108; empty for any other number.
std::string FaceName(int card);
// A rank code's name, one card or many: "King", "Kings"; "Six", "Sixes".
std::string RankName(int rank, bool plural);

}  // namespace cardovia
