// Scoring a hand, the red threes and canasta bonuses, the target score, the
// statistics and the options the menus set.

#include "flow/Menus.h"
#include "flow/Options.h"
#include "layout/FollowMouse.h"
#include "model/PlayerFileFormat.h"
#include "scoring/Statistics.h"
#include "scoring/TargetScore.h"
#include "support/TableTest.h"
#include "ui/Errors.h"

namespace cardovia::testing {
namespace {

using Scoring = TableTest;

TEST_F(Scoring, HandsAreScoredOntoTheResultsPanelAndTheGameTotals) {
    ExpectGolden(
        "scoring",
        PlayAll({
            {"the player goes out with a pure and a mixed canasta and two red threes",
             "m1K=Ka-Kg m18=2a,8a-8f m1A=Aa-Af m1Q=Qa-Qd r1=Ra,Rb m29=9a-9e m2T=Ta-Te m2J=Ja-Je "
             "r2=Rc "
             "h2=7a-7d,4a,4b,6a-6c game1=1000 game2=2000 GetHandScores:1 GetHandScores:2 "
             "GetScoresHand"},
            {"5001 is", "game1=5006 h1=4a h2=4b GetScoresHand"},
            {"5000 is not", "game1=5005 h1=4a h2=4b GetScoresHand", {"results:"}},
            {"black threes and Twos make no meld for red threes and earn no canasta bonus; Aces "
             "do; then all four red threes",
             "h1=4a m13=3a-3d m12=2a-2h r1=Rd GetBonusScores:1 dump m1A=Aa-Ag GetBonusScores:1 "
             "dump r1=Ra-Rc",
             {"red1", "state"}},
            {"the hand is recounted from its cards as it is scored",
             "h1=4a,4b h2=4c r1=Ra StackStock s=Ra,4b GetScoresHand",
             {"results1"}},
        }));
}

TEST_F(Scoring, TheTargetIsReadRoundedClampedShownAndKept) {
    const std::pair<std::string, int> cases[] = {{"100", 500},   {"5001", 5000},   {"", 5000},
                                                 {" 750 ", 750}, {"2500.5", 2500}, {"2501.5", 2502},
                                                 {"-40", 500},   {"abc", 1234},    {"99999", 1234}};
    for (const auto& [text, target] : cases) {
        sys = HeadlessPlatform{};
        FreshTable();
        TargetScore = 1234;
        MnuTarget_Click();
        EXPECT_TRUE(Frmtable().FramTarget.visible && Frmtable().Txtpoints.text == "5000");
        Frmtable().Txtpoints.text = text;
        CmdTarget_Click();
        EXPECT_EQ(TargetScore, target) << text;
        EXPECT_FALSE(Frmtable().FramTarget.visible) << text;
        EXPECT_EQ(FileText(dir / kPlayerFileName).ends_with(std::to_string(target) + "\r\n"),
                  target != 1234);
        EXPECT_EQ(Frmtable().Label7.caption,
                  target == 1234 ? "" : "Target Score:- " + std::to_string(target));
        EXPECT_EQ(sys.errors.size(), target == 1234 ? 1u : 0u) << text;
    }
    const std::pair<std::string, int> read[] = {
        {"2500", 2500},   {" 1200 ", 1200},   {"+750", 750},     {"-3", -3}, {"12.5", 12},
        {"13.5", 14},     {".5", 0},          {"5.", 5},         {"007", 7}, {"\t800\n", 800},
        {"32767", 32767}, {"-32768", -32768}, {"0.000000001", 0}};
    EXPECT_EQ(TargetFromText(std::string(100000, '0') + "1234"), 1234);
    for (const auto& [text, value] : read) {
        EXPECT_EQ(TargetFromText(text), value) << text;
    }
    // Anything else is a type mismatch (13) or, beyond 16 bits however long, an overflow (6);
    // the longest text the box holds is read without exhausting the stack.
    const auto error = [](const std::string& text) {
        try {
            TargetFromText(text);
        } catch (const GameError& e) {
            return e.number;
        }
        return 0;
    };
    for (const char* text : {"abc", "1e3", "4,000", "--1", "+", ".", "1.2.3", "5000x", "0x10",
                             "1 2", "inf", "nan", "\xd9\xa3"}) {
        EXPECT_EQ(error(text), 13) << text;
    }
    for (const std::string& text : {std::string("32768"), std::string(400, '9'),
                                    "-" + std::string(400, '9'), std::string(32767, '9')}) {
        EXPECT_EQ(error(text), kOverflowError) << text.substr(0, 20);
    }
    EXPECT_EQ(error(std::string(32767, '9') + "x"), 13);
    EXPECT_EQ(error(std::string(100000, ' ')), 13);
}

TEST_F(Scoring, StatisticsSpeedsBacksAndTheNameAreSetFromTheMenus) {
    std::string out = PlayAll({
        {"a new card back shows only where a card is next shown face down; quick play",
         "h2=7a MnuBlue MnuRed dump StackStock MnuFast"},
        {"Learning Mode on, then off", "MnuLearn dump MnuLearn"},
        {"deleted statistics reach the file only at its next writing",
         "won=4 lost=2 MnuSave answers=1,0 MnuDel MnuView MnuDel MnuView MnuSave"},
    });
    FreshTable();
    sys.yesNoAnswers = {false, true, true};
    sys.inputAnswers = {"", "Ann"};
    MnuName_Click();
    out += "== no change, then a cancelled name, then Ann\n" + Snapshot();
    MnuName_Click();
    out += Snapshot();
    MnuName_Click();
    out += Snapshot();
    ExpectGolden("options", out);
}

TEST_F(Scoring, TheResultsPanelCanBeDraggedAside) {
    FollowMouse.SetTimer(&Frmtable().Timer1);
    Frmtable().FramResults.visible = true;
    sys.pointer = {3000, 1000};
    FramResults_MouseDown(1);
    sys.pointer = {4000, 1500};
    Frmtable().Timer1.Tick();
    FramResults_MouseUp(1);
    sys.pointer = {0, 0};
    Frmtable().Timer1.Tick();
    EXPECT_EQ(Frmtable().FramResults.left, 2040 + 1000);
    EXPECT_EQ(Frmtable().FramResults.top, 600 + 500);
}

class Options : public GameTest {};

TEST_F(Options, LoadGameContinuesStoredTotalsOrStartsAfresh) {
    for (const auto& [mine, his, continued] : std::vector<std::tuple<int, int, bool>>{
             {1200, 800, true}, {0, 0, false}, {6000, 100, false}}) {
        NewTable();
        GameScore = {0, static_cast<i16>(mine), static_cast<i16>(his)};
        int firstTurnTotal = -1;
        beforePlayer = [&] {
            if (firstTurnTotal < 0) firstTurnTotal = GameScore[1];
            return false;
        };
        MnuLoad_Click();
        const auto none = DialogsTitled("No unfinished game to load");
        EXPECT_EQ(none.size(), continued ? 0u : 1u) << mine;
        EXPECT_EQ(firstTurnTotal, continued ? mine : 0);
        EXPECT_EQ(DialogsTitled("Game Over").size(), 1u);
    }
}

}  // namespace
}  // namespace cardovia::testing
