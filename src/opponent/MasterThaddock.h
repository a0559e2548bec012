#pragma once
// Master Thaddock: the same turn as Expert Thaddock, through the same
// procedures, pauses and labels, with each choice made by the search over the
// cards he cannot see. He thinks at most a medium-speed pause per choice.

#include <vector>

namespace cardovia {

// Whether he takes the pile this turn, given that he may.
bool MasterTakesPile();
// His melding, step by step as the search chooses.
void MasterMelds();
// His discard.
void MasterDiscards();

// Milliseconds spent thinking in each of his turns, and the deals of the
// unseen cards each searched choice weighed, for the benchmark.
inline std::vector<double> MasterTurnMs;
inline std::vector<int> MasterDealsWeighed;
// The deals of the hidden cards each choice may try, for benchmarks that
// measure strength at a budget of their own; 0 = the clock alone limits it.
inline int MasterSamplesPerChoice = 0;
inline double MasterMsPerChoice = 150.0;

}  // namespace cardovia
