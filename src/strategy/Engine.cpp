#include "strategy/Engine.h"

#include <algorithm>
#include <cmath>

namespace cardovia::strategy {

namespace {

// --- What the cards are worth ----------------------------------------------------

constexpr int kFreshMeldSize = 3;
constexpr int kAceValue = 20;
constexpr int kHighValue = 10;  // Eight to King
constexpr int kLowValue = 5;    // Four to Seven, and the black three
constexpr int kFirstHighRank = 8;
constexpr int kPureCanastaBonus = 500;
constexpr int kMixedCanastaBonus = 300;
constexpr int kGoingOutBonus = 100;
constexpr int kRedThreeBonus = 100;
constexpr int kAllRedThrees = 4;
constexpr int kAllRedThreesBonus = 800;
// An unseen card in the other hand: the pack's points spread over its cards.
constexpr int kAverageCardValue = 11;
// A wild card on a meld when the meld's cards are not told one by one.
constexpr int kAverageWildValue = 30;

// --- Judgement -------------------------------------------------------------------

// A hand keeps two cards without a canasta: one to discard and one to stay.
constexpr int kCardsToKeep = 2;
// Holding a pair back to take a frozen pile: the pair and one to discard.
constexpr int kCardsToKeepWithPair = 3;
// A frozen pile this big is worth holding a pair back for; any pile this big too.
constexpr int kFrozenPileWorthAPair = 2;
constexpr int kPileWorthAPair = 5;
// A wild card goes onto a meld only when the meld is this close to a canasta.
constexpr int kWildWorthyMeld = 4;
// A pile this big is always worth more than two stock cards.
constexpr int kPileAlwaysWorthTaking = 3;
// The cards a side is likely to see in the next few turns: draws and a pile.
constexpr int kCardsSeenAhead = 10;
// A pure canasta is still hoped for while it is at least this likely.
constexpr double kPureCanastaHope = 0.35;
// With this few stock cards left the hand is nearly over anyway.
constexpr int kStockNearlyOut = 6;
// A hand this short is close to going out once its meld of six is a canasta.
constexpr int kShortHand = 4;
// What an unopened side may still make of a turn held on for: it may open.
constexpr double kTheirTurnUnopened = 10.0;
constexpr int kTurnsHeldOn = 2;
// Holding on must bring this much more than going out now.
constexpr double kHoldingOnMargin = 100.0;
// Discarding: what a pile is worth to the side that takes it, and what a
// card is worth to keep.
constexpr double kTakeBase = 20.0;
constexpr double kTakePerCard = 12.0;
constexpr double kKeepSingle = 6.0;
constexpr double kKeepPerMatch = 25.0;
constexpr double kKeepMelded = 30.0;
constexpr double kHandPointsRelief = 0.8;
constexpr double kWildKeep = 120.0;
constexpr double kJokerKeep = 160.0;
// A black three held is a later block; each pile card it shields counts.
constexpr double kBlackThreeKeep = 15.0;
constexpr double kBlackThreeShieldsCard = 8.0;
// A side that threw a rank this hand seldom still holds a pair of it.
constexpr double kThrewRankPairs = 0.3;
// Classic Thaddock never takes the pile before he has opened; a player may.
constexpr double kUnopenedPlayerTakes = 0.6;

int NaturalValue(int rank) {
    if (rank == kAce) return kAceValue;
    return rank >= kFirstHighRank ? kHighValue : kLowValue;
}

// What the side holds, counted once per step.
struct Holding {
    std::array<int, kJoker + 1> naturals{};  // by rank
    std::vector<SeenCard> wilds;             // Twos before Jokers: the cheaper card goes first
    int size = 0;
    int points = 0;
};

Holding Count(const std::vector<SeenCard>& cards) {
    Holding h;
    for (const SeenCard& c : cards) {
        if (IsWild(c.rank)) {
            h.wilds.push_back(c);
        } else {
            ++h.naturals[c.rank];
        }
        h.points += c.value;
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

bool IsPure(const SideView& side, int rank) {
    return side.meldWild[rank] == 0 && side.meldSinceWild[rank] == 0;
}

int CanastaBonus(const SideView& side, int rank) {
    return IsPure(side, rank) ? kPureCanastaBonus : kMixedCanastaBonus;
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

Step TakeBack(std::string why) {
    Step s;
    s.kind = Step::Kind::TakeBack;
    s.why = std::move(why);
    return s;
}

// Take Back returns only what this turn laid: with nothing laid or taken it
// would cost the turn's flags and give nothing back.
bool HasCardsToTakeBack(const View& v) {
    if (v.thaddockSeat) return false;
    return std::any_of(v.sides[0].meldCards.begin(), v.sides[0].meldCards.end(),
                       [](const SeenCard& c) { return c.laidNow || c.fromPile; });
}

// --- Reading the table ---------------------------------------------------------

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

// Cards of a rank the other side surely holds: it took them with the pile.
int KnownHeld(const SideView& other, int rank) {
    return static_cast<int>(std::count_if(other.heldFromPile.begin(), other.heldFromPile.end(),
                                          [rank](const SeenCard& c) { return c.rank == rank; }));
}

int KnownHeldWild(const SideView& other) {
    return static_cast<int>(std::count_if(other.heldFromPile.begin(), other.heldFromPile.end(),
                                          [](const SeenCard& c) { return IsWild(c.rank); }));
}

// The chance that `held` cards drawn from `pool` unseen ones hold at least
// `want` of `n` particular cards (independent draws, near enough).
double AtLeast(int want, int n, int held, int pool) {
    if (want <= 0) return 1.0;
    if (pool <= 0 || n < want) return 0.0;
    const double p = std::min(1.0, static_cast<double>(held) / pool);
    double below = 0.0;
    double term = std::pow(1.0 - p, n);  // exactly k of n, from k = 0
    for (int k = 0; k < want; ++k) {
        below += term;
        term = p >= 1.0 ? 0.0 : term * (n - k) / (k + 1) * p / (1.0 - p);
    }
    return std::clamp(1.0 - below, 0.0, 1.0);
}

int PileRankCount(const View& v, int rank) {
    return static_cast<int>(std::count_if(v.pile.begin(), v.pile.end(),
                                          [rank](const SeenCard& c) { return c.rank == rank; }));
}

bool FreezingCard(int rank) {
    return IsWild(rank) || rank == kBlackThree || rank == kRedThree;
}

bool PileFrozenFor(const View& v, const SideView& side) {
    if (!side.opened) return true;
    return std::any_of(v.pile.begin(), v.pile.end(),
                       [](const SeenCard& c) { return FreezingCard(c.rank); });
}

bool HasNaturalMeld(const SideView& side) {
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (IsNaturalMeldRank(r) && side.melded(r)) return true;
    }
    return false;
}

// The points of a side's melds, card by card when the view tells them.
int MeldPoints(const SideView& side) {
    int points = 0;
    if (!side.meldCards.empty()) {
        for (const SeenCard& c : side.meldCards) points += c.value;
        return points;
    }
    for (int r = kAce; r <= kMeldRanks; ++r) {
        points += (side.meldCount[r] - side.meldWild[r]) * NaturalValue(r) +
                  side.meldWild[r] * kAverageWildValue;
    }
    return points;
}

// What the side's table would score if the hand ended now, its hand aside.
int TablePoints(const SideView& side) {
    int points = MeldPoints(side) - side.penalty;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (IsNaturalMeldRank(r) && side.meldCount[r] >= kCanastaSize) {
            points += CanastaBonus(side, r);
        }
    }
    const int reds =
        side.redThrees == kAllRedThrees ? kAllRedThreesBonus : side.redThrees * kRedThreeBonus;
    return points + (HasNaturalMeld(side) ? reds : -reds);
}

// The other hand counted against it: what it took with the pile, the rest on average.
int EstimatedHandPoints(const SideView& other) {
    int points = 0;
    for (const SeenCard& c : other.heldFromPile) points += c.value;
    const int unknown = std::max(0, other.handCount - static_cast<int>(other.heldFromPile.size()));
    return points + unknown * kAverageCardValue;
}

// Whether the other side may go out soon: it has a canasta, or a meld of six
// and a short hand.
bool OtherMayGoOut(const View& v) {
    const SideView& other = v.sides[1];
    if (other.canasta) return true;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (other.meldCount[r] == kCanastaSize - 1 && other.handCount <= kShortHand) return true;
    }
    return false;
}

// --- Going out -------------------------------------------------------------------

// Whether the whole hand but one card can go down this turn: every natural
// onto a meld, pairs with a wild card, wild cards within their quota. The
// canasta that allows going out may come from the hand's own cards.
bool CanGoOut(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    bool canasta = me.canasta;
    int leftover = h.naturals[kBlackThree];
    int pairs = 0;
    int room = 0;  // wild cards the melds can still take
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r)) continue;
        const int n = h.naturals[r];
        if (me.melded(r) || n >= kFreshMeldSize) {
            const int naturals = me.meldCount[r] - me.meldWild[r] + n;
            canasta = canasta || (me.melded(r) && me.meldCount[r] + n >= kCanastaSize);
            room += std::max(0, std::min(kMostWildCards, naturals) - me.meldWild[r]);
        } else if (n == 2) {
            ++pairs;
        } else {
            leftover += n;
        }
    }
    int wilds = static_cast<int>(h.wilds.size());
    const int paired = std::min(pairs, wilds);
    wilds -= paired;
    leftover += 2 * (pairs - paired);
    room += paired;  // a pair with one wild card takes one more
    leftover += std::max(0, wilds - room);
    return canasta && leftover <= 1;
}

// The canastas the side's melds may still make if it holds on, weighed by
// their chance: each meld of four to six after the hand's naturals go down.
double CanastaPotential(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    const SideView& other = v.sides[1];
    const int pool = v.stockCount + other.handCount;
    double potential = 0.0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || !(me.melded(r) || h.naturals[r] >= kFreshMeldSize)) continue;
        const int count = me.meldCount[r] + h.naturals[r];
        if (count < kWildWorthyMeld || count >= kCanastaSize) continue;
        const int unseen = UnseenOfRank(v, h, r) - KnownHeld(other, r);
        const double chance = AtLeast(kCanastaSize - count, unseen, kCardsSeenAhead, pool);
        potential += chance * CanastaBonus(me, r);
    }
    return potential;
}

// Going out ends the hand: worth it unless holding on would bring a canasta
// while the other side can do nothing with its cards meanwhile. Near the
// target the game is taken when going out wins it, and not ended by going out
// when that loses it.
bool GoingOutPays(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    const SideView& other = v.sides[1];
    const int mine = TablePoints(me) + h.points + kGoingOutBonus;
    const int theirs = TablePoints(other) - EstimatedHandPoints(other);
    const int myTotal = me.total + mine;
    const int theirTotal = other.total + theirs;
    if (myTotal > v.target || theirTotal > v.target) return myTotal > theirTotal;
    // Holding on is safe only while the other side has not opened: it can
    // neither go out nor lay its cards, which count against it meanwhile.
    if (v.stockCount <= kStockNearlyOut || other.opened) return true;
    const double hold = CanastaPotential(v, h) - kTurnsHeldOn * kTheirTurnUnopened;
    return hold <= kHoldingOnMargin;
}

// --- Opening ---------------------------------------------------------------------

// Waiting to open with natural cards alone costs when the other side may go
// out, or the stock is nearly gone: then wild cards help to open. Otherwise
// they are worth more kept, for canastas and frozen piles.
bool WaitingCosts(const View& v) {
    return OtherMayGoOut(v) || v.stockCount <= kStockNearlyOut;
}

// The plan of melds that meets the minimum this turn, and its first step. It
// counts what may still go onto the melds laid this turn and fresh melds of
// three or more; when wild cards may help, pairs with a wild card and wild
// cards on the melds too, each counting its own points.
struct Opening {
    bool meets = false;
    Step first;
};

struct OpeningBook {
    OpeningBook(const View& view, const Holding& holding)
        : v(view), h(holding), used(holding.wilds.size(), false) {}

    const View& v;
    const Holding& h;
    std::vector<bool> used;                      // of the hand's wild cards, cheapest first
    int left = 0;                                // points still to lay
    int inHand = 0;                              // cards left in the hand
    std::array<int, kMeldRanks + 1> naturals{};  // on the melds, as planned
    std::array<int, kMeldRanks + 1> wild{};
    Step first;

    bool Keeps(int cards) const { return inHand - cards >= kCardsToKeep; }
    bool HasWild() const { return WildToLay() < used.size(); }

    void Note(Step step) {
        if (first.kind == Step::Kind::None) first = std::move(step);
    }
    void LayNaturals(int r, int n, const char* why) {
        Note(Lay(r, CardsOfRank(v.hand, r, n), why));
        left -= PointsOfRank(v.hand, r, n);
        inHand -= n;
        naturals[r] += n;
    }
    // The cheapest wild card that meets what is wanting, else the richest: a
    // Joker is not spent where a Two will do.
    std::size_t WildToLay() const {
        std::size_t pick = used.size();
        for (std::size_t i = 0; i < used.size(); ++i) {
            if (used[i]) continue;
            pick = i;
            if (h.wilds[i].value >= left) break;
        }
        return pick;
    }
    void LayWild(int r, const char* why) {
        const std::size_t i = WildToLay();
        used[i] = true;
        Note(AddWild(h.wilds[i], r, why));
        left -= h.wilds[i].value;
        inHand -= 1;
        ++wild[r];
    }
    bool WildFitsPlanned(int r) const {
        return wild[r] + 1 <= kMostWildCards && wild[r] + 1 <= naturals[r];
    }
};

Opening PlanOpening(const View& v, const Holding& h, bool wildsOpen) {
    const SideView& me = v.sides[0];
    OpeningBook book(v, h);
    book.left = me.minimumLeft;
    book.inHand = h.size;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        book.naturals[r] = me.meldCount[r] - me.meldWild[r];
        book.wild[r] = me.meldWild[r];
    }
    // The melds laid this turn first: a short one must reach three, and the
    // hand's cards of their ranks go onto them.
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || !me.melded(r)) continue;
        const int n = h.naturals[r];
        if (n > 0 && book.Keeps(n)) book.LayNaturals(r, n, "It adds to a meld laid this turn.");
        while (book.naturals[r] + book.wild[r] < kFreshMeldSize && book.HasWild() &&
               book.Keeps(1) && book.WildFitsPlanned(r)) {
            book.LayWild(r, "A meld needs three cards at least.");
        }
        if (book.naturals[r] + book.wild[r] < kFreshMeldSize) return {};
    }
    // Fresh melds of natural cards, the richest first.
    std::vector<std::pair<int, int>> groups;  // points, rank
    std::vector<std::pair<int, int>> pairs;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || me.melded(r)) continue;
        const int points = PointsOfRank(v.hand, r, h.naturals[r]);
        if (h.naturals[r] >= kFreshMeldSize) groups.emplace_back(points, r);
        if (h.naturals[r] == 2) pairs.emplace_back(points, r);
    }
    const auto richest = [](const auto& a, const auto& b) { return a.first > b.first; };
    std::stable_sort(groups.begin(), groups.end(), richest);
    std::stable_sort(pairs.begin(), pairs.end(), richest);
    for (const auto& [points, r] : groups) {
        if (book.Keeps(h.naturals[r])) {
            book.LayNaturals(r, h.naturals[r], "These melds together meet the minimum meld.");
        }
    }
    // Then pairs with a wild card, while points are still wanting.
    for (const auto& [points, r] : pairs) {
        if (!wildsOpen || book.left < 1 || !book.HasWild() || !book.Keeps(kFreshMeldSize)) break;
        book.LayNaturals(r, 2, "Two of a kind and a wild card meet the minimum meld.");
        book.LayWild(r, "A meld needs three cards at least.");
    }
    // Last, wild cards onto the melds for their points.
    for (int r = kAce; r <= kMeldRanks && wildsOpen && book.left >= 1; ++r) {
        // Black threes taken with the pile take no wild card from the hand.
        if (!IsNaturalMeldRank(r)) continue;
        while (book.left >= 1 && book.naturals[r] > 0 && book.HasWild() && book.Keeps(1) &&
               book.WildFitsPlanned(r)) {
            book.LayWild(r, "Its points meet the minimum meld.");
        }
    }
    Opening plan;
    plan.meets = book.left < 1;
    plan.first = std::move(book.first);
    return plan;
}

// --- Taking the pile -------------------------------------------------------------

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

// One card onto the side's meld, booked as the table books it.
void BookOnMeld(SideView& me, SeenCard card, int rank, bool wild) {
    if (wild) ++me.meldWild[rank];
    if (wild || me.meldSinceWild[rank] > 0) ++me.meldSinceWild[rank];
    ++me.meldCount[rank];
    if (me.meldCount[rank] >= kCanastaSize) me.canasta = true;
    if (!me.opened) {
        me.minimumLeft -= card.value;
        me.opened = me.minimumLeft < 1;
    }
    card.meld = rank;
    me.meldCards.push_back(card);
}

// The side's view after taking the pile: the pile's cards of the top card's
// rank and the hand's (the player's only up to three) go onto its meld, a
// meld left at two takes the first wild card of the hand, the rest of the
// pile goes into the hand.
View AfterTake(const View& v) {
    View a = v;
    a.mustDraw = false;
    a.pile.clear();
    SideView& me = a.sides[0];
    const int r = v.pile.back().rank;
    a.hand.clear();
    for (SeenCard c : v.pile) {
        c.fromPile = true;
        if (c.rank == r) {
            BookOnMeld(me, c, r, false);
        } else if (c.rank == kRedThree) {
            ++me.redThrees;
        } else {
            a.hand.push_back(c);
        }
    }
    for (SeenCard c : v.hand) {
        const bool stops = !v.thaddockSeat && me.meldCount[r] == kFreshMeldSize;
        if (c.rank == r && !stops) {
            c.laidNow = true;
            BookOnMeld(me, c, r, false);
        } else {
            a.hand.push_back(c);
        }
    }
    std::sort(a.hand.begin(), a.hand.end(),
              [](const SeenCard& x, const SeenCard& y) { return x.id < y.id; });
    if (me.meldCount[r] == 2) {
        const auto wild = std::find_if(a.hand.begin(), a.hand.end(),
                                       [](const SeenCard& c) { return IsWild(c.rank); });
        if (wild != a.hand.end()) {
            SeenCard c = *wild;
            c.laidNow = true;
            a.hand.erase(wild);
            BookOnMeld(me, c, r, true);
        }
    }
    me.handCount = static_cast<int>(a.hand.size());
    a.pileForMe = me.opened ? PileSeen::Open : PileSeen::Frozen;
    return a;
}

bool TakingOpens(const View& v) {
    const View after = AfterTake(v);
    if (after.sides[0].opened) return true;
    return PlanOpening(after, Count(after.hand), WaitingCosts(after)).meets;
}

// A card of the pile that does something for the hand beyond its count.
bool UsefulToMe(const SideView& me, const Holding& h, const SeenCard& c) {
    if (IsWild(c.rank) || c.rank == kBlackThree) return true;
    return IsNaturalMeldRank(c.rank) && (me.melded(c.rank) || h.naturals[c.rank] >= 1);
}

// A pile of one or two cards whose top card only lengthens a meld is worth
// less than two stock cards; it is taken when it makes a canasta, starts a
// meld, lets the side go out, or its other card is of use.
bool PileWorthTaking(const View& v, const Holding& h) {
    if (static_cast<int>(v.pile.size()) >= kPileAlwaysWorthTaking) return true;
    const SideView& me = v.sides[0];
    const int r = v.pile.back().rank;
    if (!me.melded(r)) return true;
    const View after = AfterTake(v);
    if (me.meldCount[r] < kCanastaSize && after.sides[0].meldCount[r] >= kCanastaSize) return true;
    const Holding later = Count(after.hand);
    if (CanGoOut(after, later) && GoingOutPays(after, later)) return true;
    for (const SeenCard& c : v.pile) {
        if (c.rank != r && UsefulToMe(me, h, c)) return true;
    }
    return false;
}

Step DrawStep(const View& v, const Holding& h) {
    Step s;
    const bool opened = v.sides[0].opened;
    if (MayTakePile(v, h) && (opened ? PileWorthTaking(v, h) : TakingOpens(v))) {
        s.kind = Step::Kind::TakePile;
        s.cards = {v.pile.back().id};
        if (!opened) {
            s.why = "The pile's cards meet the minimum meld.";
        } else if (v.pile.size() > 1) {
            s.why =
                "The pile brings more cards than the stock and its top card goes straight "
                "onto a meld.";
        } else {
            s.why = "Its top card goes straight onto a meld.";
        }
        return s;
    }
    s.kind = Step::Kind::DrawStock;
    if (v.pile.empty()) {
        s.why = "There is no pile to take.";
    } else if (MayTakePile(v, h)) {
        s.why = opened ? "Two stock cards are worth more than so small a pile."
                       : "The pile would not meet the minimum meld.";
    } else {
        s.why = "The pile cannot be taken, or would not meet the minimum meld.";
    }
    return s;
}

// --- Melding ---------------------------------------------------------------------

// How the turn's melding goes: down to the last card when going out pays,
// otherwise keeping cards back (a pair when a frozen or big pile is worth it).
struct Plan {
    bool goingOut = false;
    bool pairBack = false;
    int keep = kCardsToKeep;
};

Plan PlanTurn(const View& v, const Holding& h) {
    const SideView& me = v.sides[0];
    Plan p;
    p.goingOut = CanGoOut(v, h) && GoingOutPays(v, h);
    if (p.goingOut) {
        // Without a canasta yet the last card stays until one is made.
        p.keep = me.canasta ? 0 : 1;
        return p;
    }
    const int pile = static_cast<int>(v.pile.size());
    p.pairBack = (v.pileForMe == PileSeen::Frozen && pile >= kFrozenPileWorthAPair) ||
                 pile >= kPileWorthAPair;
    p.keep = p.pairBack ? kCardsToKeepWithPair : kCardsToKeep;
    return p;
}

int PairsBesides(const Holding& h, int rank) {
    int pairs = 0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (r != rank && IsNaturalMeldRank(r) && h.naturals[r] >= 2) ++pairs;
    }
    return pairs;
}

// A meld of one or two cards must reach three before the turn may end; without
// a canasta the hand's last card may not go onto it.
Step FinishMeld(const View& v, const Holding& h, int r) {
    const SideView& me = v.sides[0];
    const int room = me.canasta ? h.size : h.size - 1;
    int n = std::min(h.naturals[r], room);
    // Thaddock's meld takes every card of its rank from the hand, or none.
    if (v.thaddockSeat && n < h.naturals[r]) n = 0;
    if (n > 0) return Lay(r, CardsOfRank(v.hand, r, n), "A meld needs three cards at least.");
    if (!h.wilds.empty() && room >= 1 && WildFits(me, r)) {
        return AddWild(h.wilds.front(), r, "A meld needs three cards at least.");
    }
    if (HasCardsToTakeBack(v)) return TakeBack("The meld cannot be finished this turn.");
    return {};
}

Step OpenStep(const View& v, const Holding& h) {
    // Wild cards open only when waiting costs; a meld already laid this turn
    // is never left short of the minimum for want of them.
    Opening plan = PlanOpening(v, h, WaitingCosts(v));
    if (!plan.meets && HasNaturalMeld(v.sides[0])) plan = PlanOpening(v, h, true);
    if (plan.meets && plan.first.kind != Step::Kind::None) return plan.first;
    if (!plan.meets && HasNaturalMeld(v.sides[0]) && HasCardsToTakeBack(v)) {
        return TakeBack("What is laid does not meet the minimum meld.");
    }
    return {};
}

// Cards laid onto a meld already on the table, those nearest a canasta first.
Step LayOffStep(const View& v, const Holding& h, const Plan& p) {
    const SideView& me = v.sides[0];
    std::vector<int> ranks;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (IsNaturalMeldRank(r) && me.melded(r) && h.naturals[r] > 0) ranks.push_back(r);
    }
    std::stable_sort(ranks.begin(), ranks.end(),
                     [&](int a, int b) { return me.meldCount[a] > me.meldCount[b]; });
    for (int r : ranks) {
        const int n = h.naturals[r];
        int room = std::min(n, h.size - p.keep);
        // The last pair of the hand stays to take a frozen pile.
        if (p.pairBack && n >= 2 && PairsBesides(h, r) == 0) room = std::min(room, n - 2);
        // Thaddock's meld takes every card of its rank from the hand, or none.
        if (room <= 0 || (v.thaddockSeat && room < n)) continue;
        return Lay(r, CardsOfRank(v.hand, r, room), "These cards build on a meld you have.");
    }
    return {};
}

Step FreshMeldStep(const View& v, const Holding& h, const Plan& p) {
    const SideView& me = v.sides[0];
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || me.melded(r) || h.naturals[r] < kFreshMeldSize) continue;
        if (h.size - h.naturals[r] < p.keep) continue;
        return Lay(r, CardsOfRank(v.hand, r, h.naturals[r]),
                   "Cards on the table count for you; in the hand they count against you.");
    }
    return {};
}

// Going out: a pair goes down with a wild card.
Step PairMeldStep(const View& v, const Holding& h, const Plan& p) {
    const SideView& me = v.sides[0];
    if (!p.goingOut || !me.canasta || h.wilds.empty()) return {};
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || me.melded(r) || h.naturals[r] != 2) continue;
        return Lay(r, CardsOfRank(v.hand, r, 2), "Two of a kind and a wild card let you go out.");
    }
    return {};
}

// Whether a pure meld may still become a pure canasta: enough naturals of its
// rank are unseen, and they are likely enough to come.
bool PureCanastaHoped(const View& v, const Holding& h, int r) {
    const SideView& me = v.sides[0];
    if (!IsPure(me, r) || me.meldCount[r] >= kCanastaSize) return false;
    const SideView& other = v.sides[1];
    const int need = kCanastaSize - me.meldCount[r] - h.naturals[r];
    if (need <= 0) return true;
    const int unseen = UnseenOfRank(v, h, r) - KnownHeld(other, r);
    const int pool = v.stockCount + other.handCount;
    return AtLeast(need, unseen, kCardsSeenAhead, pool) >= kPureCanastaHope;
}

// Without a canasta the side cannot go out, and it wants one now when the
// other side may go out first or the stock is nearly gone.
bool CanastaWantedNow(const View& v) {
    return !v.sides[0].canasta && (OtherMayGoOut(v) || v.stockCount <= kStockNearlyOut);
}

Step WildStep(const View& v, const Holding& h, const Plan& p) {
    const SideView& me = v.sides[0];
    if (h.wilds.empty() || h.size - 1 < p.keep) return {};
    int best = 0;
    int bestScore = 0;
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (!IsNaturalMeldRank(r) || !me.melded(r) || !WildFits(me, r)) continue;
        const int count = me.meldCount[r];
        const bool canasta = count >= kCanastaSize;
        if (canasta && !p.goingOut) continue;
        if (!p.goingOut && count < kWildWorthyMeld && !me.canasta) continue;
        const bool makesCanasta = count + 1 == kCanastaSize;
        if (!p.goingOut && PureCanastaHoped(v, h, r) && !(makesCanasta && CanastaWantedNow(v))) {
            continue;
        }
        // A canasta made first, then the meld nearest one; a pure meld is
        // spoilt last, a pure canasta only to go out.
        int score = canasta ? 1 : count + 1;
        if (!IsPure(me, r)) score += kMostWildCards;
        if (makesCanasta) score += kCanastaSize;
        if (score > bestScore) best = r, bestScore = score;
    }
    if (best == 0) return {};
    return AddWild(h.wilds.front(), best,
                   me.meldCount[best] + 1 == kCanastaSize ? "It makes the meld a canasta."
                   : p.goingOut                           ? "Wild cards go down to go out."
                                                          : "It brings the meld nearer a canasta.");
}

// --- Discarding ------------------------------------------------------------------

// The chance that the other side can take the pile if a card of this rank
// lies on top: by a pair, by one and a wild card, or by its meld on an open
// pile. What it took with the pile it surely holds; a rank it threw it seldom
// holds two of.
double TakeChance(const View& v, const Holding& h, int r) {
    const SideView& other = v.sides[1];
    const int known = KnownHeld(other, r);
    const int knownWild = KnownHeldWild(other);
    const int unknownHand =
        std::max(0, other.handCount - static_cast<int>(other.heldFromPile.size()));
    const int pool = v.stockCount + unknownHand;
    const int unseen = std::max(0, UnseenOfRank(v, h, r) - known);
    double pairs = known >= 2 ? 1.0 : AtLeast(2 - known, unseen, unknownHand, pool);
    if (known < 2 && other.discarded[r] > 0) pairs *= kThrewRankPairs;
    const double one = known >= 1 ? 1.0 : AtLeast(1, unseen, unknownHand, pool);
    const int wildUnseen = std::max(0, UnseenWild(v, h) - knownWild);
    const double wild = knownWild >= 1 ? 1.0 : AtLeast(1, wildUnseen, unknownHand, pool);
    double take = std::min(1.0, pairs + one * wild * 0.5);
    if (!PileFrozenFor(v, other) && other.melded(r)) take = 1.0;
    if (!other.opened) take *= v.thaddockSeat ? kUnopenedPlayerTakes : 0.0;
    return take;
}

// What the pile gives the other side with a card of this rank on top: its
// cards, and the canasta its meld of that rank would reach.
double TakeValue(const View& v, int r) {
    const SideView& other = v.sides[1];
    const int cards = static_cast<int>(v.pile.size()) + 1;
    double value = kTakeBase + kTakePerCard * cards;
    if (other.melded(r) && other.meldCount[r] < kCanastaSize &&
        other.meldCount[r] + 1 + PileRankCount(v, r) >= kCanastaSize) {
        value += CanastaBonus(other, r);
    }
    return value;
}

// Whether the other side could take the pile at all on its next turn.
bool OtherMayTake(const View& v) {
    return v.sides[1].opened || v.thaddockSeat;
}

// How much a discard costs: what it may hand the other side, and what it
// takes from this one. The cheapest card goes.
double DiscardCost(const View& v, const Holding& h, const SeenCard& c) {
    const SideView& me = v.sides[0];
    if (c.rank == kBlackThree) {
        // A black three only blocks: worth it for a pile worth shielding, and
        // worth keeping for a later block while the other side can take piles.
        if (!OtherMayTake(v)) return -kHandPointsRelief * c.value;
        const double shield = kBlackThreeShieldsCard * static_cast<double>(v.pile.size());
        return kBlackThreeKeep - shield - kHandPointsRelief * c.value;
    }
    if (IsWild(c.rank)) return c.rank == kJoker ? kJokerKeep : kWildKeep;
    double cost = TakeChance(v, h, c.rank) * TakeValue(v, c.rank);
    const int held = h.naturals[c.rank];
    cost += held >= 2 ? kKeepPerMatch * (held - 1) : kKeepSingle;
    if (me.melded(c.rank)) cost += kKeepMelded;
    return cost - kHandPointsRelief * c.value;
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
    if (v.hand.size() == 1) {
        s.why = "The last card goes and the hand is out.";
    } else if (best->rank == kBlackThree) {
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
    if (!me.opened) {
        // A short meld laid this turn is finished by the opening's plan, with
        // the wild cards the plan counted on.
        return OpenStep(v, h);
    }
    for (int r = kAce; r <= kMeldRanks; ++r) {
        if (me.meldCount[r] > 0 && me.meldCount[r] < kFreshMeldSize) return FinishMeld(v, h, r);
    }
    const Plan p = PlanTurn(v, h);
    for (auto step : {LayOffStep, FreshMeldStep, PairMeldStep, WildStep}) {
        if (Step s = step(v, h, p); s.kind != Step::Kind::None) return s;
    }
    return {};
}

}  // namespace

Step NextStep(const View& v) {
    const Holding h = Count(v.hand);
    if (v.mustDraw) return DrawStep(v, h);
    if (v.drawStillOwed && v.sides[0].penalty > 0) {
        // The pile taken this turn went back with its penalty: the turn's
        // draw is still to make, from the stock, not from that pile again.
        // (A Take Back of hand cards alone leaves a second draw open too; the
        // engine does not take it.)
        Step s;
        s.kind = Step::Kind::DrawStock;
        s.why = "The cards taken back leave the turn's draw still to make.";
        return s;
    }
    if (v.hand.empty()) return {};
    if (Step s = MeldStep(v, h); s.kind != Step::Kind::None) return s;
    return DiscardStep(v, h);
}

}  // namespace cardovia::strategy
