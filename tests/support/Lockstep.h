#pragma once
// The rules of a hand as one copyable value, held to the game itself. Whole
// seeded games are played through the game's own procedures with the engine
// choosing on both sides; each step is played on a Simulator built from the
// table at the deal, and after every step the two must agree on every card,
// book, flag, view and score. A difference is told with its seed, hand, turn
// and step, so it reads like a bug report and the seed replays it.
//
// No test framework here: the tests count the divergences and require none,
// the strategy benchmark prints how many it found.

#include "strategy/Simulator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cardovia::testing {

// Steps chosen at random in place of the engine's, one in `every` (0: none), so
// the refusals, Take Back and Thaddock's unchecked melds are played too.
struct Mischief {
    int playerEvery = 0;
    int thaddockEvery = 0;
    bool takeBackAfterLaying = false;  // a turn that lays before opening often takes it back
};

// Whether the table is also rebuilt from the view of the side to move after
// every step, with the cards that side cannot see placed as they truly lie.
enum class Views { Compared, AlsoRebuilt };

// A step of the side to move.
strategy::Step StepOf(strategy::Step::Kind kind, int rank = 0, std::vector<int> cards = {});

// Where the game and the simulator first parted.
struct Divergence {
    std::uint64_t seed = 0;  // 0 for a table set up by hand
    int hand = 0;            // counted from 1 in the game
    int turn = 0;            // counted from 1 in the hand
    std::string step;        // the step after which they differ, e.g. "the player's Discard [...]"
    std::string field;       // the first thing that differs, with both values

    std::string Text() const;
};

struct LockstepResult {
    int games = 0;
    int hands = 0;
    int steps = 0;        // steps after which the two were compared
    int divergences = 0;  // hands in which they parted; a hand is compared up to its first
    int refused = 0;      // steps of the player's the game refused
    int takeBacks = 0;
    int pileTaken = 0;
    int penalties = 0;  // hands that ended with a Take Back's penalty
    int wentOut = 0;
    int fromViews = 0;              // tables rebuilt from a view and compared
    int stuck = 0;                  // games given up: the player's turn could not end
    std::vector<Divergence> first;  // the first few divergences, in the order met

    // The first few divergences, one a line.
    std::string Summary() const;
    // The counts on one line, headed by `what`.
    std::string Counts(const std::string& what) const;
};

class Lockstep {
  public:
    Lockstep();
    ~Lockstep();
    Lockstep(const Lockstep&) = delete;
    Lockstep& operator=(const Lockstep&) = delete;

    // The games from seeds `first` to `first + count - 1`, each from a fresh
    // table on a headless platform and in a program directory of its own. The
    // model is left as the last game leaves it, and no platform installed.
    void PlayGames(std::uint64_t first, int count, const Mischief& mischief = {},
                   Views views = Views::Compared);
    // The steps of the side to move on the table as it stands, under the
    // platform installed, compared after each as in a game: what each step was
    // answered. A new hand of its own, with seed 0.
    std::vector<bool> PlaySteps(const std::vector<strategy::Step>& steps);

    // Everything played so far on this object.
    const LockstepResult& Result() const;
    // The simulator as the last step left it.
    const strategy::Simulator& Sim() const;
    // Each hand of the games as dealt, for the simulator's own play.
    const std::vector<strategy::Simulator>& Deals() const;

  private:
    struct Driver;
    std::unique_ptr<Driver> driver_;
};

// What the strategy benchmark reports: seeded games from `firstSeed` with the
// engine on both sides (and `mischief`'s random steps among its own).
LockstepResult PlayLockstepGames(std::uint64_t firstSeed, int games, const Mischief& mischief = {});

}  // namespace cardovia::testing
