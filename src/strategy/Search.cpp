#include "strategy/Search.h"

#include "strategy/Engine.h"
#include "strategy/Pack.h"
#include "strategy/Simulator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <numeric>
#include <string>

namespace cardovia::strategy {

namespace {

using Clock = std::chrono::steady_clock;

// A game won or lost at the end of a hand outweighs any hand's margin.
constexpr double kGameWonReward = 3000.0;
// Steps one side may take in a turn before a play-out counts it as stuck.
constexpr int kMostStepsInATurn = 60;
// Deals tried before the clock is first read, so even a tiny budget weighs
// every candidate over more than one deal.
constexpr int kSamplesBeforeClock = 2;
// After this many deals a candidate far behind the best is dropped.
constexpr int kSamplesBeforePruning = 24;
constexpr double kPruneMargin = 3.0;  // standard errors

// A small, fast generator of its own, so a search is the same on every machine.
struct Random {
    std::uint64_t state;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
};

int SeatOf(const View& v) {
    return v.thaddockSeat ? kThaddockSeat : kPlayerSeat;
}

// --- What the side cannot see -------------------------------------------------

// The cards the side cannot place: not in its hand, on no meld, not in the
// pile, not on a red-three board and not remembered in the other hand.
struct Hidden {
    std::vector<int> known;  // in the other hand for certain
    std::vector<int> pool;   // the other hand's unknown cards and the stock, in any order
    int otherUnknown = 0;    // how many of the pool the other hand holds
};

Hidden HiddenCards(const View& v) {
    std::array<bool, kPackSize + 1> seen{};
    auto see = [&](const SeenCard& c) {
        if (c.id >= 1 && c.id <= kPackSize) seen[c.id] = true;
    };
    for (const SeenCard& c : v.hand) see(c);
    for (const SeenCard& c : v.pile) see(c);
    for (const SideView& s : v.sides) {
        for (const SeenCard& c : s.meldCards) see(c);
    }
    Hidden h;
    for (const SeenCard& c : v.sides[1].heldFromPile) {
        if (c.id >= 1 && c.id <= kPackSize && !seen[c.id]) h.known.push_back(c.id), see(c);
    }
    // The boards' red threes: the first ones not seen elsewhere, as the
    // simulator places them.
    int onBoards = v.sides[0].redThrees + v.sides[1].redThrees;
    for (int id = kFirstRedThreeCard; id <= kLastRedThreeCard && onBoards > 0; ++id) {
        if (!seen[id]) seen[id] = true, --onBoards;
    }
    for (int id = 1; id <= kPackSize; ++id) {
        if (!seen[id]) h.pool.push_back(id);
    }
    h.otherUnknown = std::clamp(v.sides[1].handCount - static_cast<int>(h.known.size()), 0,
                                static_cast<int>(h.pool.size()));
    return h;
}

// One deal of the hidden cards that agrees with the view.
Simulator Deal(const View& v, const Hidden& hidden, Random& rng) {
    std::vector<int> pool = hidden.pool;
    for (int i = static_cast<int>(pool.size()) - 1; i > 0; --i) {
        std::swap(pool[static_cast<std::size_t>(i)],
                  pool[static_cast<std::size_t>(rng.Below(i + 1))]);
    }
    std::vector<int> other = hidden.known;
    other.insert(other.end(), pool.begin(), pool.begin() + hidden.otherUnknown);
    std::vector<int> stock(pool.begin() + hidden.otherUnknown, pool.end());
    return Simulator::FromView(v, other, stock);
}

// --- Playing on ------------------------------------------------------------------

Step DiscardOf(int card) {
    Step s;
    s.kind = Step::Kind::Discard;
    s.cards = {card};
    return s;
}

// The rest of a turn as the engine plays it, by the procedures of the seat:
// Thaddock's melding ends at the first step that is not a meld, then he
// discards if he may; the player's steps go on until a discard ends the turn.
void FinishTurn(Simulator& sim) {
    const int seat = sim.toMove;
    for (int n = 0; n < kMostStepsInATurn && sim.toMove == seat && !sim.HandOver(); ++n) {
        const View view = sim.ViewOf(seat);
        const Step step = NextStep(view);
        const bool meld = step.kind == Step::Kind::Lay || step.kind == Step::Kind::AddWild;
        if (seat == kThaddockSeat && !view.mustDraw && !meld) {
            if (step.kind != Step::Kind::Discard || !sim.Apply(step)) sim.EndTurn();
            return;
        }
        if (step.kind != Step::Kind::None && sim.Apply(step)) continue;
        if (view.mustDraw) {
            Step draw;
            draw.kind = Step::Kind::DrawStock;
            if (!sim.Apply(draw)) return;
            continue;
        }
        // The engine's step was refused or it had none: throw the first card
        // the game takes, so the play-out goes on.
        bool thrown = false;
        for (const SeenCard& c : view.hand) {
            if (sim.Apply(DiscardOf(c.id))) {
                thrown = true;
                break;
            }
        }
        if (!thrown) return;
    }
}

// The side's result less the other's, as the hand stands or ends; a game
// decided at the hand's end counts for much more.
double Judge(const Simulator& sim, int seat) {
    const int other = 1 - seat;
    const double mine = sim.HandScore(seat);
    const double his = sim.HandScore(other);
    double reward = mine - his;
    if (sim.HandOver()) {
        const double myTotal = sim.seats[static_cast<std::size_t>(seat)].total + mine;
        const double hisTotal = sim.seats[static_cast<std::size_t>(other)].total + his;
        if ((myTotal >= sim.target || hisTotal >= sim.target) && myTotal != hisTotal) {
            reward += myTotal > hisTotal ? kGameWonReward : -kGameWonReward;
        }
    }
    return reward;
}

double PlayOut(Simulator sim, int seat, int horizonTurns) {
    FinishTurn(sim);
    for (int turn = 0; turn < horizonTurns && !sim.HandOver(); ++turn) FinishTurn(sim);
    return Judge(sim, seat);
}

// --- Candidates ------------------------------------------------------------------

struct Holding {
    std::array<std::vector<int>, kJoker + 1> byRank;  // card numbers held, by rank
};

Holding Hold(const View& v) {
    Holding h;
    for (const SeenCard& c : v.hand) {
        if (c.rank >= 0 && c.rank <= kJoker)
            h.byRank[static_cast<std::size_t>(c.rank)].push_back(c.id);
    }
    return h;
}

Step LayOf(int rank, std::vector<int> cards) {
    Step s;
    s.kind = Step::Kind::Lay;
    s.rank = rank;
    s.cards = std::move(cards);
    return s;
}

bool SameStep(const Step& a, const Step& b) {
    return a.kind == b.kind && a.rank == b.rank && a.cards == b.cards;
}

void AddCandidate(std::vector<Step>& list, const Step& s) {
    for (const Step& t : list) {
        if (SameStep(s, t)) return;
    }
    list.push_back(s);
}

bool WildFits(const SideView& side, int rank) {
    const int wild = side.meldWild[rank];
    return wild + 1 <= kMostWildCards && wild + 1 <= side.meldCount[rank] - wild;
}

// Thaddock's melds are laid by his procedures without the player's checks,
// so his candidates keep the rules themselves: he melds only once open (the
// engine plans his opening), a wild card only within its quota, and without
// a canasta he keeps two cards unless the meld becomes one.
bool KeepsEnoughCards(const View& v, int laid, int meldAfter) {
    const SideView& me = v.sides[0];
    const int left = static_cast<int>(v.hand.size()) - laid;
    return me.canasta || meldAfter >= kCanastaSize || left >= 2;
}

void MeldCandidates(const View& v, const Holding& h, std::vector<Step>& list) {
    const SideView& me = v.sides[0];
    const bool thaddock = v.thaddockSeat;
    // Before the side is open its melds must meet the minimum together: the
    // engine plans that opening, and a meld laid outside its plan would only
    // be taken back.
    if (!me.opened) return;
    const auto& wilds = h.byRank;
    const int cheapWild = !wilds[kTwo].empty()     ? wilds[kTwo].front()
                          : !wilds[kJoker].empty() ? wilds[kJoker].front()
                                                   : 0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r)) continue;
        const std::vector<int>& held = h.byRank[static_cast<std::size_t>(r)];
        const int n = static_cast<int>(held.size());
        const int after = me.meldCount[r] + n;
        const bool keeps = !thaddock || KeepsEnoughCards(v, n, after);
        if (me.melded(r) && n > 0 && keeps) AddCandidate(list, LayOf(r, held));
        // A fresh meld: three naturals or more; for the player also two and a
        // wild card to come (his next step must add it).
        const bool fresh = n >= 3 || (!thaddock && n == 2 && cheapWild != 0);
        if (!me.melded(r) && fresh && keeps) AddCandidate(list, LayOf(r, held));
        if (me.melded(r) && cheapWild != 0 && WildFits(me, r) &&
            (!thaddock || KeepsEnoughCards(v, 1, me.meldCount[r] + 1))) {
            Step s;
            s.kind = Step::Kind::AddWild;
            s.rank = r;
            s.cards = {cheapWild};
            AddCandidate(list, s);
        }
    }
}

bool HasShortMeld(const View& v) {
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (v.sides[0].meldCount[r] > 0 && v.sides[0].meldCount[r] < 3) return true;
    }
    return false;
}

// Whether the side may end its melding now: no meld short of three, and an
// opening begun this turn is complete.
bool MayStopMelding(const View& v) {
    const SideView& me = v.sides[0];
    bool anyMeld = false;
    for (int r = kAce; r <= kMeldRanks; ++r) anyMeld = anyMeld || me.meldCount[r] > 0;
    return !HasShortMeld(v) && (me.opened || !anyMeld);
}

void DiscardCandidates(const View& v, std::vector<Step>& list) {
    std::array<bool, kJoker + 1> tried{};
    for (const SeenCard& c : v.hand) {
        if (c.rank < 0 || c.rank > kJoker || tried[static_cast<std::size_t>(c.rank)]) continue;
        tried[static_cast<std::size_t>(c.rank)] = true;
        AddCandidate(list, DiscardOf(c.id));
    }
}

// --- Weighing ----------------------------------------------------------------------

struct Tally {
    double sum = 0.0;
    double squares = 0.0;
    int n = 0;
    bool alive = true;
    double Mean() const { return n > 0 ? sum / n : 0.0; }
    double Error() const {
        if (n < 2) return 1e9;
        const double mean = Mean();
        return std::sqrt(std::max(0.0, squares / n - mean * mean) / n);
    }
};

void Prune(std::vector<Tally>& tallies) {
    std::size_t best = 0;
    for (std::size_t i = 0; i < tallies.size(); ++i) {
        if (tallies[i].alive &&
            (!tallies[best].alive || tallies[i].Mean() > tallies[best].Mean())) {
            best = i;
        }
    }
    const double bar = tallies[best].Mean() - kPruneMargin * tallies[best].Error();
    for (Tally& t : tallies) {
        if (t.alive && t.Mean() + kPruneMargin * t.Error() < bar) t.alive = false;
    }
}

// Why a step the engine did not put first came out best, for Learning Mode.
std::string Reason(const Step& s) {
    switch (s.kind) {
        case Step::Kind::TakePile:
            return "Played out over many deals of the unseen cards, taking the pile does best.";
        case Step::Kind::DrawStock:
            return "Played out over many deals of the unseen cards, the pile is not worth taking "
                   "now.";
        case Step::Kind::Lay:
        case Step::Kind::AddWild:
            return "Played out over many deals of the unseen cards, laying these now does best.";
        case Step::Kind::Discard:
            return "Played out over many deals of the unseen cards, this discard gives the other "
                   "side "
                   "least and keeps what you need.";
        case Step::Kind::TakeBack:
        case Step::Kind::None:
            break;
    }
    return {};
}

}  // namespace

bool HasAnythingToTakeBack(const View& view) {
    for (const SeenCard& c : view.sides[0].meldCards) {
        if (c.laidNow || c.fromPile) return true;
    }
    return false;
}

std::vector<Step> CandidateSteps(const View& view) {
    std::vector<Step> list;
    Step engine = NextStep(view);
    if (engine.kind == Step::Kind::TakeBack && !HasAnythingToTakeBack(view)) engine = {};
    if (engine.kind != Step::Kind::None) list.push_back(engine);
    if (view.mustDraw) {
        Step draw;
        draw.kind = Step::Kind::DrawStock;
        AddCandidate(list, draw);
        // Thaddock unopened takes the pile only to open, which the engine
        // works out: a take that left him below his minimum would stand.
        if (!view.pile.empty() && (!view.thaddockSeat || view.sides[0].opened)) {
            Step take;
            take.kind = Step::Kind::TakePile;
            take.cards = {view.pile.back().id};
            AddCandidate(list, take);
        }
        return list;
    }
    if (view.hand.empty()) return list;
    // A meld short of three is finished first, as the engine finishes it: any
    // other step could spend the card it needs.
    if (HasShortMeld(view)) return list;
    MeldCandidates(view, Hold(view), list);
    // The player's discard is refused by the game itself when the melds are
    // not finished; Thaddock's is not, so his stops are kept to the rules.
    if (!view.thaddockSeat || MayStopMelding(view)) DiscardCandidates(view, list);
    return list;
}

SearchResult SearchStep(const View& view, const SearchBudget& budget, std::uint64_t seed) {
    const auto start = Clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    SearchResult result;
    std::vector<Step> candidates = CandidateSteps(view);
    result.step = candidates.empty() ? Step{} : candidates.front();
    if (candidates.size() <= 1) {
        for (const Step& s : candidates) result.candidates.push_back({s, 0.0, 0});
        result.ms = elapsed();
        return result;
    }
    const int seat = SeatOf(view);
    const Hidden hidden = HiddenCards(view);
    Random rng{seed ^ 0x5DEECE66DULL};
    std::vector<Tally> tallies(candidates.size());
    for (int k = 0; k < budget.samples; ++k) {
        if (k >= kSamplesBeforeClock && budget.ms > 0.0 && elapsed() >= budget.ms) break;
        const Simulator dealt = Deal(view, hidden, rng);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!tallies[i].alive) continue;
            Simulator sim = dealt;
            // A step the game refuses is no candidate; the same on every deal,
            // as only the side's own cards decide it.
            if (!sim.Apply(candidates[i])) {
                tallies[i].alive = false;
                continue;
            }
            const double r = PlayOut(std::move(sim), seat, budget.horizonTurns);
            tallies[i].sum += r;
            tallies[i].squares += r * r;
            ++tallies[i].n;
        }
        ++result.samples;
        if (result.samples >= kSamplesBeforePruning && result.samples % 8 == 0) Prune(tallies);
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (tallies[i].n > 0)
            result.candidates.push_back({candidates[i], tallies[i].Mean(), tallies[i].n});
    }
    // The most played first among equals: a pruned candidate has fewer deals behind it.
    std::stable_sort(result.candidates.begin(), result.candidates.end(),
                     [](const ScoredStep& a, const ScoredStep& b) {
                         if (a.samples != b.samples) return a.samples > b.samples;
                         return a.mean > b.mean;
                     });
    if (!result.candidates.empty()) {
        result.step = result.candidates.front().step;
        if (result.step.why.empty()) result.step.why = Reason(result.step);
    }
    result.ms = elapsed();
    return result;
}

}  // namespace cardovia::strategy
