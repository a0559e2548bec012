// Scoring a hand, the red threes and canasta bonuses, the target score, the
// statistics and the options the menus set.

#include "flow/Options.h"
#include "model/PlayerFile.h"
#include "player/FollowMouse.h"
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
            {"Thaddock wins the hand and his cards stay hidden",
             "m2K=Ka-Kc h2=7a h1=Aa GetHandScores:2 GetScoresHand"},
            {"5000 is not over the target", "game1=5005 h1=4a h2=4b GetScoresHand"},
            {"5001 is", "game1=5006 h1=4a h2=4b GetScoresHand"},
            {"a total beyond 16 bits is an overflow",
             "game1=32700 m1K=Ka-Kg GetHandScores:1 GetScoresHand"},
            {"black threes and Twos make no meld for red threes and earn no canasta bonus; Aces do",
             "h1=4a m13=3a-3d m12=2a-2h r1=Rd GetBonusScores:1 dump m1A=Aa-Ag GetBonusScores:1"},
            {"running scores are the same however often they are worked out",
             "h1=4a m1Q=Xa,Qa-Qf r1=Ra penalty=50 GetHandScores:1 GetBonusScores:1 GetHandScores:1 "
             "GetBonusScores:1"},
        }));
}

TEST_F(Scoring, RedThreesCountForASideWithAMeldAndAgainstOneWithout) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no red2 "},
        {"r2=Ra m26=6a-6c", "\"Pts. 100\": Ra @480,2280"},
        {"r2=Ra-Rc", "\"Pts. -300\": Ra Rb Rc @480,2280 +0,50"},
        {"r2=Ra-Rd", "\"Pts. -800\": Ra Rb Rc Rd @480,2280 +0,50"},
        {"r2=Ra-Rd m26=6a-6c", "\"Pts. 800\": Ra Rb Rc Rd @480,2280 +0,50"},
    };
    for (const auto& [script, board] : cases) {
        EXPECT_EQ(Line(std::string("h2=4a ") + script + " GetBonusScores:2", "red2 "), board)
            << script;
    }
}

TEST_F(Scoring, TheTargetIsReadRoundedClampedShownAndKept) {
    const std::pair<std::string, int> cases[] = {{"100", 500},   {"5001", 5000},   {"", 5000},
                                                 {" 750 ", 750}, {"2500.5", 2500}, {"2501.5", 2502},
                                                 {"-40", 500},   {"abc", 1234},    {"99999", 1234}};
    std::string out;
    for (const auto& [text, target] : cases) {
        FreshTable();
        TargetScore = 1234;
        MnuTarget_Click();
        Frmtable().Txtpoints.text = text;
        CmdTarget_Click();
        EXPECT_EQ(TargetScore, target) << text;
        out += "== \"" + text + "\"\n" + Snapshot();
    }
    ExpectGolden("target", out);
    for (const auto& [text, value] :
         std::vector<std::pair<std::string, int>>{{"2500", 2500},
                                                  {" 1200 ", 1200},
                                                  {"+750", 750},
                                                  {"-3", -3},
                                                  {"12.5", 12},
                                                  {"13.5", 14},
                                                  {".5", 0},
                                                  {"5.", 5},
                                                  {"007", 7},
                                                  {"\t800\n", 800},
                                                  {"32767", 32767},
                                                  {"-32768", -32768},
                                                  {"0.000000001", 0},
                                                  {std::string(100000, '0') + "1234", 1234}}) {
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
        {"statistics, level and then ahead", "won=3 lost=3 MnuView won=4 MnuView"},
        {"deleted statistics reach the file only at its next writing",
         "won=4 lost=2 MnuSave answers=1,0 MnuDel dump MnuDel dump MnuView MnuSave"},
        {"the speeds", "MnuFast dump MnuSlow dump MnuMed"},
        {"a new card back shows only where a card is next shown face down",
         "h2=7a MnuBlue dump StackStock MnuRed"},
        {"the target panel always opens at 5000", "MnuTarget"},
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
        ASSERT_EQ(none.size(), continued ? 0u : 1u) << mine;
        if (!continued) {
            EXPECT_EQ(
                none[0]->message,
                "Player there is no unfinished game to load therefore a new game will now start.");
        }
        EXPECT_EQ(firstTurnTotal, continued ? mine : 0);
        EXPECT_EQ(DialogsTitled("Game Over").size(), 1u);
    }
}

TEST_F(Options, ASpeedChosenDuringAGameSetsTheNextOpponentTurnsPauses) {
    std::size_t mark = 0;
    std::vector<std::int64_t> turn;
    beforePlayer = [&] {
        if (!(PlayerTurn && MustDraw) || !turn.empty()) return false;
        if (mark == 0) {
            MnuFast_Click();
            mark = sys.waits.size();
        } else {
            turn.assign(sys.waits.begin() + static_cast<long>(mark), sys.waits.end());
        }
        return false;
    };
    PlayFromMenu();
    // The speed belongs to the pauses that follow it; the card travel stays at 10 ms.
    EXPECT_NE(std::find(turn.begin(), turn.end(), 75), turn.end());
    EXPECT_EQ(std::find(turn.begin(), turn.end(), 300), turn.end());
    EXPECT_NE(std::find(turn.begin(), turn.end(), 10), turn.end());
    EXPECT_NE(FileText(dir / kPlayerFileName).find(",75,"), std::string::npos);
}

}  // namespace
}  // namespace cardovia::testing
