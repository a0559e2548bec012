#include "opponent/ExpertThaddock.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "rules/Discarding.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "rules/SideView.h"
#include "scoring/HandScoring.h"
#include "strategy/Engine.h"
#include "ui/Errors.h"

#include <chrono>
#include <functional>

namespace cardovia {

namespace {

using strategy::Step;

// More steps than any hand holds cards: the melding always ends.
constexpr int kMostMeldSteps = 40;

double decidingMs = 0.0;

Step Decide(bool mustDraw) {
    const auto start = std::chrono::steady_clock::now();
    Step step = strategy::NextStep(SideViewOf(kOpponent, mustDraw));
    decidingMs +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return step;
}

bool InHand(int card) {
    return card >= 1 && card <= kDeckSize && Cards[card].Location == OpponentHand;
}

}  // namespace

bool ExpertTakesPile() {
    decidingMs = 0.0;
    return Decide(true).kind == Step::Kind::TakePile;
}

void ExpertMelds() {
    MeldByChoices([] { return Decide(false); }, "ExpertMelds");
}

void ExpertDiscards() {
    DiscardByChoice(
        [] {
            const Step step = Decide(false);
            return step.kind == Step::Kind::Discard ? step.cards.front() : 0;
        },
        "ExpertDiscards");
    ExpertDecisionMs.push_back(decidingMs);
}

Step MeldByChoices(const std::function<Step()>& choose, const char* procedure) {
    Step ended;
    Trap(procedure, [&] {
        for (int n = 0; n < kMostMeldSteps && HandCount[kOpponent] > 0 && !GameAbandoned; ++n) {
            EstablishPoints(kOpponent);
            const Step step = choose();
            if (step.kind == Step::Kind::Lay) {
                MeldCardsHand(kOpponent, step.rank);
            } else if (step.kind == Step::Kind::AddWild && InHand(step.cards.front())) {
                AddWildCard(step.cards.front(), step.rank, kOpponent);
            } else {
                ended = step;
                break;
            }
        }
        GetBonusScores(kOpponent);
        SortHand(kOpponent);
        DelayMs = SpeedDelay;
    });
    return ended;
}

void DiscardByChoice(const std::function<int()>& choose, const char* procedure) {
    Trap(procedure, [&] {
        if (!ThaddockMayDiscard() || GameAbandoned) return;
        EstablishPoints(kOpponent);
        if (const int card = choose(); InHand(card)) MakeDiscard(kOpponent, card);
    });
}

}  // namespace cardovia
