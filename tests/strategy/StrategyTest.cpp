// The strategy engine: the Hint's words, whole games with the engine on the
// player's side (by handlers and by keys alone) and Expert Thaddock, fair
// play, keys that must do nothing, and the preferences file.

#include "model/CardFace.h"
#include "model/Preferences.h"
#include "opponent/ExpertThaddock.h"
#include "player/EnginePlay.h"
#include "player/Hint.h"
#include "player/KeyboardPlay.h"
#include "player/PlayerMoves.h"
#include "player/TakeBack.h"
#include "rules/SideView.h"
#include "scoring/ReadAndSave.h"
#include "strategy/Engine.h"
#include "support/KeyPlay.h"
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
        {"h1=9a,5a,13a h2=4a,4b,6a,6b,8a,8b,Ja,Jb m29=9b,9c,9d m25=5b,5c,5d open2 "
         "p=Ka,Kb,Kc,Kd,Qa,Qb turn drawn",
         "Discard the Three of Clubs [Three of Clubs]"},
        {"h1=7a,9a,5a,Ka open1 m17=7c,7d,7e,7f turn drawn",
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
    std::string names;
    for (int card : {0, 1, 5, 12, 13, 16, 17, 57, 96, 97, 105, 108, 109}) {
        names += FaceName(card) + "|";
    }
    EXPECT_EQ(
        names,
        "|Joker|Two of Clubs|Two of Spades|Three of Clubs|Three of Spades|Four of Clubs|Nine of "
        "Clubs|King of Spades|Ace of Clubs|Three of Hearts|Three of Diamonds||");
    EXPECT_EQ(RankName(6, true) + RankName(1, true), "SixesAces");
}

bool Key(TableKey key, bool repeat = false) {
    return PressTableKey(key, repeat);
}

bool FocusOn(int card) {
    return testing::FocusOn(card, [](TableKey key) { return Key(key); });
}

bool PlayStepByKeys() {
    return testing::PlayStepByKeys([](TableKey key) { return Key(key); }, MnuTakeBack_Click);
}

// Moves the unseen cards about between the stock and Thaddock's hand, keeping
// their counts, and answers whether the engine's step stays the same.
bool StepIgnoresHiddenCards(std::mt19937& rng) {
    const strategy::Step before = PlayerNextStep();
    std::vector<int> hidden;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == Stock || Cards[i].Location == OpponentHand) hidden.push_back(i);
    }
    const auto saved = Cards;
    std::vector<int> shuffled = hidden;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    for (std::size_t k = 0; k < hidden.size(); ++k)
        Cards[shuffled[k]].Location = saved[hidden[k]].Location;
    const strategy::Step after = PlayerNextStep();
    Cards = saved;
    return before.kind == after.kind && before.rank == after.rank && before.cards == after.cards;
}

TEST_F(GameTest, TheEnginePlaysFairAndLegallyOnBothSidesOfSeededGamesAndTheKeysPlayTheSame) {
    std::string out;
    for (int seed = 1; seed <= 4; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        ThaddockPlays = seed % 2 == 0 ? ThaddockLevel::Expert : ThaddockLevel::Classic;
        const long refusedBefore = EngineStepsRefused;
        std::mt19937 rng(static_cast<unsigned>(seed));
        int unfair = 0;
        beforePlayer = [&] {
            if (PlayerTurn && GameInProgress && MustDraw && !HasDrawn) {
                unfair += !StepIgnoresHiddenCards(rng);
                EXPECT_EQ(ThaddockMeldFaults(), "") << "seed " << seed;
            }
            if (seed < 3) return EnginePlayStep();
            // The same steps by keys alone: the games must end as they do through the handlers.
            for (int n = 0; n < 60 && PlayerTurn && GameInProgress && PlayStepByKeys();) ++n;
            return true;
        };
        atResults = [&] {
            out += " " + std::to_string(handTotals.back().first) + ":" +
                   std::to_string(handTotals.back().second);
        };
        out += "seed " + std::to_string(seed) +
               (ThaddockPlays == ThaddockLevel::Expert ? " expert" : " classic");
        PlayFromMenu();
        out += GamesWon == 1 ? " won\n" : " lost\n";
        EXPECT_EQ(unfair, 0) << "seed " << seed << ": a hidden card changed the engine's step";
        EXPECT_EQ(EngineStepsRefused, refusedBefore) << "seed " << seed;
    }
    ExpectGolden("strategy-games", out);
}

TEST_F(TableTest, KeysDoNothingOutsideThePlayersTurnAndAHeldKeyMovesOnce) {
    // Thaddock's turn: nothing moves, nothing is queued.
    Play("h1=Ka,Kb,Kc,9a,5a p=4a ingame");
    EXPECT_FALSE(Key(TableKey::DrawStock));
    EXPECT_FALSE(Key(TableKey::Activate));
    EXPECT_EQ(Lines(Snapshot(), {"hand 1", "stock"}), Lines(Play(""), {"hand 1", "stock"}));
    // The player's turn (S held and pressed is the window test's): a held Enter lays nothing.
    FreshTable();
    Play("h1=Ka,Kb,Kc,9a,5a p=4a turn drawn");
    ASSERT_TRUE(FocusOn(89));
    EXPECT_FALSE(Key(TableKey::Activate, true));
    EXPECT_TRUE(Key(TableKey::Activate));
    EXPECT_EQ(Cards[89].Location, PlayerMelds);
    // The card left the hand: the ring is on its neighbour, still in the hand.
    EXPECT_TRUE(FocusedControl() == &Pic(90) && Cards[90].Location == PlayerHand);
    // The results panel: its first button, Carry On, answers Enter whoever's turn it was.
    PlayerTurn = false;
    Frmtable().FramResults.visible = true;
    TableIdle = false;
    EXPECT_TRUE(Key(TableKey::Activate));
    EXPECT_TRUE(TableIdle && !Frmtable().FramResults.visible);
}

char LevelLetter() {
    return ThaddockPlays == ThaddockLevel::Expert   ? 'E'
           : ThaddockPlays == ThaddockLevel::Master ? 'M'
                                                    : 'C';
}

TEST_F(TableTest, ThePreferencesFileKeepsWhatItDoesNotKnowAndFallsBackOnDamage) {
    const std::string path = (dir / kPreferencesFileName).string();
    // Empty, cut short while written, garbage, a repeated key (the first holds), blanks and CR
    // LF, a bad value (its default); read as Thaddock's level, Sound, Smooth Motion, Four-Colour
    // Suits.
    const std::pair<std::string, std::string> cases[] = {
        {"", "C110"},
        {"thaddock=exp", "C110"},
        {"thaddock=mast", "C110"},
        {"\x01\xff\xfe no equals sign", "C110"},
        {"thaddock=classic\nthaddock=expert\n", "C110"},
        {"c=1\r\nthaddock = expert \r\n", "E110"},
        {"thaddock=master\n", "M110"},
        {"sound=0\nsmooth-motion=yes\nfour-colour-suits=1\n", "C011"}};
    for (const auto& [text, expected] : cases) {
        std::ofstream(path, std::ios::binary) << text;
        ReadPreferencesAtStartup();
        std::string read(1, LevelLetter());
        for (bool flag : {SoundOn, SmoothMotion, FourColourSuits}) read += flag ? '1' : '0';
        EXPECT_EQ(read, expected) << text;
    }
    // Written back whole, an unknown key kept where it was and a bad line dropped.
    std::ofstream(path, std::ios::binary) << "colour=green\nbad line\nthaddock=classic\n";
    ReadPreferencesAtStartup();
    ThaddockPlays = ThaddockLevel::Master;
    SavePreferences();
    EXPECT_EQ(FileText(path),
              "colour=green\nthaddock=master\nsound=1\nsmooth-motion=1\nfour-colour-suits=0\n");
    // Missing, it gives the default; where it cannot be written, one error report and nothing lost.
    std::filesystem::remove(path);
    ReadPreferencesAtStartup();
    EXPECT_EQ(LevelLetter(), 'C');
    std::filesystem::create_directory(path);
    ThaddockPlays = ThaddockLevel::Expert;
    SavePreferences();
    EXPECT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(LevelLetter(), 'E');
}

}  // namespace
}  // namespace cardovia::testing
