// The strategy engine: the Hint's words, whole games with the engine on the
// player's side and Expert Thaddock, fair play, and the preferences file.

#include "model/CardFace.h"
#include "model/Preferences.h"
#include "opponent/ExpertThaddock.h"
#include "player/EnginePlay.h"
#include "player/Hint.h"
#include "player/PlayerMoves.h"
#include "rules/SideView.h"
#include "scoring/ReadAndSave.h"
#include "strategy/Engine.h"
#include "support/TableTest.h"

#include <fstream>
#include <random>

namespace cardovia::testing {
namespace {

std::string Marked() {
    std::string out;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Pic(i).hinted) out += (out.empty() ? "" : ",") + FaceName(i);
    }
    return out;
}

TEST_F(TableTest, TheHintSaysTheNextStepInWordsAndMarksItsCardsOnlyInThePlayersTurn) {
    const std::pair<std::string, std::string> cases[] = {
        {"h1=Ka,Kb,Kc,9a,5a turn drawn",
         "Meld your three Kings [King of Clubs,King of Clubs,King of Diamonds]"},
        {"h1=9a,5a,13a turn drawn", "Discard the Three of Clubs [Three of Clubs]"},
        {"h1=1a,7a,7b open1 m17=7c,7d,7e,7f turn drawn",
         "Add your Seven to your Sevens [Seven of Clubs]"},
        {"h1=1a,9a,5a,Ja open1 m17=7c,7d,7e,7f turn drawn", "Add the Joker to your Sevens [Joker]"},
        {"h1=1a,9a,5a,Ja open1 m17=7c,7d,7e,7f turn drawn learn",
         "Add the Joker to your Sevens. It brings the meld nearer a canasta. [Joker]"},
        {"h1=Ka,Kb,9a p=4a,Kc open1 turn", "Take the discard pile [King of Diamonds]"},
        {"h1=Ka,9a p=4a,Kc turn", "Draw two cards from the stock [Three of Diamonds]"},
        {"h1=Ka,Kb,Kc,9a", ""},  // Thaddock's turn: nothing
    };
    for (const auto& [script, expected] : cases) {
        FreshTable();
        Play(script);
        SetPanel(2, "");
        MnuHint_Click();
        const std::string text = Frmtable().StatusPanels[2];
        EXPECT_EQ(text.empty() ? "" : text + " [" + Marked() + "]", expected) << script;
        // A press on a card is the next move: the marks go.
        if (!Marked().empty()) {
            PicCards_MouseDown(1, kLeftButton, 0, 0, 0);
            EXPECT_EQ(Marked(), "") << script;
        }
    }
}

TEST(CardFaceTest, EveryCardIsNamedByItsFace) {
    const std::pair<int, const char*> cases[] = {{1, "Joker"},
                                                 {5, "Two of Clubs"},
                                                 {12, "Two of Spades"},
                                                 {13, "Three of Clubs"},
                                                 {16, "Three of Spades"},
                                                 {17, "Four of Clubs"},
                                                 {57, "Nine of Clubs"},
                                                 {96, "King of Spades"},
                                                 {97, "Ace of Clubs"},
                                                 {105, "Three of Hearts"},
                                                 {108, "Three of Diamonds"},
                                                 {0, ""},
                                                 {109, ""}};
    for (const auto& [card, name] : cases) EXPECT_EQ(FaceName(card), name) << card;
    EXPECT_EQ(RankName(6, true), "Sixes");
    EXPECT_EQ(RankName(1, true), "Aces");
}

// Moves the unseen cards about between the stock and Thaddock's hand, keeping
// their counts, and answers whether the engine's step stays the same.
bool StepIgnoresHiddenCards(std::mt19937& rng) {
    const strategy::Step before = PlayerNextStep();
    std::vector<int> hidden;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == Stock || Cards[i].Location == OpponentHand) hidden.push_back(i);
    }
    std::vector<i16> places;
    for (int i : hidden) places.push_back(Cards[i].Location);
    std::vector<i16> shuffled = places;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    for (std::size_t k = 0; k < hidden.size(); ++k) Cards[hidden[k]].Location = shuffled[k];
    const strategy::Step after = PlayerNextStep();
    for (std::size_t k = 0; k < hidden.size(); ++k) Cards[hidden[k]].Location = places[k];
    return before.kind == after.kind && before.rank == after.rank && before.cards == after.cards;
}

// What Thaddock has laid is laid within the rules: opened, every meld of three
// or more, wild cards within their quota.
std::string ThaddockMeldFaults() {
    std::string faults;
    for (int r = 1; r <= kMeldRanks; ++r) {
        const MeldRecord& m = MeldTable[r];
        const int count = m.Count[kOpponent];
        const int wild = m.WildCount[kOpponent];
        if (count == 0) continue;
        if (!MeldOpened[kOpponent]) faults += " melded unopened";
        if (count < 3) faults += " meld of " + std::to_string(count);
        if (wild > 3 || (r != kTwo && wild > count - wild)) faults += " wild over quota";
    }
    return faults;
}

TEST_F(GameTest, TheEnginePlaysFairAndLegallyOnBothSidesOfSeededGames) {
    std::string out;
    for (int seed = 1; seed <= 4; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        ThaddockPlaysExpert = seed % 2 == 0;
        const long refusedBefore = EngineStepsRefused;
        std::mt19937 rng(static_cast<unsigned>(seed));
        int unfair = 0;
        beforePlayer = [&] {
            if (PlayerTurn && GameInProgress && MustDraw && !HasDrawn) {
                unfair += !StepIgnoresHiddenCards(rng);
                EXPECT_EQ(ThaddockMeldFaults(), "") << "seed " << seed;
            }
            return EnginePlayStep();
        };
        atResults = [&] {
            out += " " + std::to_string(handTotals.back().first) + ":" +
                   std::to_string(handTotals.back().second);
        };
        out += "seed " + std::to_string(seed) + (ThaddockPlaysExpert ? " expert" : " classic");
        PlayFromMenu();
        out += GamesWon == 1 ? " won\n" : " lost\n";
        EXPECT_EQ(unfair, 0) << "seed " << seed << ": a hidden card changed the engine's step";
        EXPECT_EQ(EngineStepsRefused, refusedBefore) << "seed " << seed;
    }
    ExpectGolden("strategy-games", out);
}

TEST_F(TableTest, ThePreferencesFileKeepsWhatItDoesNotKnowAndFallsBackOnDamage) {
    const std::string path = (dir / kPreferencesFileName).string();
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {"thaddock=expert\n", true},
        {"colour=green\r\nthaddock = expert \r\n", true},
        {"thaddock=exp", false},  // cut short while written
        {"\x01\xff\xfe garbage without an equals sign", false},
        {"thaddock=classic\nthaddock=expert\n", false},  // the first of a key holds
    };
    for (const auto& [text, expert] : cases) {
        std::ofstream(path, std::ios::binary) << text;
        ReadPreferencesAtStartup();
        EXPECT_EQ(ThaddockPlaysExpert, expert) << text;
    }
    std::filesystem::remove(path);
    ReadPreferencesAtStartup();
    EXPECT_FALSE(ThaddockPlaysExpert) << "a missing file";
    // Written back whole, an unknown key kept where it was.
    std::ofstream(path, std::ios::binary) << "colour=green\nbad line\nthaddock=classic\n";
    ReadPreferencesAtStartup();
    ThaddockPlaysExpert = true;
    SavePreferences();
    EXPECT_EQ(FileText(path), "colour=green\nthaddock=expert\n");
    EXPECT_TRUE(sys.errors.empty());
    // A file that cannot be written is reported, and nothing else changes.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    SavePreferences();
    EXPECT_EQ(sys.errors.size(), 1u);
    EXPECT_TRUE(ThaddockPlaysExpert);
}

}  // namespace
}  // namespace cardovia::testing
