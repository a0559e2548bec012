#include "flow/Options.h"
#include "deck/Stock.h"
#include "model/PlayerFile.h"
#include "player/FollowMouse.h"
#include "scoring/Statistics.h"
#include "scoring/TargetScore.h"
#include "support/GameHarness.h"

#include <fstream>
#include <sstream>

namespace cardovia::testing {
namespace {

class OptionsTest : public GameTest {
  protected:
    void SetTarget(const std::string& text) {
        MnuTarget_Click();
        Frmtable().Txtpoints.text = text;
        CmdTarget_Click();
    }
};

TEST_F(OptionsTest, TheTargetIsConvertedClampedShownAndKept) {
    struct Case {
        const char* text;
        int target;
    };
    for (const Case& c : {Case{"100", 500},
                          {"5001", 5000},
                          {"", 5000},
                          {" 750 ", 750},
                          {"2500.5", 2500},
                          {"2501.5", 2502},
                          {"-40", 500}}) {
        SCOPED_TRACE(c.text);
        TargetScore = 1234;
        SetTarget(c.text);
        EXPECT_EQ(TargetScore, c.target);
        EXPECT_FALSE(Frmtable().FramTarget.visible);
        EXPECT_EQ(Frmtable().Label7.caption, "Target Score:- " + std::to_string(c.target));
        EXPECT_EQ(sys.dialogs.back().title, "Target points set");
        EXPECT_EQ(sys.dialogs.back().message,
                  " Target points are set to " + std::to_string(c.target) +
                      " Target Points will stay as this until you change again.");
        EXPECT_EQ(sys.dialogs.back().caption0, "O.K.");
        EXPECT_NE(FileText(dir / kPlayerFileName).find("," + std::to_string(c.target) + "\r\n"),
                  std::string::npos);
    }
}

TEST_F(OptionsTest, TheTargetPanelAlwaysOpensAtFiveThousand) {
    TargetScore = 800;
    MnuTarget_Click();
    EXPECT_TRUE(Frmtable().FramTarget.visible);
    EXPECT_EQ(Frmtable().Txtpoints.text, "5000");
    EXPECT_EQ(Frmtable().Txtpoints.focusRequests, 1);
}

TEST_F(OptionsTest, ATargetThatIsNoNumberIsReportedAndChangesNothing) {
    TargetScore = 1500;
    SetTarget("abc");
    ASSERT_EQ(sys.errors.size(), 1u);
    EXPECT_EQ(sys.errors[0].second,
              "Unexpected error in procedure: CmdTarget_Click\r\nError #13: Type mismatch");
    SetTarget("99999");
    ASSERT_EQ(sys.errors.size(), 2u);
    EXPECT_EQ(sys.errors[1].second,
              "Unexpected error in procedure: CmdTarget_Click\r\nError #6: Overflow");
    EXPECT_EQ(TargetScore, 1500);
    EXPECT_FALSE(Frmtable().FramTarget.visible);
    EXPECT_TRUE(sys.dialogs.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / kPlayerFileName));
}

TEST_F(OptionsTest, StatisticsAreShownWithThePictureOfWhoIsAhead) {
    GamesWon = 3;
    GamesLost = 3;
    MnuView_Click();
    EXPECT_EQ(sys.dialogs.back().title, "Games played statistics");
    EXPECT_EQ(sys.dialogs.back().message, " You are winning 3 against Thaddock winning 3");
    EXPECT_EQ(sys.dialogs.back().caption0, "O.K");
    EXPECT_EQ(sys.dialogs.back().picture, 2);
    GamesWon = 4;
    MnuView_Click();
    EXPECT_EQ(sys.dialogs.back().picture, 1);
}

TEST_F(OptionsTest, DeletedStatisticsReachTheFileOnlyAtItsNextWriting) {
    GamesWon = 4;
    GamesLost = 2;
    MnuSave_Click();
    sys.answerDialog = [](const DialogRequest&) -> i16 { return 1; };  // "No Cancel"
    MnuDel_Click();
    EXPECT_EQ(GamesWon, 4);
    sys.answerDialog = [](const DialogRequest&) -> i16 { return 0; };
    MnuDel_Click();
    EXPECT_EQ(sys.dialogs.back().title, "Really delete?");
    EXPECT_EQ(sys.dialogs.back().message,
              "Do you wish to delete the statistics on games won and lost?.");
    EXPECT_EQ(GamesWon + GamesLost, 0);
    EXPECT_EQ(FileText(dir / kPlayerFileName), "\"Player\",150,4,2,0,0,#FALSE#,5000\r\n");
    MnuView_Click();
    EXPECT_EQ(sys.dialogs.back().message, " You are winning 0 against Thaddock winning 0");
    MnuSave_Click();
    EXPECT_EQ(FileText(dir / kPlayerFileName), "\"Player\",150,0,0,0,0,#FALSE#,5000\r\n");
}

TEST_F(OptionsTest, LoadGameContinuesStoredTotalsOrStartsAfresh) {
    struct Case {
        int mine, his;
        bool continued;
    };
    for (const Case& c : {Case{1200, 800, true}, {0, 0, false}, {6000, 100, false}}) {
        SCOPED_TRACE(c.mine);
        ResetModel();
        sys.dialogs.clear();
        GameScore[1] = static_cast<i16>(c.mine);
        GameScore[2] = static_cast<i16>(c.his);
        int firstTurnTotals = -1;
        beforePlayer = [&] {
            if (firstTurnTotals < 0) firstTurnTotals = GameScore[1];
            return false;
        };
        MnuLoad_Click();
        const auto none = DialogsTitled("No unfinished game to load");
        EXPECT_EQ(none.size(), c.continued ? 0u : 1u);
        if (!none.empty()) {
            EXPECT_EQ(none[0]->message,
                      "Player there is no unfinished game to load therefore a new game will now "
                      "start.");
        }
        EXPECT_EQ(firstTurnTotals, c.continued ? c.mine : 0);
        EXPECT_EQ(DialogsTitled("Game Over").size(), 1u);
    }
}

TEST_F(OptionsTest, ASpeedChosenDuringAGameSetsTheNextOpponentTurnsPauses) {
    bool changed = false;
    std::size_t mark = 0;
    std::vector<std::int64_t> turn;
    beforePlayer = [&] {
        if (!changed && PlayerTurn && MustDraw) {
            changed = true;
            MnuFast_Click();
            mark = sys.waits.size();
        } else if (changed && turn.empty() && PlayerTurn && MustDraw) {
            turn.assign(sys.waits.begin() + static_cast<long>(mark), sys.waits.end());
        }
        return false;
    };
    PlayFromMenu();
    EXPECT_EQ(sys.dialogs[0].title, "Quicker Play");
    EXPECT_EQ(sys.dialogs[0].message,
              "Player the game will now play quickly until you change it again");
    ASSERT_FALSE(turn.empty());
    EXPECT_NE(std::find(turn.begin(), turn.end(), 75), turn.end());
    // The speed belongs to the pauses that follow it; the card travel stays at 10 ms.
    EXPECT_EQ(std::find(turn.begin(), turn.end(), 300), turn.end());
    EXPECT_NE(FileText(dir / kPlayerFileName).find(",75,"), std::string::npos);
}

TEST_F(OptionsTest, ANewCardBackShowsOnlyWhereACardIsNextShownFaceDown) {
    AllInStock();
    StackStock();
    Place(40, OpponentHand);
    Pic(40).image = 110;
    MnuBlue_Click();
    EXPECT_EQ(sys.dialogs.back().title, "Blue card backs");
    EXPECT_EQ(sys.dialogs.back().message,
              "Player card backs will now be blue colour until you change to red");
    EXPECT_EQ(Pic(40).image, 110);
    EXPECT_EQ(Pic(1).image, 110);
    StackStock();
    EXPECT_EQ(Pic(1).image, 109);
    MnuRed_Click();
    EXPECT_EQ(sys.dialogs.back().title, "Red card backs");
    EXPECT_FALSE(CardBack);
}

TEST_F(OptionsTest, ACancelledNameBecomesAnEmptyName) {
    sys.yesNoAnswers = {false, true};
    MnuName_Click();
    EXPECT_EQ(PlayerName, "Player");
    MnuName_Click();  // "Yes", then the input box is cancelled
    EXPECT_EQ(PlayerName, "");
    EXPECT_EQ(Frmtable().LblPlayer.caption, "");
    EXPECT_EQ(Frmtable().lblPnameScore.caption, "");
    EXPECT_EQ(FileText(dir / kPlayerFileName), "\"\",150,0,0,0,0,#FALSE#,5000\r\n");
    sys.yesNoAnswers = {true};
    sys.inputAnswers = {"Ann"};
    MnuName_Click();
    EXPECT_EQ(Frmtable().LblPlayer.caption, "Ann");
}

TEST_F(OptionsTest, TheResultsPanelCanBeDraggedAside) {
    FollowMouse.SetTimer(&Frmtable().Timer1);
    Frame& panel = Frmtable().FramResults;
    panel.visible = true;
    sys.pointer = {3000, 1000};
    FramResults_MouseDown(1);
    sys.pointer = {4000, 1500};
    Frmtable().Timer1.Tick();
    FramResults_MouseUp(1);
    sys.pointer = {0, 0};
    Frmtable().Timer1.Tick();
    EXPECT_EQ(panel.left, 2040 + 1000);
    EXPECT_EQ(panel.top, 600 + 500);
}

}  // namespace
}  // namespace cardovia::testing
