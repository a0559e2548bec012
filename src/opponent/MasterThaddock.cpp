#include "opponent/MasterThaddock.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "opponent/ExpertThaddock.h"
#include "rules/SideView.h"
#include "strategy/Engine.h"
#include "strategy/Search.h"
#include "ui/Platform.h"
#include "ui/Thinking.h"

#include <chrono>
#include <cstdint>

namespace cardovia {

namespace {

using strategy::Step;

// A whole turn's thinking stays under a second.
constexpr double kTurnThinkingMs = 900.0;
// Below this a choice is left to the engine alone.
constexpr double kLeastThinkingMs = 5.0;
constexpr int kMostSamples = 4000;

double turnMs = 0.0;
// The discard the search chose when it ended the melding; the table has not
// changed since, so it stands.
int chosenDiscard = 0;

std::uint64_t Seed() {
    return static_cast<std::uint64_t>(Sys().Random() * 9007199254740992.0);
}

Step Decide(bool mustDraw) {
    const strategy::View view = SideViewOf(kOpponent, mustDraw);
    const auto start = std::chrono::steady_clock::now();
    Step step;
    const double left = kTurnThinkingMs - turnMs;
    if (MasterSamplesPerChoice == 0 && left < kLeastThinkingMs) {
        step = strategy::NextStep(view);
    } else {
        strategy::SearchBudget budget;
        budget.samples = MasterSamplesPerChoice > 0 ? MasterSamplesPerChoice : kMostSamples;
        budget.ms = MasterSamplesPerChoice > 0 ? 0.0 : std::min(MasterMsPerChoice, left);
        const std::uint64_t seed = Seed();
        int deals = 0;
        ThinkAside([&] {
            const strategy::SearchResult found = strategy::SearchStep(view, budget, seed);
            step = found.step;
            deals = found.samples;
        });
        if (deals > 0) MasterDealsWeighed.push_back(deals);
    }
    turnMs +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return step;
}

bool InHand(int card) {
    return card >= 1 && card <= kDeckSize && Cards[card].Location == OpponentHand;
}

}  // namespace

bool MasterTakesPile() {
    return Decide(true).kind == Step::Kind::TakePile;
}

void MasterMelds() {
    const Step ended = MeldByChoices([] { return Decide(false); }, "MasterMelds");
    if (ended.kind == Step::Kind::Discard) chosenDiscard = ended.cards.front();
}

void MasterDiscards() {
    DiscardByChoice(
        [] {
            if (InHand(chosenDiscard)) return chosenDiscard;
            const Step step = Decide(false);
            return step.kind == Step::Kind::Discard ? step.cards.front() : 0;
        },
        "MasterDiscards");
    // The turn is over: the next one starts afresh.
    MasterTurnMs.push_back(turnMs);
    turnMs = 0.0;
    chosenDiscard = 0;
}

}  // namespace cardovia
