// The simulator held to the game: seeded whole games and a table of the
// game's rarer quirks, played through the game's own procedures and on the
// simulator side by side (the lockstep itself is shared with the strategy
// benchmark), and the simulator finishing hands on its own.

#include "scoring/HandScoring.h"
#include "strategy/Engine.h"
#include "strategy/Simulator.h"
#include "support/Lockstep.h"
#include "support/TableTest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

namespace cardovia::testing {
namespace {

using strategy::SimSeat;
using strategy::Simulator;
using strategy::Step;
using strategy::View;
using strategy::Where;
using Kind = Step::Kind;

constexpr int kMostStepsInAHand = 3000;

class SimulatorTest : public TableTest {
  protected:
    void PlayGames(std::uint64_t first, int count, const Mischief& mischief, Views views) {
        lockstep.PlayGames(first, count, mischief, views);
        InstallPlatform(&sys);  // the games leave none: the fixture's serves the rest of the test
    }
    // A table set up by a script, then steps of the side to move on it and on
    // the simulator: what each step was answered, and the simulator's table.
    std::string PlaySituation(const std::string& script, const std::vector<Step>& steps);
    const LockstepResult& Tally() const { return lockstep.Result(); }
    void Report(const std::string& what) const {
        std::printf("%s\n", Tally().Counts(what).c_str());
    }

    Lockstep lockstep;
};

// The simulator's table in one line: the hands, the melds, the pile and the turn.
std::string Outline(const Simulator& s) {
    int held[2] = {};
    int pile = 0;
    for (int i = 1; i <= kDeckSize; ++i) {
        held[s.cards[i].seat] += s.cards[i].where == Where::Hand ? 1 : 0;
        pile += s.cards[i].where == Where::Pile ? 1 : 0;
    }
    std::string out = "hands " + std::to_string(held[0]) + "/" + std::to_string(held[1]);
    for (int seat = 0; seat < 2; ++seat) {
        std::string melds;
        for (int r = 1; r <= kMeldRanks; ++r) {
            const auto& m = s.seats[seat].melds[r];
            if (m.count == 0) continue;
            melds += std::string(" ") + "?A23456789TJQK"[r] + "x" + std::to_string(m.count) +
                     (m.wild ? "w" + std::to_string(m.wild) : "") +
                     (m.sinceWild ? "+" + std::to_string(m.sinceWild) : "");
        }
        if (!melds.empty()) out += ", melds " + std::to_string(seat) + ":" + melds;
    }
    out += ", pile " + std::to_string(pile) + (s.top ? " under " + CardName(s.top) : "");
    out += ", seat " + std::to_string(s.toMove) +
           (s.mustDraw && !s.hasDrawn ? " to draw" : " to play");
    if (s.mustDraw && s.hasDrawn) out += ", a draw owed";
    const SimSeat& player = s.seats[0];
    if (!player.opened && player.minimumLeft > 0) {
        out += ", minimum " + std::to_string(player.minimumLeft);
    }
    if (s.seats[0].penalty != 0) out += ", penalty " + std::to_string(s.seats[0].penalty);
    return out + (s.HandOver() ? ", hand over" : "");
}

std::string SimulatorTest::PlaySituation(const std::string& script,
                                         const std::vector<Step>& steps) {
    sys = HeadlessPlatform{};
    FreshTable();
    Play(script);
    // The running figures, as the moves that laid the script's melds would leave them.
    for (int side : {kPlayer, kOpponent}) GetHandScores(side), GetBonusScores(side);
    std::string answers;
    for (const bool accepted : lockstep.PlaySteps(steps)) answers += accepted ? "yes " : "no ";
    return answers + "| " + Outline(lockstep.Sim());
}

TEST_F(SimulatorTest, TwoHundredSeededGamesPlayTheSameOnTheSimulatorStepByStep) {
    PlayGames(1, 200, {}, Views::Compared);
    Report("engine on both sides");
    EXPECT_EQ(Tally().divergences, 0) << Tally().Summary();
    EXPECT_EQ(Tally().stuck, 0);
    EXPECT_GE(Tally().hands, 200);
}

TEST_F(SimulatorTest, RefusalsTakeBackAndThaddocksUncheckedMeldsPlayTheSame) {
    PlayGames(1001, 60, {.playerEvery = 4, .thaddockEvery = 6, .takeBackAfterLaying = true},
              Views::Compared);
    Report("random steps among the engine's");
    EXPECT_EQ(Tally().divergences, 0) << Tally().Summary();
    // The seeds reach what they are here for.
    EXPECT_GT(Tally().refused, 100);
    EXPECT_GT(Tally().takeBacks, 50);
    EXPECT_GT(Tally().penalties, 5);
}

TEST_F(SimulatorTest, AValueBuiltFromOneSidesViewAndThePlacedHiddenCardsIsTheTable) {
    PlayGames(2001, 20, {.playerEvery = 5, .thaddockEvery = 0, .takeBackAfterLaying = true},
              Views::AlsoRebuilt);
    Report("built from views");
    EXPECT_EQ(Tally().divergences, 0) << Tally().Summary();
}

std::vector<int> Named(const std::string& names) {
    std::vector<int> cards;
    for (std::size_t at = 0; at < names.size(); at += 3)
        cards.push_back(CardIndex(names.substr(at, 2)));
    return cards;
}

TEST_F(SimulatorTest, TheGamesQuirksThatSeededPlayRarelyReachPlayTheSame) {
    const struct {
        const char* title;
        std::string script;
        std::vector<Step> steps;
        std::string outcome;
    } cases[] = {
        {"with a canasta the last black threes go down three at a time, then the last card",
         "h1=3a,3b,3c,9a h2=4b,4c,4d open1 canasta1 m1K=Ka-Kg turn drawn",
         {StepOf(Kind::Lay, 3, Named("3a")), StepOf(Kind::Discard, 0, Named("9a"))},
         "yes yes | hands 0/3, melds 0: 3x3 Kx7, pile 1 under 9a, seat 1 to draw, hand over"},
        {"without one a black three goes down alone as a meld no discard checks",
         "h1=3a,3b,3c,9a h2=4b,4c,4d open1 m1K=Ka,Kb,Kc turn drawn",
         {StepOf(Kind::Lay, 3, Named("3a,3b,3c")), StepOf(Kind::Discard, 0, Named("9a"))},
         "no yes | hands 2/3, melds 0: 3x1 Kx3, pile 1 under 9a, seat 1 to draw"},
        {"a press on a pile card under the top takes the pile; the meld stops at three",
         "h1=9a,9b,5a,6a h2=4b,4c,4d p=9c,4a,9d open1 m1K=Ka,Kb,Kc turn",
         {StepOf(Kind::Lay, 9, Named("9c"))},
         "yes | hands 4/3, melds 0: 9x3 Kx3, pile 0 under 9d, seat 0 to play"},
        {"a meld already past three takes every card of its rank from the hand",
         "h1=9a,9b,9c,5a h2=4b,4c,4d p=9d open1 m19=9e,9f,9g,9h turn",
         {StepOf(Kind::TakePile, 0, Named("9d"))},
         "yes | hands 1/3, melds 0: 9x8, pile 0 under 9d, seat 0 to play"},
        {"taking the pile goes out when the meld takes the last cards",
         "h1=Ka,Kb h2=4b,4c,4d p=Kc open1 canasta1 m1Q=Qa-Qg turn",
         {StepOf(Kind::TakePile, 0, Named("Kc"))},
         "yes | hands 0/3, melds 0: Qx7 Kx3, pile 0 under Kc, seat 1 to draw, hand over"},
        {"Take Back gives the pile's meld back at a cost; the rest of the pile stays in hand",
         "h1=Ka,Kb,5a,6a,7a h2=4b,4c,4d p=4a,Kc min1=50 turn",
         {StepOf(Kind::TakePile, 0, Named("Kc")), StepOf(Kind::TakeBack), StepOf(Kind::DrawStock)},
         "yes yes yes | hands 8/3, pile 1 under Kc, seat 0 to play, minimum 50, penalty 50"},
        {"a wild card chosen and left stays marked: the next press on it only lets it go",
         "h1=2a,2b,Ka,Kb,9a h2=4b,4c,4d open1 m1K=Kc,Kd,Ke turn drawn",
         {StepOf(Kind::AddWild, 9, Named("2a")), StepOf(Kind::AddWild, 13, Named("2b")),
          StepOf(Kind::AddWild, 13, Named("2a")), StepOf(Kind::AddWild, 13, Named("2a"))},
         "no yes no yes | hands 3/3, melds 0: Kx5w2+2, pile 0, seat 0 to play"},
        {"an unfinished meld and an unmet minimum refuse the discard until taken back",
         "h1=Ka,Kb,Kc,9a,5a h2=4b,4c,4d min1=50 turn drawn",
         {StepOf(Kind::Lay, 13, Named("Ka")), StepOf(Kind::Discard, 0, Named("9a")),
          StepOf(Kind::Lay, 13, Named("Kb,Kc")), StepOf(Kind::Discard, 0, Named("9a")),
          StepOf(Kind::TakeBack), StepOf(Kind::Discard, 0, Named("9a"))},
         "yes no yes no yes yes | hands 4/3, pile 1 under 9a, seat 1 to draw, minimum 50"},
        {"unopened, Take Back puts back the minimum of cards it leaves, twice for a short meld",
         "h1=Ka,Kb,Kc,9a,5a h2=4b,4c,4d m13=3a min1=50 turn drawn",
         {StepOf(Kind::Lay, 13, Named("Ka,Kb,Kc")), StepOf(Kind::TakeBack)},
         "yes yes | hands 5/3, melds 0: 3x1, pile 0, seat 0 to play, a draw owed, minimum 60"},
        {"a wild card taken back leaves the count since it, and the meld stays mixed",
         "h1=Ka,Kb,Kc,Kd,2a,9a h2=4b,4c,4d min1=200 turn drawn",
         {StepOf(Kind::Lay, 13, Named("Ka,Kb,Kc")), StepOf(Kind::AddWild, 13, Named("2a")),
          StepOf(Kind::Lay, 13, Named("Kd")), StepOf(Kind::TakeBack),
          StepOf(Kind::Lay, 13, Named("Ka,Kb,Kc"))},
         "yes yes yes yes yes | hands 3/3, melds 0: Kx3+4, pile 0, seat 0 to play, a draw owed, "
         "minimum 170"},
        {"the last card without a canasta stays in the hand, and the turn passes",
         "h1=9a h2=4b,4c,4d open1 m1K=Ka,Kb,Kc turn drawn",
         {StepOf(Kind::Discard, 0, Named("9a"))},
         "yes | hands 1/3, melds 0: Kx3, pile 0, seat 1 to draw"},
        {"Thaddock's melds are not checked: black threes, Twos, a wild card alone",
         "h2=3a,3b,2a,2c,9a,9b,Xa h1=4b,4c,4d ingame",
         {StepOf(Kind::Lay, 3), StepOf(Kind::Lay, 2), StepOf(Kind::AddWild, 9, Named("Xa")),
          StepOf(Kind::Discard, 0, Named("9a"))},
         "yes yes yes yes | hands 3/1, melds 1: 2x2 3x2 9x1w1+1, pile 1 under 9a, seat 0 to draw"},
        {"a step Thaddock's melding cannot play ends it; only his discard is left",
         "h2=9a,9b,9c,Ka,Kb,Kc,5a h1=4b,4c,4d ingame",
         {StepOf(Kind::AddWild, 9, Named("Xa")), StepOf(Kind::Lay, 9),
          StepOf(Kind::Discard, 0, Named("5a"))},
         "no no yes | hands 3/6, pile 1 under 5a, seat 0 to draw"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaySituation(c.script, c.steps), c.outcome) << c.title;
    }
    EXPECT_EQ(Tally().divergences, 0) << Tally().Summary();
}

// The engine on both sides of the simulator alone, as the search plays on:
// a refused step of the player's is followed by a discard, Thaddock's turn
// ends when his discard is refused.
int PlayOut(Simulator& s) {
    for (int steps = 0; steps < kMostStepsInAHand; ++steps) {
        if (s.HandOver()) return steps;
        const int seat = s.toMove;
        const View view = s.ViewOf(seat);
        const Step step = strategy::NextStep(view);
        if (s.Apply(step)) continue;
        if (view.mustDraw) {
            s.Apply(StepOf(Kind::DrawStock));
        } else if (seat == 1) {
            s.EndTurn();
        } else {
            const Step discard = strategy::NextStep(s.ViewOf(seat));
            if (discard.kind != Kind::Discard || !s.Apply(discard)) return -1;
        }
    }
    return -1;
}

TEST_F(SimulatorTest, TheEngineFinishesEveryHandOnTheSimulatorAlone) {
    PlayGames(1, 20, {}, Views::Compared);
    ASSERT_EQ(Tally().divergences, 0) << Tally().Summary();
    // Each deal's stock in an order of its own, as the game's random draws would give.
    std::mt19937 rng(1);
    std::vector<Simulator> deals = lockstep.Deals();
    for (Simulator& s : deals) std::shuffle(s.stock.begin(), s.stock.end(), rng);
    int hands = 0;
    int unfinished = 0;
    const auto start = std::chrono::steady_clock::now();
    double ms = 0;
    while (ms < 1000.0 || hands < static_cast<int>(deals.size())) {
        Simulator s = deals[static_cast<std::size_t>(hands) % deals.size()];
        unfinished += PlayOut(s) < 0 ? 1 : 0;
        ++hands;
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
    }
    std::printf("[ simulator ] %d hands played out in %.0f ms: %.0f hands a second\n", hands, ms,
                hands * 1000.0 / ms);
    EXPECT_EQ(unfinished, 0);
}

}  // namespace
}  // namespace cardovia::testing
