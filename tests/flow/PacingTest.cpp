#include "flow/Pacing.h"
#include "flow/Startup.h"
#include "model/PlayerFile.h"
#include "support/TestTable.h"

#include <fstream>

namespace cardovia::testing {
namespace {

TEST_F(TableTest, APauseLastsDelayMsOnTheClock) {
    DelayMs = 500;
    sys.now = 1000;
    Pause();
    EXPECT_EQ(sys.now, 1500);
    EXPECT_EQ(DelayStart, 1000);
    DelayMs = 0;
    Pause();
    EXPECT_EQ(sys.now, 1500);
    EXPECT_TRUE(sys.sounds.empty());
}

TEST_F(TableTest, AHandlerThatChangesDelayMsChangesTheRunningPause) {
    DelayMs = 300;
    sys.onWait = [] { DelayMs = 75; };  // the player picks "Play Quickly" during the pause
    Pause();
    EXPECT_EQ(sys.now, 75);
    sys.onWait = [] { DelayMs = 500; };
    Pause();
    EXPECT_EQ(sys.now, 575);
}

TEST_F(TableTest, TheCardSoundPlaysFromTheProgramsDirectoryBeforeThePause) {
    DelayMs = 150;
    CardSoundPause();
    ASSERT_EQ(sys.sounds.size(), 1u);
    EXPECT_EQ(sys.sounds[0], (dir / "card.wav").string());
    EXPECT_EQ(sys.TotalWaited(), 150);
}

TEST_F(TableTest, StartUpLaysTheWholeDeckFaceDownAndWaitsForANewGame) {
    Form_Load();
    const TableForm& f = Frmtable();
    for (int i = 1; i <= kDeckSize; ++i) {
        EXPECT_EQ(Cards[i].Location, Stock);
        EXPECT_EQ(Pic(i).image, 110);
        EXPECT_TRUE(Pic(i).visible);
    }
    EXPECT_EQ(StockCount, 108);
    EXPECT_EQ(f.LblStock.caption, "No. Deck 108");
    EXPECT_EQ(f.LblDiscard.caption, "Discard");
    EXPECT_EQ(f.StatusPanels[2], " Press F2 or use Menu for new game");
    EXPECT_EQ(f.Label7.caption, "Target Score 5000");
    EXPECT_EQ(f.LblPlayer.caption, "Player");
    EXPECT_EQ(f.Caption, "Cardovia");
    EXPECT_FALSE(GameInProgress);
    EXPECT_FALSE(f.MnuTakeBack.enabled);
    EXPECT_EQ(f.MnuLearn.caption, "&Learning Mode Off");
    ASSERT_EQ(sys.sounds.size(), 1u);
    EXPECT_EQ(sys.sounds[0], (dir / "riffle.wav").string());
    EXPECT_TRUE(sys.dialogs.empty());
    EXPECT_TRUE(sys.errors.empty());
    EXPECT_EQ(sys.waits, (std::vector<std::int64_t>{150}));  // the stock's one pause
}

TEST_F(TableTest, StartUpTakesTheSettingsFromThePlayerFile) {
    std::ofstream(dir / kPlayerFileName) << "\"Jo, M\",300,4,2,1200,800,#TRUE#,2500\r\n";
    Form_Load();
    const TableForm& f = Frmtable();
    EXPECT_EQ(Pic(1).image, 109);
    EXPECT_EQ(Pic(108).image, 109);
    EXPECT_EQ(f.Label7.caption, "Target Score 2500");
    EXPECT_EQ(f.LblPlayer.caption, "Jo, M");
    EXPECT_EQ(f.lblPnameScore.caption, "Jo, M");
    EXPECT_EQ(f.LblP.caption, "Jo, M");
    EXPECT_EQ(DelayMs, 300);
    EXPECT_EQ(GameScore[1], 1200);
    EXPECT_EQ(sys.waits, (std::vector<std::int64_t>{300}));
}

}  // namespace
}  // namespace cardovia::testing
