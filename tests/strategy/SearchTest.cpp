// The search: it decides from what the side sees alone, Master Thaddock plays
// whole games within the rules, and the Hint built on it neither advises what
// hurt a player following it nor answers when it must not.

#include "model/Preferences.h"
#include "opponent/MasterThaddock.h"
#include "player/EnginePlay.h"
#include "player/Hint.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/SideView.h"
#include "strategy/Search.h"
#include "support/TableTest.h"

#include <random>

namespace cardovia::testing {
namespace {

using strategy::Step;

constexpr int kFewDeals = 24;  // enough to choose, quick enough for every run

std::string Words(const Step& s) {
    static const char* kKinds[] = {"none", "take", "draw", "lay", "wild", "discard", "takeback"};
    std::string out = kKinds[static_cast<int>(s.kind)];
    if (s.rank != 0) out += " r" + std::to_string(s.rank);
    for (int c : s.cards) out += " " + std::to_string(c);
    return out;
}

// The whole answer of a search: its step and every candidate's score.
std::string Decision(const strategy::View& view) {
    strategy::SearchBudget budget;
    budget.samples = kFewDeals;
    const strategy::SearchResult r = strategy::SearchStep(view, budget, 7);
    std::string out = Words(r.step) + " |";
    for (const strategy::ScoredStep& c : r.candidates) {
        out += " " + Words(c.step) + "=" + std::to_string(static_cast<long>(c.mean * 100));
    }
    return out;
}

// The cards `side` cannot see, dealt again: the other hand's unremembered
// cards and the stock change places, their counts kept.
void DealHiddenAgain(int side, std::mt19937& rng) {
    const i16 otherHand = side == kPlayer ? OpponentHand : PlayerHand;
    const int other = side == kPlayer ? kOpponent : kPlayer;
    std::vector<int> hidden;
    for (int i = 1; i <= kDeckSize; ++i) {
        const bool remembered = TheTable.TakenBy[i] == other;
        if (Cards[i].Location == Stock || (Cards[i].Location == otherHand && !remembered)) {
            hidden.push_back(i);
        }
    }
    std::vector<i16> places;
    for (int i : hidden) places.push_back(Cards[i].Location);
    std::shuffle(places.begin(), places.end(), rng);
    for (std::size_t k = 0; k < hidden.size(); ++k) Cards[hidden[k]].Location = places[k];
}

TEST_F(GameTest, TheSearchDecidesTheSameOverTwoTrueDealsThatLookTheSameToTheSide) {
    std::mt19937 rng(29);
    int compared = 0;
    int differentDeals = 0;
    NewTable();
    sys.Seed(11);
    ThaddockPlays = ThaddockLevel::Expert;
    beforePlayer = [&] {
        // At each of the player's waits, both sides' views at this moment.
        for (int side : {kPlayer, kOpponent}) {
            const bool mustDraw = side == kPlayer ? MustDraw && !HasDrawn : true;
            const TableState truth = TheTable;
            const strategy::View seen = SideViewOf(side, mustDraw);
            const std::string decided = Decision(seen);
            DealHiddenAgain(side, rng);
            differentDeals += !(TheTable.Cards == truth.Cards);
            const strategy::View again = SideViewOf(side, mustDraw);
            EXPECT_EQ(Decision(again), decided) << "side " << side;
            TheTable = truth;
            ++compared;
        }
        return EnginePlayStep();
    };
    PlayFromMenu();
    EXPECT_GT(compared, 20);
    EXPECT_GT(differentDeals, compared / 2);
}

TEST_F(GameTest, MasterAndTheHintsFollowerPlayWholeGamesWithinTheRules) {
    MasterSamplesPerChoice = HintSamples = 6;
    std::string out;
    for (int seed = 1; seed <= 2; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        // Master as Thaddock against the engine, then the Hint's follower against Expert.
        ThaddockPlays = seed == 1 ? ThaddockLevel::Master : ThaddockLevel::Expert;
        const long refusedBefore = EngineStepsRefused;
        MasterTurnMs.clear();
        beforePlayer = [&] {
            EXPECT_EQ(ThaddockMeldFaults(), "") << "seed " << seed;
            return seed == 1 ? EnginePlayStep() : HintPlayStep();
        };
        PlayFromMenu();
        EXPECT_EQ(EngineStepsRefused, refusedBefore) << "seed " << seed;
        EXPECT_FALSE(GameInProgress) << "seed " << seed;
        if (seed == 1) {
            EXPECT_GT(MasterTurnMs.size(), 10u);
        }
    }
    MasterSamplesPerChoice = HintSamples = 0;
}

TEST_F(TableTest, TheHintAdvisesNoHarmAndStaysSilentWhenItMust) {
    HintSamples = kFewDeals;
    struct Case {
        const char* what;
        const char* script;
        const char* mustNotSay;
    };
    const Case cases[] = {
        // Thaddock has six Sevens down and the pile is open to him.
        {"a Seven into Thaddock's six Sevens",
         "h1=7a,Ka,9a,5a,6a h2=4a,4b,6b,6c,8a,8b,Ja,Jb m27=7b,7c,7d,7e,7f,7g open2 p=4a turn drawn",
         "Discard the Seven"},
        {"a King into Thaddock's six Kings",
         "h1=Ka,7a,9a,5a,6a h2=4a,4b,6b,6c,8a,8b,Ja,Jb m2K=Kb,Kc,Kd,Ke,Kf,Kg open2 p=4a turn drawn",
         "Discard the King"},
    };
    for (const Case& c : cases) {
        FreshTable();
        Play(c.script);
        SetPanel(2, "");
        MnuHint_Click();
        const std::string said = Frmtable().StatusPanels[2];
        EXPECT_FALSE(said.empty()) << c.what;
        EXPECT_EQ(said.find(c.mustNotSay), std::string::npos) << c.what << ": " << said;
    }
    // After a Take Back there is nothing laid to take back: the Hint never says so.
    FreshTable();
    Play("h1=Ka,Kb,Kc,9a,5a,6a min1=50 turn drawn L:Ka L:Kb L:Kc");
    MnuTakeBack_Click();
    for (int asked = 0; asked < 3; ++asked) {
        SetPanel(2, "");
        MnuHint_Click();
        EXPECT_EQ(Frmtable().StatusPanels[2].find("Take Back"), std::string::npos)
            << Frmtable().StatusPanels[2];
    }
    // No Hint outside the player's turn, during a move, or after the game.
    const char* silent[] = {"h1=Ka,Kb,Kc,9a", "h1=Ka,Kb,Kc,9a turn drawn idle"};
    for (const char* script : silent) {
        FreshTable();
        Play(script);
        SetPanel(2, "");
        MnuHint_Click();
        EXPECT_EQ(Frmtable().StatusPanels[2], "") << script;
    }
    FreshTable();
    Play("h1=Ka,Kb,Kc,9a turn drawn");
    GameInProgress = false;
    SetPanel(2, "");
    MnuHint_Click();
    EXPECT_EQ(Frmtable().StatusPanels[2], "") << "after the game";
    GameInProgress = true;
    {
        PlayerMoveGuard moving;
        MnuHint_Click();
        EXPECT_EQ(Frmtable().StatusPanels[2], "") << "during a move";
    }
    HintSamples = 0;
}

}  // namespace
}  // namespace cardovia::testing
