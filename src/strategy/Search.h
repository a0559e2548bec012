#pragma once
// The search on top of the engine. At a decision it lists the steps worth
// weighing, deals the cards the side cannot see in many ways that agree with
// what it has seen (its card memory included), and plays every candidate on
// with the engine on both sides over the same deals; the candidate with the
// best average result is chosen. It reads the view alone: two tables that
// look the same to the side give the same decisions for the same seed.

#include "strategy/View.h"

#include <cstdint>
#include <vector>

namespace cardovia::strategy {

struct SearchBudget {
    int samples = 400;     // deals of the hidden cards, at most
    double ms = 0.0;       // wall clock, 0 for no limit but the samples
    int horizonTurns = 8;  // turns played on before the hand is judged as it stands
};

struct ScoredStep {
    Step step;
    double mean = 0.0;  // the side's result less the other's, on average
    int samples = 0;
};

struct SearchResult {
    Step step;                           // the step chosen
    std::vector<ScoredStep> candidates;  // best first
    int samples = 0;                     // deals tried
    double ms = 0.0;
};

// The best step for the side of `view`, as `budget` allows; `seed` draws the deals.
SearchResult SearchStep(const View& view, const SearchBudget& budget, std::uint64_t seed);

// The steps weighed at this point of the side's turn, the engine's own first.
std::vector<Step> CandidateSteps(const View& view);

// Whether the side has laid anything this turn that Take Back would return.
bool HasAnythingToTakeBack(const View& view);

}  // namespace cardovia::strategy
