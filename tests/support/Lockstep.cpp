#include "support/Lockstep.h"

#include "deck/Dealing.h"
#include "deck/Drawing.h"
#include "deck/Stock.h"
#include "flow/ClearTable.h"
#include "flow/Handlers.h"
#include "flow/KeptHand.h"
#include "layout/FollowMouse.h"
#include "layout/Hand.h"
#include "model/Card.h"
#include "model/CardFace.h"
#include "model/PlayerFileFormat.h"
#include "model/Settings.h"
#include "model/Table.h"
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
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>
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

// A card as a report names it: its face, and its index in the deck.
std::string Named(int card) {
    return FaceName(card) + "#" + std::to_string(card);
}

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
    return Named(c.id) + " rank " + std::to_string(c.rank) + " value " + std::to_string(c.value) +
           " meld " + std::to_string(c.meld) + (c.fromPile ? " from pile" : "") +
           (c.laidNow ? " laid now" : "");
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
    std::string cards;
    for (int card : step.cards) cards += (cards.empty() ? "" : ", ") + Named(card);
    return who + " " + KindName(step.kind) +
           (step.rank ? " rank " + std::to_string(step.rank) : "") +
           (cards.empty() ? "" : " [" + cards + "]");
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

enum class Turn { Player, PlayerToStart, ThaddockBeforeDraw, ThaddockAfterDraw };

// A program directory no other run shares, made afresh (mode 0700): the games
// write the player's files there and nowhere else.
std::filesystem::path PrivateDirectory() {
    std::string name =
        (std::filesystem::temp_directory_path() / "cardovia-lockstep-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {
        throw std::filesystem::filesystem_error("no private directory",
                                                std::error_code(errno, std::generic_category()));
    }
    return name;
}

}  // namespace

Step StepOf(Kind kind, int rank, std::vector<int> cards) {
    Step s;
    s.kind = kind;
    s.rank = rank;
    s.cards = std::move(cards);
    return s;
}

class Lockstep::Driver {
  public:
    Driver() = default;
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    void PlayGames(std::uint64_t first, int count, const Mischief& mischief, Views views);
    std::vector<bool> PlaySteps(const std::vector<Step>& steps);

    LockstepResult result;
    std::vector<Simulator> deals;  // each hand as dealt
    Simulator sim;

  private:
    void FreshTable(std::uint64_t seed);
    void PlayGame(std::uint64_t seed);
    void DealHand();
    bool PlayHand();
    bool PlayersTurn();
    bool PlayPlayerSide(const Step& step);
    void ThaddocksTurn();
    void ThaddockMelds(bool& mischiefPlayed);
    void ThaddockDiscards();
    bool PlayThaddockSide(const Step& step);
    void CrossCheckThaddock(const TableState& before, const HeadlessPlatform& platformBefore);
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

    HeadlessPlatform platform_;  // the games' own; a table set up by hand brings its own
    std::filesystem::path dir_;  // the games' program directory, made at the first game
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

Lockstep::Driver::~Driver() {
    if (dir_.empty()) return;
    FlushKeptHand();  // nothing of the last game's is still on its way to the disk
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void Lockstep::Driver::PlayGames(std::uint64_t first, int count, const Mischief& mischief,
                                 Views views) {
    // However the games end, the game is not left talking to a platform that goes with them.
    struct Uninstall {
        ~Uninstall() { InstallPlatform(nullptr); }
    } uninstall;
    mischief_ = mischief;
    fromView_ = views == Views::AlsoRebuilt;
    if (dir_.empty()) dir_ = PrivateDirectory();
    for (int k = 0; k < count; ++k) PlayGame(first + static_cast<std::uint64_t>(k));
}

// The model, the form and the platform as at program start, the whole deck in
// the stock and nothing left of the last game on disk.
void Lockstep::Driver::FreshTable(std::uint64_t seed) {
    FlushKeptHand();
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        std::filesystem::remove_all(entry.path());
    }
    ResetModel();
    ResetForm();
    FollowMouse = clsObjectFollowMouse{};
    platform_ = HeadlessPlatform(seed);
    InstallPlatform(&platform_);
    ProgramDirectory = DataDirectory = dir_.string();
    UserDataDirectory = (dir_ / "user").string();
    ConnectHandlers();
    SetUpDeck();
    for (int i = 1; i <= kDeckSize; ++i) Cards[i].Location = Stock;
    StackStock();
    platform_.waits.clear();
}

// As the game opens a game and deals its hands, to the target score.
void Lockstep::Driver::PlayGame(std::uint64_t seed) {
    FreshTable(seed);
    seed_ = seed;
    rng_.seed(static_cast<unsigned>(seed));
    hand_ = 0;
    GameInProgress = true;
    ClearIt();
    PlayerTurn = static_cast<int>(std::floor(2 * Sys().Random())) + 1 == kPlayer;
    SetUpDeck();
    ++result.games;
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

void Lockstep::Driver::DealHand() {
    ClearIt();
    GetMinMeld(kPlayer);
    GetMinMeld(kOpponent);
    DealEm(PlayerTurn ? kOpponent : kPlayer);
    SortHand(kPlayer);
    SortHand(kOpponent);
    StackStock();
    ++hand_;
    ++result.hands;
    turn_ = 0;
    diverged_ = false;
    takeBackNext_ = false;
    turnState_ = PlayerTurn ? Turn::PlayerToStart : Turn::ThaddockBeforeDraw;
    sim = FromTable(PhaseNow());
    deals.push_back(sim);
}

bool Lockstep::Driver::PlayHand() {
    for (int guard = 0; guard < kMostStepsInAHand; ++guard) {
        if (!diverged_ && sim.HandOver() == HandGoesOn()) {
            Diverge("turn " + std::to_string(turn_) + " ends",
                    std::string("hand over: simulator ") + (sim.HandOver() ? "yes" : "no"));
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
bool Lockstep::Driver::PlayersTurn() {
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
    if (PlayerTurn && mischief_.playerEvery > 0) PlayPlayerSide(StepOf(Kind::TakeBack));
    for (int card : CardsAt(PlayerHand)) {
        if (!PlayerTurn) break;
        PlayPlayerSide(StepOf(Kind::Discard, 0, {card}));
    }
    if (!PlayerTurn) return true;
    ++result.stuck;
    return false;
}

bool Lockstep::Driver::PlayPlayerSide(const Step& step) {
    const std::vector<int> stock = CardsAt(Stock);
    const bool accepted = PlayPlayerStep(step);
    if (!PlayerTurn) {
        // However the turn ended, no draw is owed any more.
        MustDraw = false;
        turnState_ = Turn::ThaddockBeforeDraw;
    }
    result.refused += accepted ? 0 : 1;
    result.takeBacks += step.kind == Kind::TakeBack ? 1 : 0;
    result.pileTaken += step.kind == Kind::TakePile && accepted ? 1 : 0;
    if (!diverged_) sim.DrawNext(LeftTheStock(stock));
    const bool simAccepted = !diverged_ && sim.Apply(step);
    Check(Describe("the player's", step), simAccepted, accepted);
    return accepted;
}

Step Lockstep::Driver::PlayerChoice(bool& own) {
    const Step engine = PlayerNextStep();
    own = false;
    if (std::exchange(takeBackNext_, false)) return StepOf(Kind::TakeBack);
    if (mischief_.takeBackAfterLaying && !MeldOpened[kPlayer] && rng_() % 2 == 0 &&
        (engine.kind == Kind::Lay || engine.kind == Kind::TakePile)) {
        takeBackNext_ = true;
    }
    if (Roll(mischief_.playerEvery)) return RandomPlayerStep();
    own = true;
    return engine;
}

namespace {

int Pick(std::mt19937& rng, const std::vector<int>& cards, int otherwise) {
    return cards.empty() ? otherwise : cards[rng() % cards.size()];
}

}  // namespace

Step Lockstep::Driver::RandomPlayerStep() {
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
            return StepOf(Kind::TakeBack);
        case 1:
            return StepOf(Kind::Lay, Cards[any].Rank, same);
        case 2:
            return StepOf(Kind::AddWild, rank, {Pick(rng_, wilds, any)});
        case 3:
            return StepOf(Kind::Discard, 0, {any});
        case 4:
            return StepOf(Kind::TakePile, 0, {TopDiscard});
        case 5:
            return StepOf(Kind::DrawStock);
        case 6:
            return StepOf(Kind::Lay, Cards[any].Rank, {any});
        default:
            return StepOf(Kind::Lay, 0, {1 + static_cast<int>(rng_() % kDeckSize)});
    }
}

// Thaddock's melds are not checked: any rank he holds, wild cards over the quota.
Step Lockstep::Driver::RandomThaddockStep() {
    const std::vector<int> hand = CardsAt(OpponentHand);
    const int any = Pick(rng_, hand, 1);
    std::vector<int> wilds;
    for (int card : hand) {
        if (IsWildIndex(card)) wilds.push_back(card);
    }
    const int rank = 1 + static_cast<int>(rng_() % kMeldRanks);
    switch (rng_() % 4) {
        case 0:
            return StepOf(Kind::Lay, Cards[any].Rank);
        case 1:
            return StepOf(Kind::AddWild, rank, {Pick(rng_, wilds, any)});
        case 2:
            return StepOf(Kind::AddWild, rank, {1 + static_cast<int>(rng_() % kDeckSize)});
        default:
            return StepOf(Kind::Lay, static_cast<int>(rng_() % (strategy::kJoker + 1)));
    }
}

// Thaddock's turn, step by step as OpponentTurn and Expert Thaddock play it.
void Lockstep::Driver::ThaddocksTurn() {
    platform_.waits.clear();
    platform_.dialogs.clear();
    platform_.sounds.clear();
    const TableState before = TheTable;
    const HeadlessPlatform platformBefore = platform_;
    turnState_ = Turn::ThaddockBeforeDraw;
    meldSteps_ = 0;
    meldingOver_ = false;
    EstablishPoints(kOpponent);
    const bool mayTake = CanTakeUpDiscard(kOpponent);
    Step choice = strategy::NextStep(SideViewOf(kOpponent, true));
    bool mischiefPlayed = Roll(mischief_.thaddockEvery);
    if (mischiefPlayed) choice = StepOf(Kind::TakePile, 0, {TopDiscard});
    const bool takes = mayTake && choice.kind == Kind::TakePile;
    const std::vector<int> stock = CardsAt(Stock);
    takes ? TakeDiscardPile(kOpponent) : TakeTwoFromStock(kOpponent);
    result.pileTaken += takes ? 1 : 0;
    turnState_ = Turn::ThaddockAfterDraw;
    if (!diverged_) sim.DrawNext(LeftTheStock(stock));
    // A take he may not make is refused, and he draws two in its place.
    if (!diverged_ && choice.kind == Kind::TakePile && sim.Apply(choice) != mayTake) {
        Diverge(Describe("Thaddock's", choice), "accepted: simulator differs from the game");
    }
    const bool drew = takes || diverged_ || sim.Apply(StepOf(Kind::DrawStock));
    Check(takes ? "Thaddock takes the pile" : "Thaddock draws two", drew, true);
    ThaddockMelds(mischiefPlayed);
    ThaddockDiscards();
    if (!mischiefPlayed) CrossCheckThaddock(before, platformBefore);
}

void Lockstep::Driver::ThaddockMelds(bool& mischiefPlayed) {
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
        const bool simAccepted = !diverged_ && sim.Apply(step);
        Check(Describe("Thaddock's", step), simAccepted, played);
        if (!played) break;
    }
    GetBonusScores(kOpponent);
    SortHand(kOpponent);
}

void Lockstep::Driver::ThaddockDiscards() {
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
        simAccepted = sim.Apply(step);
        if (!simAccepted) sim.EndTurn();
    }
    Check(Describe("Thaddock's", step) + (discards ? "" : " (no discard)"), simAccepted, discards);
}

// The turn driven step by step must leave the table as ExpertMelds and
// ExpertDiscards leave it from the same start and the same random draws.
void Lockstep::Driver::CrossCheckThaddock(const TableState& before,
                                          const HeadlessPlatform& platformBefore) {
    const TableState driven = TheTable;
    const HeadlessPlatform platformDriven = platform_;
    TheTable = before;
    platform_ = platformBefore;
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
    platform_ = platformDriven;
}

void Lockstep::Driver::ScoreHand() {
    const int want[2] = {sim.HandScore(0), sim.HandScore(1)};
    const int before[2] = {GameScore[kPlayer], GameScore[kOpponent]};
    result.penalties += TakeBackPenalty > 0 ? 1 : 0;
    result.wentOut += HandCount[kPlayer] == 0 || HandCount[kOpponent] == 0 ? 1 : 0;
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

Phase Lockstep::Driver::PhaseNow() const {
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

void Lockstep::Driver::Check(const std::string& label, bool simAccepted, bool gameAccepted) {
    if (diverged_) return;
    ++result.steps;
    const Phase phase = PhaseNow();
    std::string what;
    if (simAccepted != gameAccepted) {
        what = std::string("accepted: simulator ") + (simAccepted ? "yes" : "no") + ", game " +
               (gameAccepted ? "yes" : "no");
    }
    if (what.empty()) what = Difference(sim, FromTable(phase), Match::Everything);
    for (int seat = 0; seat < 2 && what.empty(); ++seat) {
        what =
            ViewDifference(sim.ViewOf(seat), SideViewOf(SideOf(seat), MustDrawSeen(phase, seat)));
        if (!what.empty()) what = "view of seat " + std::to_string(seat) + ", " + what;
    }
    for (int seat = 0; seat < 2 && what.empty(); ++seat) {
        if (sim.HandScore(seat) != RunningScore(SideOf(seat))) {
            what = "seat " + std::to_string(seat) + " hand score " +
                   std::to_string(sim.HandScore(seat)) + ", game " +
                   std::to_string(RunningScore(SideOf(seat)));
        }
    }
    if (what.empty() && fromView_) {
        ++result.fromViews;
        what = CheckFromView(phase);
    }
    if (!what.empty()) Diverge(label, what);
}

// The side to move's view, with the other hand and the stock placed as they
// truly lie, must give back the table in all the rules read.
std::string Lockstep::Driver::CheckFromView(const Phase& phase) const {
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

void Lockstep::Driver::Diverge(const std::string& label, const std::string& what) {
    diverged_ = true;
    ++result.divergences;
    if (result.first.size() < kReportsKept) {
        result.first.push_back({seed_, hand_, turn_, label, what});
    }
}

// One step of Thaddock's after his draw, through the procedures his melding
// and his discard call.
bool Lockstep::Driver::PlayThaddockSide(const Step& step) {
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
    const bool simAccepted = sim.Apply(step);
    Check(Describe("Thaddock's", step), simAccepted, played);
    return played;
}

// A table set up by hand: the side to move plays the steps, the player's
// through the handlers, Thaddock's as his melding and discard play them.
std::vector<bool> Lockstep::Driver::PlaySteps(const std::vector<Step>& steps) {
    seed_ = 0;
    ++hand_;
    diverged_ = false;
    meldSteps_ = 0;
    meldingOver_ = false;
    turnState_ = PlayerTurn ? Turn::Player : Turn::ThaddockAfterDraw;
    sim = FromTable(PhaseNow());
    std::vector<bool> answers;
    for (const Step& step : steps) {
        answers.push_back(turnState_ == Turn::Player ? PlayPlayerSide(step)
                                                     : PlayThaddockSide(step));
    }
    return answers;
}

// --- What the callers see ----------------------------------------------------------

std::string Divergence::Text() const {
    return "seed " + std::to_string(seed) + ", hand " + std::to_string(hand) + ", turn " +
           std::to_string(turn) + ", after " + step + ": " + field;
}

std::string LockstepResult::Summary() const {
    std::string out;
    for (const Divergence& d : first) out += d.Text() + "\n";
    return out;
}

std::string LockstepResult::Counts(const std::string& what) const {
    return "[ " + what + " ] " + std::to_string(games) + " games, " + std::to_string(hands) +
           " hands, " + std::to_string(steps) + " steps (" + std::to_string(refused) +
           " refused, " + std::to_string(takeBacks) + " Take Back, " + std::to_string(pileTaken) +
           " piles taken), " + std::to_string(penalties) + " hands with a penalty, " +
           std::to_string(wentOut) + " gone out, " + std::to_string(fromViews) +
           " views rebuilt, " + std::to_string(stuck) + " stuck, " + std::to_string(divergences) +
           " divergences";
}

Lockstep::Lockstep() : driver_(std::make_unique<Driver>()) {}
Lockstep::~Lockstep() = default;

void Lockstep::PlayGames(std::uint64_t first, int count, const Mischief& mischief, Views views) {
    driver_->PlayGames(first, count, mischief, views);
}

std::vector<bool> Lockstep::PlaySteps(const std::vector<Step>& steps) {
    return driver_->PlaySteps(steps);
}

const LockstepResult& Lockstep::Result() const {
    return driver_->result;
}

const Simulator& Lockstep::Sim() const {
    return driver_->sim;
}

const std::vector<Simulator>& Lockstep::Deals() const {
    return driver_->deals;
}

LockstepResult PlayLockstepGames(std::uint64_t firstSeed, int games, const Mischief& mischief) {
    Lockstep lockstep;
    lockstep.PlayGames(firstSeed, games, mischief);
    return lockstep.Result();
}

}  // namespace cardovia::testing
