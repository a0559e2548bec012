// The rules of a hand as one copyable value, held to the game itself. Whole
// seeded games are played through the game's own procedures with the engine
// choosing on both sides; each step is played on a Simulator built from the
// table at the deal, and after every step the two must agree on every card,
// book, flag, view and score. A difference is told with its seed, hand, turn
// and step, so it reads like a bug report and the seed replays it.

#include "deck/Dealing.h"
#include "deck/Drawing.h"
#include "deck/Stock.h"
#include "flow/ClearTable.h"
#include "layout/Hand.h"
#include "model/CardFace.h"
#include "opponent/ExpertThaddock.h"
#include "opponent/OpponentDiscard.h"
#include "opponent/OpponentMelding.h"
#include "player/EnginePlay.h"
#include "rules/DiscardPile.h"
#include "rules/Discarding.h"
#include "rules/MeldTable.h"
#include "rules/MinimumMeld.h"
#include "rules/SideView.h"
#include "rules/TakingThePile.h"
#include "scoring/HandScoring.h"
#include "strategy/Engine.h"
#include "strategy/Simulator.h"
#include "support/TableTest.h"
#include "ui/Errors.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <utility>

namespace cardovia::testing {
namespace {

using strategy::SeenCard;
using strategy::SideView;
using strategy::SimCard;
using strategy::SimSeat;
using strategy::Simulator;
using strategy::Step;
using strategy::View;
using strategy::Where;
using Kind = Step::Kind;

constexpr int kMostStepsInATurn = 60;  // as the engine's turn on the player's side
constexpr int kMostMeldSteps = 40;     // as Expert Thaddock's melding
constexpr int kMostHandsInAGame = 40;
constexpr int kMostStepsInAHand = 3000;
constexpr int kOutBonus = 100;
constexpr std::size_t kReportsKept = 5;

int SideOf(int seat) {
    return seat == 0 ? kPlayer : kOpponent;
}

std::int8_t Small(int value) {
    return static_cast<std::int8_t>(value);
}

// --- The table as the simulator's value --------------------------------------

struct Place {
    Where where;
    int seat;
};

Place PlaceOf(i16 location) {
    switch (location) {
        case PlayerHand:
            return {Where::Hand, 0};
        case OpponentHand:
            return {Where::Hand, 1};
        case DiscardPile:
            return {Where::Pile, 0};
        case PlayerMelds:
            return {Where::Melds, 0};
        case OpponentMelds:
            return {Where::Melds, 1};
        case PlayerRedThrees:
            return {Where::RedThrees, 0};
        case OpponentRedThrees:
            return {Where::RedThrees, 1};
        default:
            return {Where::Stock, 0};
    }
}

// Whose turn it is as the simulator counts it: between turns the next seat is
// to move and has not drawn.
struct Phase {
    int toMove = 0;
    bool mustDraw = true;
    bool hasDrawn = false;
    int meldSteps = 0;
    bool meldingOver = false;
};

// What the view of `seat` is told about drawing, as the game asks for it.
bool MustDrawSeen(const Phase& phase, int seat) {
    return phase.toMove == seat && phase.mustDraw && (seat == 1 || !phase.hasDrawn);
}

SimSeat SeatFromTable(int side) {
    SimSeat s;
    for (int r = 1; r <= kMeldRanks; ++r) {
        const MeldRecord& m = MeldTable[r];
        s.melds[r] = {Small(m.Count[side]), Small(m.WildCount[side]), Small(m.CountSinceWild[side]),
                      m.HasWild[side], m.Melded[side]};
    }
    s.minimumLeft = MinMeld[side];
    s.opened = MeldOpened[side];
    s.canasta = HasCanasta[side];
    s.total = GameScore[side];
    s.penalty = side == kPlayer ? TakeBackPenalty : 0;
    for (int r = 0; r <= strategy::kJoker; ++r) s.discarded[r] = TheTable.Discarded[side][r];
    return s;
}

Simulator FromTable(const Phase& phase) {
    Simulator s;
    for (int i = 1; i <= kDeckSize; ++i) {
        const Card& card = Cards[i];
        const Place place = PlaceOf(card.Location);
        SimCard& c = s.cards[i];
        c = {Small(card.Rank),
             Small(card.Value),
             place.where,
             Small(place.seat),
             0,
             card.FromDiscard,
             card.MeldedFromHand,
             Small(TheTable.TakenBy[i] - 1),
             Pic(i).border};
        if (place.where == Where::Melds) c.meld = Small(card.MeldRank[SideOf(place.seat)]);
        if (place.where == Where::Stock) s.stock.push_back(i);
    }
    s.seats = {SeatFromTable(kPlayer), SeatFromTable(kOpponent)};
    s.top = TopDiscard;
    s.toMove = phase.toMove;
    s.mustDraw = phase.mustDraw;
    s.hasDrawn = phase.hasDrawn;
    s.target = TargetScore;
    s.chosenWild = SelectedWild;
    s.meldSteps = phase.meldSteps;
    s.meldingOver = phase.meldingOver;
    return s;
}

// --- The first difference, in words ----------------------------------------------

class FirstDifference {
  public:
    // `group` and `index` say where (a card, a seat, a rank); the text is only
    // made when the values differ.
    void Check(const std::string& group, int index, const char* field, long got, long want) {
        if (!text_.empty() || got == want) return;
        text_ = group + (index >= 0 ? " " + std::to_string(index) : "") +
                (group == "card" ? " (" + FaceName(index) + ")" : "") + " " + field +
                ": simulator " + std::to_string(got) + ", game " + std::to_string(want);
    }
    void Cards(const std::string& what, const std::vector<SeenCard>& got,
               const std::vector<SeenCard>& want);
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

std::string Shown(const SeenCard& c) {
    return FaceName(c.id) + "#" + std::to_string(c.id) + " rank " + std::to_string(c.rank) +
           " value " + std::to_string(c.value) + " meld " + std::to_string(c.meld) +
           (c.fromPile ? " from pile" : "") + (c.laidNow ? " laid now" : "");
}

bool Same(const SeenCard& a, const SeenCard& b) {
    return a.id == b.id && a.rank == b.rank && a.value == b.value && a.meld == b.meld &&
           a.fromPile == b.fromPile && a.laidNow == b.laidNow;
}

void FirstDifference::Cards(const std::string& what, const std::vector<SeenCard>& got,
                            const std::vector<SeenCard>& want) {
    for (std::size_t k = 0; k < std::min(got.size(), want.size()) && text_.empty(); ++k) {
        if (!Same(got[k], want[k])) {
            text_ = what + " card " + std::to_string(k) + ": simulator " + Shown(got[k]) +
                    ", game " + Shown(want[k]);
        }
    }
    Check(what, -1, "cards", static_cast<long>(got.size()), static_cast<long>(want.size()));
}

// What FromView cannot know and no rule reads: which red three lies on which
// board, the rank a wild card carries on a meld, the flags and memory of cards
// away from the melds and hands, stale marks, the stock's order.
enum class Match { Everything, WhatAViewTells };

void CompareCard(FirstDifference& d, int i, const SimCard& got, const SimCard& want, Match how) {
    const bool all = how == Match::Everything;
    const bool onMeld = want.where == Where::Melds;
    d.Check("card", i, "place", static_cast<long>(got.where), static_cast<long>(want.where));
    if (want.where == Where::Hand || onMeld || (all && want.where == Where::RedThrees)) {
        d.Check("card", i, "seat", got.seat, want.seat);
    }
    if (all || !(onMeld && IsWildIndex(i))) d.Check("card", i, "rank", got.rank, want.rank);
    d.Check("card", i, "value", got.value, want.value);
    if (onMeld) d.Check("card", i, "meld", got.meld, want.meld);
    if (all || onMeld) {
        d.Check("card", i, "from the pile", got.fromPile, want.fromPile);
        d.Check("card", i, "laid now", got.laidNow, want.laidNow);
    }
    if (all || want.where == Where::Hand) d.Check("card", i, "taken by", got.takenBy, want.takenBy);
    if (all) d.Check("card", i, "marked", got.marked, want.marked);
}

int OnBoard(const Simulator& s, int seat) {
    int n = 0;
    for (int i = 1; i <= kDeckSize; ++i) {
        n += s.cards[i].where == Where::RedThrees && s.cards[i].seat == seat ? 1 : 0;
    }
    return n;
}

void CompareSeat(FirstDifference& d, int seat, const Simulator& got, const Simulator& want) {
    const SimSeat& a = got.seats[seat];
    const SimSeat& b = want.seats[seat];
    const std::string group = "seat " + std::to_string(seat) + " meld";
    for (int r = 1; r <= kMeldRanks; ++r) {
        d.Check(group, r, "count", a.melds[r].count, b.melds[r].count);
        d.Check(group, r, "wild", a.melds[r].wild, b.melds[r].wild);
        d.Check(group, r, "since wild", a.melds[r].sinceWild, b.melds[r].sinceWild);
        d.Check(group, r, "has wild", a.melds[r].hasWild, b.melds[r].hasWild);
        d.Check(group, r, "melded", a.melds[r].melded, b.melds[r].melded);
    }
    const std::string side = "seat " + std::to_string(seat);
    d.Check(side, -1, "minimum left", a.minimumLeft, b.minimumLeft);
    d.Check(side, -1, "opened", a.opened, b.opened);
    d.Check(side, -1, "canasta", a.canasta, b.canasta);
    d.Check(side, -1, "total", a.total, b.total);
    d.Check(side, -1, "penalty", a.penalty, b.penalty);
    d.Check(side, -1, "red threes", OnBoard(got, seat), OnBoard(want, seat));
    for (int r = 0; r <= strategy::kJoker; ++r) {
        d.Check(side + " discarded rank", r, "", a.discarded[r], b.discarded[r]);
    }
}

std::string Difference(const Simulator& got, const Simulator& want, Match how) {
    FirstDifference d;
    for (int i = 1; i <= kDeckSize; ++i) CompareCard(d, i, got.cards[i], want.cards[i], how);
    for (int seat = 0; seat < 2; ++seat) CompareSeat(d, seat, got, want);
    std::vector<int> a = got.stock;
    std::vector<int> b = want.stock;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    for (std::size_t k = 0; k < std::min(a.size(), b.size()); ++k) {
        d.Check("stock card", static_cast<int>(k), "", a[k], b[k]);
    }
    d.Check("stock", -1, "count", static_cast<long>(a.size()), static_cast<long>(b.size()));
    const bool all = how == Match::Everything;
    bool pile = false;
    for (int i = 1; i <= kDeckSize; ++i) pile = pile || want.cards[i].where == Where::Pile;
    if (all || pile) d.Check("pile", -1, "top", got.top, want.top);
    d.Check("turn", -1, "to move", got.toMove, want.toMove);
    d.Check("turn", -1, "must draw", got.mustDraw, want.mustDraw);
    if (all || want.toMove == 0) d.Check("turn", -1, "has drawn", got.hasDrawn, want.hasDrawn);
    // Thaddock's view does not show the wild card the player has chosen.
    if (all || want.toMove == 0)
        d.Check("turn", -1, "chosen wild", got.chosenWild, want.chosenWild);
    if (all) d.Check("turn", -1, "meld steps", got.meldSteps, want.meldSteps);
    if (all) d.Check("turn", -1, "melding over", got.meldingOver, want.meldingOver);
    d.Check("game", -1, "target", got.target, want.target);
    return d.Text();
}

void CompareSide(FirstDifference& d, int k, const SideView& a, const SideView& b) {
    const std::string side = "side " + std::to_string(k);
    for (int r = 1; r <= kMeldRanks; ++r) {
        d.Check(side + " meld", r, "count", a.meldCount[r], b.meldCount[r]);
        d.Check(side + " meld", r, "wild", a.meldWild[r], b.meldWild[r]);
        d.Check(side + " meld", r, "since wild", a.meldSinceWild[r], b.meldSinceWild[r]);
    }
    d.Check(side, -1, "red threes", a.redThrees, b.redThrees);
    d.Check(side, -1, "canasta", a.canasta, b.canasta);
    d.Check(side, -1, "opened", a.opened, b.opened);
    d.Check(side, -1, "minimum left", a.minimumLeft, b.minimumLeft);
    d.Check(side, -1, "total", a.total, b.total);
    d.Check(side, -1, "hand count", a.handCount, b.handCount);
    d.Check(side, -1, "penalty", a.penalty, b.penalty);
    for (int r = 0; r <= strategy::kJoker; ++r) {
        d.Check(side + " discarded rank", r, "", a.discarded[r], b.discarded[r]);
    }
    d.Cards(side + " melds", a.meldCards, b.meldCards);
    d.Cards(side + " held from the pile", a.heldFromPile, b.heldFromPile);
}

std::string ViewDifference(const View& got, const View& want) {
    FirstDifference d;
    d.Cards("hand", got.hand, want.hand);
    d.Cards("pile", got.pile, want.pile);
    for (int k = 0; k < 2; ++k) CompareSide(d, k, got.sides[k], want.sides[k]);
    d.Check("pile", -1, "state", static_cast<long>(got.pileForMe),
            static_cast<long>(want.pileForMe));
    d.Check("stock", -1, "count", got.stockCount, want.stockCount);
    d.Check("game", -1, "target", got.target, want.target);
    d.Check("turn", -1, "must draw", got.mustDraw, want.mustDraw);
    d.Check("turn", -1, "draw still owed", got.drawStillOwed, want.drawStillOwed);
    d.Check("turn", -1, "chosen wild", got.chosenWild, want.chosenWild);
    d.Check("turn", -1, "Thaddock's seat", got.thaddockSeat, want.thaddockSeat);
    return d.Text();
}

const char* KindName(Kind kind) {
    constexpr const char* kNames[] = {"nothing",  "Take Pile", "Draw",     "Lay",
                                      "Add Wild", "Discard",   "Take Back"};
    return kNames[static_cast<int>(kind)];
}

std::string Describe(const std::string& who, const Step& step) {
    return who + " " + KindName(step.kind) +
           (step.rank ? " rank " + std::to_string(step.rank) : "") +
           (step.cards.empty() ? "" : " [" + CardNames(step.cards) + "]");
}

Step Of(Kind kind, int rank = 0, std::vector<int> cards = {}) {
    Step s;
    s.kind = kind;
    s.rank = rank;
    s.cards = std::move(cards);
    return s;
}

std::vector<int> CardsAt(i16 location) {
    std::vector<int> cards;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == location) cards.push_back(i);
    }
    return cards;
}

// The cards that left the stock since `before`, drawn by the game at random.
// The red threes come first: each one drawn brings one more draw, so the
// simulator draws them all only if none comes after the last ordinary draw.
std::vector<int> LeftTheStock(const std::vector<int>& before) {
    std::vector<int> drawn;
    for (int card : before) {
        if (Cards[card].Location != Stock) drawn.push_back(card);
    }
    std::stable_partition(drawn.begin(), drawn.end(),
                          [](int card) { return Cards[card].Rank == kRedThree; });
    return drawn;
}

bool HandGoesOn() {
    return HandCount[kPlayer] >= 1 && StockCount >= 1 && HandCount[kOpponent] >= 1;
}

// The running figures of a hand, as the score board shows them.
int RunningScore(int side) {
    return MeldPoints[side] + HandBonus[side] + (HandCount[side] == 0 ? kOutBonus : 0) -
           HandPoints[side];
}

// --- Seeded games on the game and on the simulator side by side ------------------

// Steps chosen at random in place of the engine's, one in `every` (0: none), so
// the refusals, Take Back and Thaddock's unchecked melds are played too.
struct Mischief {
    int playerEvery = 0;
    int thaddockEvery = 0;
    bool takeBackAfterLaying = false;  // a turn that lays before opening often takes it back
};

struct Tally {
    int games = 0;
    int hands = 0;
    int steps = 0;
    int refused = 0;
    int takeBacks = 0;
    int penalties = 0;
    int wentOut = 0;
    int pileTaken = 0;
    int fromViews = 0;
    int stuck = 0;
    int divergences = 0;
    std::vector<std::string> reports;
};

enum class Turn { Player, PlayerToStart, ThaddockBeforeDraw, ThaddockAfterDraw };

class SimulatorTest : public TableTest {
  protected:
    void PlayGames(int first, int count, const Mischief& mischief, bool fromView);
    // A table set up by a script, then steps of the side to move on it and on
    // the simulator: what each step was answered, and the simulator's table.
    std::string PlaySituation(const std::string& script, const std::vector<Step>& steps);
    std::string Summary() const;

    Tally tally;
    std::vector<Simulator> deals;  // each hand as dealt, for the simulator's own play

  private:
    void PlayGame(std::uint64_t seed);
    void DealHand();
    bool PlayHand();
    bool PlayersTurn();
    bool PlayPlayerSide(const Step& step);
    void ThaddocksTurn();
    void ThaddockMelds(bool& mischiefPlayed);
    void ThaddockDiscards();
    bool PlayThaddockSide(const Step& step);
    void CrossCheckThaddock(const TableState& before, const HeadlessPlatform& sysBefore);
    void ScoreHand();
    // The engine's step, or one chosen at random in its place (`own` false).
    Step PlayerChoice(bool& own);
    Step RandomPlayerStep();
    Step RandomThaddockStep();
    bool Roll(int every) { return every > 0 && rng_() % static_cast<unsigned>(every) == 0; }
    Phase PhaseNow() const;
    void Check(const std::string& label, bool simAccepted, bool gameAccepted);
    std::string CheckFromView(const Phase& phase) const;
    void Diverge(const std::string& label, const std::string& what);

    Simulator sim_;
    Mischief mischief_;
    bool fromView_ = false;
    std::mt19937 rng_;
    std::uint64_t seed_ = 0;
    int hand_ = 0;
    int turn_ = 0;
    int meldSteps_ = 0;
    bool meldingOver_ = false;
    Turn turnState_ = Turn::Player;
    bool diverged_ = false;
    bool takeBackNext_ = false;
};

void SimulatorTest::PlayGames(int first, int count, const Mischief& mischief, bool fromView) {
    mischief_ = mischief;
    fromView_ = fromView;
    for (int seed = first; seed < first + count; ++seed) PlayGame(static_cast<std::uint64_t>(seed));
}

std::string SimulatorTest::Summary() const {
    std::string out;
    for (const std::string& r : tally.reports) out += r + "\n";
    return out;
}

// As the game opens a game and deals its hands, to the target score.
void SimulatorTest::PlayGame(std::uint64_t seed) {
    sys = HeadlessPlatform{};
    FreshTable();
    sys.Seed(seed);
    seed_ = seed;
    rng_.seed(static_cast<unsigned>(seed));
    hand_ = 0;
    GameInProgress = true;
    ClearIt();
    PlayerTurn = static_cast<int>(std::floor(2 * Sys().Random())) + 1 == kPlayer;
    SetUpDeck();
    ++tally.games;
    while (hand_ < kMostHandsInAGame) {
        DealHand();
        if (!PlayHand()) return;
        ScoreHand();
        const int mine = GameScore[kPlayer];
        const int his = GameScore[kOpponent];
        if (mine > TargetScore && his > TargetScore && mine == his) continue;
        if (mine >= TargetScore || his >= TargetScore) return;
    }
}

void SimulatorTest::DealHand() {
    ClearIt();
    GetMinMeld(kPlayer);
    GetMinMeld(kOpponent);
    DealEm(PlayerTurn ? kOpponent : kPlayer);
    SortHand(kPlayer);
    SortHand(kOpponent);
    StackStock();
    ++hand_;
    ++tally.hands;
    turn_ = 0;
    diverged_ = false;
    takeBackNext_ = false;
    turnState_ = PlayerTurn ? Turn::PlayerToStart : Turn::ThaddockBeforeDraw;
    sim_ = FromTable(PhaseNow());
    deals.push_back(sim_);
}

bool SimulatorTest::PlayHand() {
    for (int guard = 0; guard < kMostStepsInAHand; ++guard) {
        if (!diverged_ && sim_.HandOver() == HandGoesOn()) {
            Diverge("turn " + std::to_string(turn_) + " ends",
                    std::string("hand over: simulator ") + (sim_.HandOver() ? "yes" : "no"));
        }
        if (!HandGoesOn()) return true;
        ++turn_;
        if (!PlayerTurn) {
            ThaddocksTurn();
            PlayerTurn = true;
        } else if (!PlayersTurn()) {
            return false;
        }
    }
    return false;
}

// The player's turn as the engine plays it through the handlers, a step at a
// time: a refused step is followed by a discard, and a refused discard leaves
// the turn stuck, as the game would.
bool SimulatorTest::PlayersTurn() {
    MustDraw = true;
    turnState_ = Turn::Player;
    Check("the player's turn starts", true, true);
    for (int n = 0; n < kMostStepsInATurn && PlayerTurn; ++n) {
        bool own = true;
        if (PlayPlayerSide(PlayerChoice(own)) || !own) continue;
        const Step discard = PlayerNextStep();
        if (discard.kind != Kind::Discard || !PlayPlayerSide(discard)) break;
    }
    // Random steps may leave the engine nothing the game accepts: Take Back
    // and the first card the game lets go end the turn then.
    if (PlayerTurn && mischief_.playerEvery > 0) PlayPlayerSide(Of(Kind::TakeBack));
    for (int card : CardsAt(PlayerHand)) {
        if (!PlayerTurn) break;
        PlayPlayerSide(Of(Kind::Discard, 0, {card}));
    }
    if (!PlayerTurn) return true;
    ++tally.stuck;
    return false;
}

bool SimulatorTest::PlayPlayerSide(const Step& step) {
    const std::vector<int> stock = CardsAt(Stock);
    const bool accepted = PlayPlayerStep(step);
    if (!PlayerTurn) {
        // However the turn ended, no draw is owed any more.
        MustDraw = false;
        turnState_ = Turn::ThaddockBeforeDraw;
    }
    tally.refused += accepted ? 0 : 1;
    tally.takeBacks += step.kind == Kind::TakeBack ? 1 : 0;
    tally.pileTaken += step.kind == Kind::TakePile && accepted ? 1 : 0;
    if (!diverged_) sim_.DrawNext(LeftTheStock(stock));
    const bool simAccepted = !diverged_ && sim_.Apply(step);
    Check(Describe("the player's", step), simAccepted, accepted);
    return accepted;
}

Step SimulatorTest::PlayerChoice(bool& own) {
    const Step engine = PlayerNextStep();
    own = false;
    if (std::exchange(takeBackNext_, false)) return Of(Kind::TakeBack);
    if (mischief_.takeBackAfterLaying && !MeldOpened[kPlayer] && rng_() % 2 == 0 &&
        (engine.kind == Kind::Lay || engine.kind == Kind::TakePile)) {
        takeBackNext_ = true;
    }
    if (Roll(mischief_.playerEvery)) return RandomPlayerStep();
    own = true;
    return engine;
}

int Pick(std::mt19937& rng, const std::vector<int>& cards, int otherwise) {
    return cards.empty() ? otherwise : cards[rng() % cards.size()];
}

Step SimulatorTest::RandomPlayerStep() {
    const std::vector<int> hand = CardsAt(PlayerHand);
    const int any = Pick(rng_, hand, TopDiscard);
    std::vector<int> same;
    std::vector<int> wilds;
    for (int card : hand) {
        if (Cards[card].Rank == Cards[any].Rank) same.push_back(card);
        if (IsWildIndex(card)) wilds.push_back(card);
    }
    const int meldCard = Pick(rng_, CardsAt(PlayerMelds), any);
    const int rank = rng_() % 2 ? Cards[meldCard].Rank : 1 + static_cast<int>(rng_() % kMeldRanks);
    if (same.empty()) same.push_back(any);
    same.resize(1 + rng_() % same.size());
    switch (rng_() % 8) {
        case 0:
            return Of(Kind::TakeBack);
        case 1:
            return Of(Kind::Lay, Cards[any].Rank, same);
        case 2:
            return Of(Kind::AddWild, rank, {Pick(rng_, wilds, any)});
        case 3:
            return Of(Kind::Discard, 0, {any});
        case 4:
            return Of(Kind::TakePile, 0, {TopDiscard});
        case 5:
            return Of(Kind::DrawStock);
        case 6:
            return Of(Kind::Lay, Cards[any].Rank, {any});
        default:
            return Of(Kind::Lay, 0, {1 + static_cast<int>(rng_() % kDeckSize)});
    }
}

// Thaddock's melds are not checked: any rank he holds, wild cards over the quota.
Step SimulatorTest::RandomThaddockStep() {
    const std::vector<int> hand = CardsAt(OpponentHand);
    const int any = Pick(rng_, hand, 1);
    std::vector<int> wilds;
    for (int card : hand) {
        if (IsWildIndex(card)) wilds.push_back(card);
    }
    const int rank = 1 + static_cast<int>(rng_() % kMeldRanks);
    switch (rng_() % 4) {
        case 0:
            return Of(Kind::Lay, Cards[any].Rank);
        case 1:
            return Of(Kind::AddWild, rank, {Pick(rng_, wilds, any)});
        case 2:
            return Of(Kind::AddWild, rank, {1 + static_cast<int>(rng_() % kDeckSize)});
        default:
            return Of(Kind::Lay, static_cast<int>(rng_() % (strategy::kJoker + 1)));
    }
}

// Thaddock's turn, step by step as OpponentTurn and Expert Thaddock play it.
void SimulatorTest::ThaddocksTurn() {
    sys.waits.clear();
    sys.dialogs.clear();
    sys.sounds.clear();
    const TableState before = TheTable;
    const HeadlessPlatform sysBefore = sys;
    turnState_ = Turn::ThaddockBeforeDraw;
    meldSteps_ = 0;
    meldingOver_ = false;
    EstablishPoints(kOpponent);
    const bool mayTake = CanTakeUpDiscard(kOpponent);
    Step choice = strategy::NextStep(SideViewOf(kOpponent, true));
    bool mischiefPlayed = Roll(mischief_.thaddockEvery);
    if (mischiefPlayed) choice = Of(Kind::TakePile, 0, {TopDiscard});
    const bool takes = mayTake && choice.kind == Kind::TakePile;
    const std::vector<int> stock = CardsAt(Stock);
    takes ? TakeDiscardPile(kOpponent) : TakeTwoFromStock(kOpponent);
    tally.pileTaken += takes ? 1 : 0;
    turnState_ = Turn::ThaddockAfterDraw;
    if (!diverged_) sim_.DrawNext(LeftTheStock(stock));
    // A take he may not make is refused, and he draws two in its place.
    if (!diverged_ && choice.kind == Kind::TakePile && sim_.Apply(choice) != mayTake) {
        Diverge(Describe("Thaddock's", choice), "accepted: simulator differs from the game");
    }
    const bool drew = takes || diverged_ || sim_.Apply(Of(Kind::DrawStock));
    Check(takes ? "Thaddock takes the pile" : "Thaddock draws two", drew, true);
    ThaddockMelds(mischiefPlayed);
    ThaddockDiscards();
    if (!mischiefPlayed) CrossCheckThaddock(before, sysBefore);
}

void SimulatorTest::ThaddockMelds(bool& mischiefPlayed) {
    EstablishPoints(kOpponent);
    for (int n = 0; n < kMostMeldSteps && HandCount[kOpponent] > 0; ++n) {
        EstablishPoints(kOpponent);
        Step step = strategy::NextStep(SideViewOf(kOpponent, false));
        if (Roll(mischief_.thaddockEvery)) step = RandomThaddockStep(), mischiefPlayed = true;
        const int card = step.cards.empty() ? 0 : step.cards.front();
        const bool inHand = card >= 1 && card <= kDeckSize && Cards[card].Location == OpponentHand;
        bool played = step.kind == Kind::Lay;
        if (played) MeldCardsHand(kOpponent, step.rank);
        if (step.kind == Kind::AddWild && inHand) {
            played = Trap("ExpertMelds", [&] { AddWildCard(card, step.rank, kOpponent); });
        }
        // A wild card he does not hold ends the melding; the simulator refuses it.
        if (!played && step.kind != Kind::AddWild) break;
        if (played) meldSteps_ = n + 1;
        meldingOver_ = !played;
        const bool simAccepted = !diverged_ && sim_.Apply(step);
        Check(Describe("Thaddock's", step), simAccepted, played);
        if (!played) break;
    }
    GetBonusScores(kOpponent);
    SortHand(kOpponent);
}

void SimulatorTest::ThaddockDiscards() {
    const bool may = ThaddockMayDiscard();
    if (may) EstablishPoints(kOpponent);
    const Step step = strategy::NextStep(SideViewOf(kOpponent, false));
    const int card = step.cards.empty() ? 0 : step.cards.front();
    const bool discards = may && step.kind == Kind::Discard && card >= 1 && card <= kDeckSize &&
                          Cards[card].Location == OpponentHand;
    if (discards) MakeDiscard(kOpponent, card);
    turnState_ = Turn::PlayerToStart;
    bool simAccepted = false;
    if (!diverged_) {
        simAccepted = sim_.Apply(step);
        if (!simAccepted) sim_.EndTurn();
    }
    Check(Describe("Thaddock's", step) + (discards ? "" : " (no discard)"), simAccepted, discards);
}

// The turn driven step by step must leave the table as ExpertMelds and
// ExpertDiscards leave it from the same start and the same random draws.
void SimulatorTest::CrossCheckThaddock(const TableState& before,
                                       const HeadlessPlatform& sysBefore) {
    const TableState driven = TheTable;
    const HeadlessPlatform sysDriven = sys;
    TheTable = before;
    sys = sysBefore;
    EstablishPoints(kOpponent);
    if (CanTakeUpDiscard(kOpponent) && ExpertTakesPile()) {
        TakeDiscardPile(kOpponent);
    } else {
        TakeTwoFromStock(kOpponent);
    }
    EstablishPoints(kOpponent);
    ExpertMelds();
    ExpertDiscards();
    if (!(TheTable == driven) && !diverged_) {
        Diverge("Thaddock's turn", "the turn played step by step differs from the game's own");
    }
    TheTable = driven;
    sys = sysDriven;
}

void SimulatorTest::ScoreHand() {
    const int want[2] = {sim_.HandScore(0), sim_.HandScore(1)};
    const int before[2] = {GameScore[kPlayer], GameScore[kOpponent]};
    tally.penalties += TakeBackPenalty > 0 ? 1 : 0;
    tally.wentOut += HandCount[kPlayer] == 0 || HandCount[kOpponent] == 0 ? 1 : 0;
    GetScoresHand();
    for (int seat = 0; seat < 2 && !diverged_; ++seat) {
        const int scored = GameScore[SideOf(seat)] - before[seat];
        if (scored != want[seat]) {
            Diverge("the hand's scoring", "seat " + std::to_string(seat) + " scores " +
                                              std::to_string(want[seat]) + ", game " +
                                              std::to_string(scored));
        }
    }
}

Phase SimulatorTest::PhaseNow() const {
    switch (turnState_) {
        case Turn::Player:
            return {0, MustDraw, HasDrawn, 0};
        case Turn::PlayerToStart:
            return {0, true, false, 0};
        case Turn::ThaddockBeforeDraw:
            return {1, true, false, 0};
        case Turn::ThaddockAfterDraw:
            break;
    }
    return {1, false, false, meldSteps_, meldingOver_};
}

void SimulatorTest::Check(const std::string& label, bool simAccepted, bool gameAccepted) {
    ++tally.steps;
    if (diverged_) return;
    const Phase phase = PhaseNow();
    std::string what;
    if (simAccepted != gameAccepted) {
        what = std::string("accepted: simulator ") + (simAccepted ? "yes" : "no") + ", game " +
               (gameAccepted ? "yes" : "no");
    }
    if (what.empty()) what = Difference(sim_, FromTable(phase), Match::Everything);
    for (int seat = 0; seat < 2 && what.empty(); ++seat) {
        what =
            ViewDifference(sim_.ViewOf(seat), SideViewOf(SideOf(seat), MustDrawSeen(phase, seat)));
        if (!what.empty()) what = "view of seat " + std::to_string(seat) + ", " + what;
    }
    for (int seat = 0; seat < 2 && what.empty(); ++seat) {
        if (sim_.HandScore(seat) != RunningScore(SideOf(seat))) {
            what = "seat " + std::to_string(seat) + " hand score " +
                   std::to_string(sim_.HandScore(seat)) + ", game " +
                   std::to_string(RunningScore(SideOf(seat)));
        }
    }
    if (what.empty() && fromView_) {
        ++tally.fromViews;
        what = CheckFromView(phase);
    }
    if (!what.empty()) Diverge(label, what);
}

// The side to move's view, with the other hand and the stock placed as they
// truly lie, must give back the table in all the rules read.
std::string SimulatorTest::CheckFromView(const Phase& phase) const {
    const int seat = phase.toMove;
    const View view = SideViewOf(SideOf(seat), MustDrawSeen(phase, seat));
    const std::vector<int> stock = CardsAt(Stock);
    const Simulator built =
        Simulator::FromView(view, CardsAt(static_cast<i16>(SideOf(1 - seat))), stock);
    std::string what = Difference(built, FromTable(phase), Match::WhatAViewTells);
    if (what.empty() && built.stock != stock) what = "stock order";
    for (int s = 0; s < 2 && what.empty(); ++s) {
        View want = SideViewOf(SideOf(s), MustDrawSeen(phase, s));
        // Thaddock's view does not show the wild card the player has chosen.
        if (seat == 1) want.chosenWild = built.chosenWild;
        what = ViewDifference(built.ViewOf(s), want);
        if (!what.empty()) what = "view of seat " + std::to_string(s) + ", " + what;
    }
    return what.empty() ? what
                        : "built from the view of seat " + std::to_string(seat) + ": " + what;
}

void SimulatorTest::Diverge(const std::string& label, const std::string& what) {
    diverged_ = true;
    ++tally.divergences;
    if (tally.reports.size() < kReportsKept) {
        tally.reports.push_back("seed " + std::to_string(seed_) + ", hand " +
                                std::to_string(hand_) + ", turn " + std::to_string(turn_) +
                                ", after " + label + ": " + what);
    }
}

// One step of Thaddock's after his draw, through the procedures his melding
// and his discard call.
bool SimulatorTest::PlayThaddockSide(const Step& step) {
    const int card = step.cards.empty() ? 0 : step.cards.front();
    const bool inHand = card >= 1 && card <= kDeckSize && Cards[card].Location == OpponentHand;
    bool played =
        !meldingOver_ && (step.kind == Kind::Lay || (step.kind == Kind::AddWild && inHand));
    if (played && step.kind == Kind::Lay) MeldCardsHand(kOpponent, step.rank);
    if (played && step.kind == Kind::AddWild) AddWildCard(card, step.rank, kOpponent);
    meldSteps_ += played ? 1 : 0;
    meldingOver_ = meldingOver_ || !played;
    if (step.kind == Kind::Discard && ThaddockMayDiscard() && inHand) {
        MakeDiscard(kOpponent, card);
        turnState_ = Turn::PlayerToStart;
        played = true;
    }
    const bool simAccepted = sim_.Apply(step);
    Check(Describe("Thaddock's", step), simAccepted, played);
    return played;
}

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
    seed_ = 0;
    ++hand_;
    diverged_ = false;
    meldSteps_ = 0;
    meldingOver_ = false;
    turnState_ = PlayerTurn ? Turn::Player : Turn::ThaddockAfterDraw;
    sim_ = FromTable(PhaseNow());
    std::string answers;
    for (const Step& step : steps) {
        const bool accepted =
            turnState_ == Turn::Player ? PlayPlayerSide(step) : PlayThaddockSide(step);
        answers += accepted ? "yes " : "no ";
    }
    return answers + "| " + Outline(sim_);
}

void Report(const char* what, const Tally& t) {
    std::printf(
        "[ %s ] %d games, %d hands, %d steps (%d refused, %d Take Back, %d piles taken), "
        "%d hands with a penalty, %d gone out, %d views rebuilt, %d stuck\n",
        what, t.games, t.hands, t.steps, t.refused, t.takeBacks, t.pileTaken, t.penalties,
        t.wentOut, t.fromViews, t.stuck);
}

TEST_F(SimulatorTest, TwoHundredSeededGamesPlayTheSameOnTheSimulatorStepByStep) {
    PlayGames(1, 200, {}, false);
    Report("engine on both sides", tally);
    EXPECT_EQ(tally.divergences, 0) << Summary();
    EXPECT_EQ(tally.stuck, 0);
    EXPECT_GE(tally.hands, 200);
}

TEST_F(SimulatorTest, RefusalsTakeBackAndThaddocksUncheckedMeldsPlayTheSame) {
    PlayGames(1001, 60, {.playerEvery = 4, .thaddockEvery = 6, .takeBackAfterLaying = true}, false);
    Report("random steps among the engine's", tally);
    EXPECT_EQ(tally.divergences, 0) << Summary();
    // The seeds reach what they are here for.
    EXPECT_GT(tally.refused, 100);
    EXPECT_GT(tally.takeBacks, 50);
    EXPECT_GT(tally.penalties, 5);
}

TEST_F(SimulatorTest, AValueBuiltFromOneSidesViewAndThePlacedHiddenCardsIsTheTable) {
    PlayGames(2001, 20, {.playerEvery = 5, .thaddockEvery = 0, .takeBackAfterLaying = true}, true);
    Report("built from views", tally);
    EXPECT_EQ(tally.divergences, 0) << Summary();
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
         {Of(Kind::Lay, 3, Named("3a")), Of(Kind::Discard, 0, Named("9a"))},
         "yes yes | hands 0/3, melds 0: 3x3 Kx7, pile 1 under 9a, seat 1 to draw, hand over"},
        {"without one a black three goes down alone as a meld no discard checks",
         "h1=3a,3b,3c,9a h2=4b,4c,4d open1 m1K=Ka,Kb,Kc turn drawn",
         {Of(Kind::Lay, 3, Named("3a,3b,3c")), Of(Kind::Discard, 0, Named("9a"))},
         "no yes | hands 2/3, melds 0: 3x1 Kx3, pile 1 under 9a, seat 1 to draw"},
        {"a press on a pile card under the top takes the pile; the meld stops at three",
         "h1=9a,9b,5a,6a h2=4b,4c,4d p=9c,4a,9d open1 m1K=Ka,Kb,Kc turn",
         {Of(Kind::Lay, 9, Named("9c"))},
         "yes | hands 4/3, melds 0: 9x3 Kx3, pile 0 under 9d, seat 0 to play"},
        {"a meld already past three takes every card of its rank from the hand",
         "h1=9a,9b,9c,5a h2=4b,4c,4d p=9d open1 m19=9e,9f,9g,9h turn",
         {Of(Kind::TakePile, 0, Named("9d"))},
         "yes | hands 1/3, melds 0: 9x8, pile 0 under 9d, seat 0 to play"},
        {"taking the pile goes out when the meld takes the last cards",
         "h1=Ka,Kb h2=4b,4c,4d p=Kc open1 canasta1 m1Q=Qa-Qg turn",
         {Of(Kind::TakePile, 0, Named("Kc"))},
         "yes | hands 0/3, melds 0: Qx7 Kx3, pile 0 under Kc, seat 1 to draw, hand over"},
        {"Take Back gives the pile's meld back at a cost; the rest of the pile stays in hand",
         "h1=Ka,Kb,5a,6a,7a h2=4b,4c,4d p=4a,Kc min1=50 turn",
         {Of(Kind::TakePile, 0, Named("Kc")), Of(Kind::TakeBack), Of(Kind::DrawStock)},
         "yes yes yes | hands 8/3, pile 1 under Kc, seat 0 to play, minimum 50, penalty 50"},
        {"a wild card chosen and left stays marked: the next press on it only lets it go",
         "h1=2a,2b,Ka,Kb,9a h2=4b,4c,4d open1 m1K=Kc,Kd,Ke turn drawn",
         {Of(Kind::AddWild, 9, Named("2a")), Of(Kind::AddWild, 13, Named("2b")),
          Of(Kind::AddWild, 13, Named("2a")), Of(Kind::AddWild, 13, Named("2a"))},
         "no yes no yes | hands 3/3, melds 0: Kx5w2+2, pile 0, seat 0 to play"},
        {"an unfinished meld and an unmet minimum refuse the discard until taken back",
         "h1=Ka,Kb,Kc,9a,5a h2=4b,4c,4d min1=50 turn drawn",
         {Of(Kind::Lay, 13, Named("Ka")), Of(Kind::Discard, 0, Named("9a")),
          Of(Kind::Lay, 13, Named("Kb,Kc")), Of(Kind::Discard, 0, Named("9a")), Of(Kind::TakeBack),
          Of(Kind::Discard, 0, Named("9a"))},
         "yes no yes no yes yes | hands 4/3, pile 1 under 9a, seat 1 to draw, minimum 50"},
        {"unopened, Take Back puts back the minimum of cards it leaves, twice for a short meld",
         "h1=Ka,Kb,Kc,9a,5a h2=4b,4c,4d m13=3a min1=50 turn drawn",
         {Of(Kind::Lay, 13, Named("Ka,Kb,Kc")), Of(Kind::TakeBack)},
         "yes yes | hands 5/3, melds 0: 3x1, pile 0, seat 0 to play, a draw owed, minimum 60"},
        {"a wild card taken back leaves the count since it, and the meld stays mixed",
         "h1=Ka,Kb,Kc,Kd,2a,9a h2=4b,4c,4d min1=200 turn drawn",
         {Of(Kind::Lay, 13, Named("Ka,Kb,Kc")), Of(Kind::AddWild, 13, Named("2a")),
          Of(Kind::Lay, 13, Named("Kd")), Of(Kind::TakeBack), Of(Kind::Lay, 13, Named("Ka,Kb,Kc"))},
         "yes yes yes yes yes | hands 3/3, melds 0: Kx3+4, pile 0, seat 0 to play, a draw owed, "
         "minimum 170"},
        {"the last card without a canasta stays in the hand, and the turn passes",
         "h1=9a h2=4b,4c,4d open1 m1K=Ka,Kb,Kc turn drawn",
         {Of(Kind::Discard, 0, Named("9a"))},
         "yes | hands 1/3, melds 0: Kx3, pile 0, seat 1 to draw"},
        {"Thaddock's melds are not checked: black threes, Twos, a wild card alone",
         "h2=3a,3b,2a,2c,9a,9b,Xa h1=4b,4c,4d ingame",
         {Of(Kind::Lay, 3), Of(Kind::Lay, 2), Of(Kind::AddWild, 9, Named("Xa")),
          Of(Kind::Discard, 0, Named("9a"))},
         "yes yes yes yes | hands 3/1, melds 1: 2x2 3x2 9x1w1+1, pile 1 under 9a, seat 0 to draw"},
        {"a step Thaddock's melding cannot play ends it; only his discard is left",
         "h2=9a,9b,9c,Ka,Kb,Kc,5a h1=4b,4c,4d ingame",
         {Of(Kind::AddWild, 9, Named("Xa")), Of(Kind::Lay, 9), Of(Kind::Discard, 0, Named("5a"))},
         "no no yes | hands 3/6, pile 1 under 5a, seat 0 to draw"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaySituation(c.script, c.steps), c.outcome) << c.title;
    }
    EXPECT_EQ(tally.divergences, 0) << Summary();
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
            s.Apply(Of(Kind::DrawStock));
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
    PlayGames(1, 20, {}, false);
    ASSERT_EQ(tally.divergences, 0) << Summary();
    // Each deal's stock in an order of its own, as the game's random draws would give.
    std::mt19937 rng(1);
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
