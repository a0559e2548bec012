#include "strategy/Engine.h"

#include <algorithm>
#include <cmath>

namespace cardovia::strategy {

namespace {

// A hand keeps two cards without a canasta: one to discard and one to stay.
constexpr int kCardsToKeep = 2;
constexpr int kFreshMeldSize = 3;
// A wild card goes onto a meld only when the meld is this close to a canasta.
constexpr int kWildWorthyMeld = 4;

// What the side holds, counted once per step.
struct Holding {
    std::array<int, kJoker + 1> naturals{};  // by rank
    std::vector<SeenCard> wilds;             // Twos before Jokers: the cheaper card goes first
    int size = 0;
};

Holding Count(const std::vector<SeenCard>& cards) {
    Holding h;
    for (const SeenCard& c : cards) {
        if (IsWild(c.rank)) {
            h.wilds.push_back(c);
        } else {
            ++h.naturals[c.rank];
        }
    }
    std::stable_sort(h.wilds.begin(), h.wilds.end(),
                     [](const SeenCard& a, const SeenCard& b) { return a.value < b.value; });
    h.size = static_cast<int>(cards.size());
    return h;
}

std::vector<int> CardsOfRank(const std::vector<SeenCard>& hand, int rank, int most) {
    std::vector<int> ids;
    for (const SeenCard& c : hand) {
        if (c.rank == rank && static_cast<int>(ids.size()) < most) ids.push_back(c.id);
    }
    return ids;
}

int PointsOfRank(const std::vector<SeenCard>& hand, int rank, int most) {
    int points = 0;
    int n = 0;
    for (const SeenCard& c : hand) {
        if (c.rank == rank && n < most) points += c.value, ++n;
    }
    return points;
}

bool WildFits(const SideView& side, int rank) {
    const int wild = side.meldWild[rank];
    const int count = side.meldCount[rank];
    return wild + 1 <= kMostWildCards && wild + 1 <= count - wild;
}

Step Lay(int rank, std::vector<int> cards, std::string why) {
    Step s;
    s.kind = Step::Kind::Lay;
    s.rank = rank;
    s.cards = std::move(cards);
    s.why = std::move(why);
    return s;
}

Step AddWild(const SeenCard& wild, int rank, std::string why) {
    Step s;
    s.kind = Step::Kind::AddWild;
    s.rank = rank;
    s.cards = {wild.id};
    s.why = std::move(why);
    return s;
}

// The fresh melds of natural cards that would open the side, best first, and
// the points they bring. A fresh meld is every natural card of a rank held
// three or more times; the hand keeps two cards.
struct Opening {
    std::vector<int> ranks;
    int points = 0;
    int cards = 0;
};

Opening PlanOpening(const std::vector<SeenCard>& hand, const Holding& h, int handSize) {
    std::vector<std::pair<int, int>> groups;  // points, rank
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (IsNaturalMeldRank(r) && h.naturals[r] >= kFreshMeldSize) {
            groups.emplace_back(PointsOfRank(hand, r, h.naturals[r]), r);
        }
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    Opening plan;
    for (const auto& [points, r] : groups) {
        if (handSize - plan.cards - h.naturals[r] < kCardsToKeep) continue;
        plan.ranks.push_back(r);
        plan.points += points;
        plan.cards += h.naturals[r];
    }
    return plan;
}

// --- Taking the pile -------------------------------------------------------

bool FreezingCard(int rank) {
    return IsWild(rank) || rank == kBlackThree || rank == kRedThree;
}

bool MayTakePile(const View& v, const Holding& h) {
    if (v.pile.empty() || v.pileForMe == PileSeen::Blocked) return false;
    const SideView& me = v.sides[0];
    const int r = v.pile.back().rank;
    if (!IsNaturalMeldRank(r)) return false;
    const bool twoNaturals = h.naturals[r] >= 2;
    const bool oneAndWild = h.naturals[r] == 1 && !h.wilds.empty();
    if (v.pileForMe == PileSeen::Frozen) return twoNaturals || oneAndWild;
    return me.melded(r) || twoNaturals || oneAndWild;
}

// Whether taking the pile opens the side this turn: the top card's meld, made
// up from the hand, and the fresh melds of the hand with the rest of the pile.
bool TakingOpens(const View& v, const Holding& h) {
    const int r = v.pile.back().rank;
    int fromPile = 0;
    int points = 0;
    for (const SeenCard& c : v.pile) {
        if (c.rank == r) ++fromPile, points += c.value;
    }
    // The player's meld takes only the hand cards that bring it to three;
    // Thaddock's takes all of them. A meld left at two takes a wild card.
    const int fromHand = v.thaddockSeat
                             ? h.naturals[r]
                             : std::min(h.naturals[r], std::max(0, kFreshMeldSize - fromPile));
    points += PointsOfRank(v.hand, r, fromHand);
    const bool madeUp = fromPile + fromHand < kFreshMeldSize && !h.wilds.empty();
    if (madeUp) points += h.wilds.front().value;
    // The hand after the take: what is left of it and the rest of the pile.
    std::vector<SeenCard> after;
    for (const SeenCard& c : v.pile) {
        if (c.rank != r) after.push_back(c);
    }
    int laid = 0;
    for (const SeenCard& c : v.hand) {
        if (c.rank == r && laid < fromHand) {
            ++laid;
        } else if (!(madeUp && c.id == h.wilds.front().id)) {
            after.push_back(c);
        }
    }
    const Holding later = Count(after);
    return points + PlanOpening(after, later, later.size).points >= v.sides[0].minimumLeft;
}

Step DrawStep(const View& v, const Holding& h) {
    Step s;
    if (MayTakePile(v, h) && (v.sides[0].opened || TakingOpens(v, h))) {
        s.kind = Step::Kind::TakePile;
        s.cards = {v.pile.back().id};
        s.why = v.pile.size() > 1 ? "The pile brings more cards than the stock and its top card "
                                    "goes straight onto a meld."
                                  : "Its top card goes straight onto a meld.";
        return s;
    }
    s.kind = Step::Kind::DrawStock;
    s.why = v.pile.empty() ? "There is no pile to take."
                           : "The pile cannot be taken, or would not meet the minimum meld.";
    return s;
}

// --- Melding ----------------------------------------------------------------

// A meld of one or two cards must reach three before the turn may end.
Step FinishMeld(const View& v, const Holding& h, int r) {
    const SideView& me = v.sides[0];
    if (h.naturals[r] > 0) {
        return Lay(r, CardsOfRank(v.hand, r, h.naturals[r]), "A meld needs three cards at least.");
    }
    if (!h.wilds.empty() && WildFits(me, r)) {
        return AddWild(h.wilds.front(), r, "A meld needs three cards at least.");
    }
    Step s;
    if (!v.thaddockSeat) {
        s.kind = Step::Kind::TakeBack;
        s.why = "The meld cannot be finished this turn.";
    }
    return s;
}

Step OpenStep(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    const Opening plan = PlanOpening(v.hand, h, h.size);
    if (!plan.ranks.empty() && plan.points >= me.minimumLeft) {
        const int r = plan.ranks.front();
        return Lay(r, CardsOfRank(v.hand, r, h.naturals[r]),
                   "These melds together meet the minimum meld.");
    }
    Step s;
    bool laidThisTurn = false;
    for (int r = kAce; r <= kMeldRanks; ++r) laidThisTurn = laidThisTurn || me.melded(r);
    if (laidThisTurn && !v.thaddockSeat) {
        s.kind = Step::Kind::TakeBack;
        s.why = "What is laid does not meet the minimum meld.";
    }
    return s;
}

// Cards laid onto a meld already on the table, those nearest a canasta first.
Step LayOffStep(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    int best = 0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || !me.melded(r) || h.naturals[r] == 0) continue;
        if (best == 0 || me.meldCount[r] > me.meldCount[best]) best = r;
    }
    if (best == 0) return {};
    const int room =
        me.canasta ? h.naturals[best] : std::min(h.naturals[best], h.size - kCardsToKeep);
    // Thaddock's meld takes every card of its rank from the hand, or none.
    if (room <= 0 || (v.thaddockSeat && room < h.naturals[best])) return {};
    return Lay(best, CardsOfRank(v.hand, best, room), "These cards build on a meld you have.");
}

Step FreshMeldStep(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || me.melded(r) || h.naturals[r] < kFreshMeldSize) continue;
        // Without a canasta the last cards of the hand may not all go down.
        if (!me.canasta && h.size - h.naturals[r] < kCardsToKeep) continue;
        return Lay(r, CardsOfRank(v.hand, r, h.naturals[r]),
                   "Cards on the table count for you; in the hand they count against you.");
    }
    return {};
}

Step WildStep(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    if (h.wilds.empty()) return {};
    if (!me.canasta && h.size - 1 < kCardsToKeep) return {};
    int best = 0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || !me.melded(r) || !WildFits(me, r)) continue;
        if (me.meldCount[r] >= kCanastaSize) continue;
        if (me.meldCount[r] < kWildWorthyMeld && !me.canasta) continue;
        if (best == 0 || me.meldCount[r] > me.meldCount[best]) best = r;
    }
    if (best == 0) return {};
    return AddWild(h.wilds.front(), best,
                   me.meldCount[best] + 1 >= kCanastaSize ? "It makes the meld a canasta."
                                                          : "It brings the meld nearer a canasta.");
}

// --- Discarding ---------------------------------------------------------------

// Cards of a rank neither in this hand nor anywhere on the table.
int UnseenOfRank(const View& v, const Holding& h, int r) {
    int seen = h.naturals[r];
    for (const SideView& s : v.sides) seen += s.meldCount[r] - s.meldWild[r];
    for (const SeenCard& c : v.pile) seen += c.rank == r ? 1 : 0;
    return std::max(0, kCardsOfARank - seen);
}

int UnseenWild(const View& v, const Holding& h) {
    int seen = static_cast<int>(h.wilds.size());
    for (const SideView& s : v.sides) {
        for (int r = kAce; r <= kMeldRanks; ++r) seen += s.meldWild[r];
    }
    for (const SeenCard& c : v.pile) seen += IsWild(c.rank) ? 1 : 0;
    return std::max(0, kWildCardsInPack - seen);
}

// The chance that a hand of `held` cards, out of `pool` unseen ones, holds at
// least `want` of `n` particular cards (independent draws, near enough).
double AtLeast(int want, int n, int held, int pool) {
    if (pool <= 0 || n <= 0) return 0.0;
    const double p = std::min(1.0, static_cast<double>(held) / pool);
    double none = std::pow(1.0 - p, n);
    if (want <= 1) return 1.0 - none;
    double one = n * p * std::pow(1.0 - p, n - 1);
    return std::max(0.0, 1.0 - none - one);
}

// How much a discard costs: what it may hand the other side, and what it
// takes from this one. The cheapest card goes.
double DiscardCost(const View& v, const Holding& h, const SeenCard& c) {
    const SideView& me = v.sides[0];
    const SideView& other = v.sides[1];
    if (c.rank == kBlackThree) return -60.0;  // it blocks the pile for the other side
    if (IsWild(c.rank)) return c.rank == kJoker ? 160.0 : 120.0;
    bool frozen = !other.opened;
    for (const SeenCard& p : v.pile) frozen = frozen || FreezingCard(p.rank);
    const int pool = v.stockCount + other.handCount;
    const double pairs = AtLeast(2, UnseenOfRank(v, h, c.rank), other.handCount, pool);
    const double oneAndWild = AtLeast(1, UnseenOfRank(v, h, c.rank), other.handCount, pool) *
                              AtLeast(1, UnseenWild(v, h), other.handCount, pool);
    double take = std::min(1.0, pairs + oneAndWild * 0.5);
    if (!frozen && other.melded(c.rank)) take = 1.0;
    // Thaddock never takes the pile before he has opened; a player may.
    if (!other.opened) take *= v.thaddockSeat ? 0.6 : 0.0;
    const double pileSize = static_cast<double>(v.pile.size()) + 1.0;
    double cost = take * (20.0 + 12.0 * pileSize);
    const int held = h.naturals[c.rank];
    if (held >= 2) cost += 25.0 * (held - 1);
    if (me.melded(c.rank)) cost += 30.0;
    cost -= c.value * 0.8;
    return cost;
}

Step DiscardStep(const View& v, const Holding& h) {
    Step s;
    s.kind = Step::Kind::Discard;
    const SeenCard* best = nullptr;
    double bestCost = 0.0;
    for (const SeenCard& c : v.hand) {
        const double cost = DiscardCost(v, h, c);
        if (best == nullptr || cost < bestCost) best = &c, bestCost = cost;
    }
    if (best == nullptr) return {};
    s.cards = {best->id};
    if (best->rank == kBlackThree) {
        s.why = "A black three on top blocks the pile for the other side.";
    } else if (IsWild(best->rank)) {
        s.why = "A wild card on top blocks the pile when every other card would feed it.";
    } else {
        s.why = "This card is the least use to the other side and to you.";
    }
    return s;
}

Step MeldStep(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (me.meldCount[r] > 0 && me.meldCount[r] < kFreshMeldSize) return FinishMeld(v, h, r);
    }
    if (!me.opened) return OpenStep(v, h);
    for (auto step : {LayOffStep, FreshMeldStep, WildStep}) {
        if (Step s = step(v, h); s.kind != Step::Kind::None) return s;
    }
    return {};
}

}  // namespace

Step NextStep(const View& v) {
    const Holding h = Count(v.hand);
    if (v.mustDraw) return DrawStep(v, h);
    if (v.hand.empty()) return {};
    if (Step s = MeldStep(v, h); s.kind != Step::Kind::None) return s;
    return DiscardStep(v, h);
}

}  // namespace cardovia::strategy
