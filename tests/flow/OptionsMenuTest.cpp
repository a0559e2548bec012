// The Options menu's speeds and card backs: each group checks the one choice
// in force, from start-up on and after every change.

#include "flow/Options.h"
#include "flow/Startup.h"
#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"
#include "support/TableTest.h"

#include <fstream>

namespace cardovia::testing {
namespace {

// "quick medium slow | blue red", a check as x and none as a dot.
std::string Checks() {
    const TableForm& f = Frmtable();
    std::string out;
    for (const MenuItem* item : {&f.MnuFast, &f.MnuMed, &f.MnuSlow, &f.MnuBlue, &f.MnuRed}) {
        if (item == &f.MnuBlue) out += "| ";
        out += !item->checkable ? "- " : item->checked ? "x " : ". ";
    }
    return out;
}

TEST_F(TableTest, TheOptionsMenuChecksTheSpeedAndTheCardBackInForce) {
    struct AtStartUp {
        const char* playerFile;  // none: no file
        const char* checks;
    };
    const AtStartUp starts[] = {
        {nullptr, ". x . | . x "},
        {"\"Jo\",300,4,2,1200,800,#TRUE#,2500\r\n", ". . x | x . "},
        {"\"Jo\",75,0,0,0,0,#FALSE#,5000\r\n", "x . . | . x "},
        {"\"Jo\",200,0,0,0,0,#TRUE#,5000\r\n", ". . . | x . "},  // a speed of none of the three
    };
    for (const AtStartUp& start : starts) {
        FreshTable();
        if (start.playerFile) std::ofstream(dir / kPlayerFileName) << start.playerFile;
        Form_Load();
        EXPECT_EQ(Checks(), start.checks) << (start.playerFile ? start.playerFile : "no file");
    }

    // Each change is confirmed by its own box, kept in the player file, and
    // moves its group's check; the other group's stays.
    struct Change {
        void (*click)();
        const char* title;
        const char* checks;
    };
    const Change changes[] = {
        {MnuFast_Click, "Quicker Play", "x . . | x . "},
        {MnuSlow_Click, "Slow Play", ". . x | x . "},
        {MnuRed_Click, "Red card backs", ". . x | . x "},
        {MnuMed_Click, "Normal Play", ". x . | . x "},
        {MnuBlue_Click, "Blue card backs", ". x . | x . "},
        {MnuBlue_Click, "Blue card backs", ". x . | x . "},  // the choice in force, again
    };
    for (const Change& change : changes) {
        const std::size_t dialogs = sys.dialogs.size();
        change.click();
        EXPECT_EQ(Checks(), change.checks) << change.title;
        ASSERT_EQ(sys.dialogs.size(), dialogs + 1) << change.title;
        EXPECT_EQ(sys.dialogs.back().title, change.title);
        // What the file keeps is what the next start-up checks.
        const std::string shown = Checks();
        Form_Load();
        EXPECT_EQ(Checks(), shown) << change.title << ", read back";
    }
}

// Classic, Expert, Master: one checked at a time, the choice kept in the
// options file for the next start and in a kept hand for its game.
TEST_F(TableTest, ThaddocksLevelIsOneCheckedChoiceKeptForTheNextStartAndInAKeptHand) {
    const TableForm& f = Frmtable();
    auto checks = [&] {
        std::string out;
        for (const MenuItem* item : {&f.MnuClassic, &f.MnuExpert, &f.MnuMaster}) {
            out += !item->checkable ? "-" : item->checked ? "x" : ".";
        }
        return out;
    };
    Form_Load();
    EXPECT_EQ(checks(), "x..");
    EXPECT_EQ(f.MnuMaster.caption, "Thaddock plays &Master");
    const std::pair<void (*)(), const char*> clicks[] = {{MnuMaster_Click, "..x"},
                                                         {MnuExpert_Click, ".x."},
                                                         {MnuMaster_Click, "..x"},
                                                         {MnuClassic_Click, "x.."},
                                                         {MnuMaster_Click, "..x"}};
    for (const auto& [click, expected] : clicks) {
        click();
        EXPECT_EQ(checks(), expected);
        Form_Load();
        EXPECT_EQ(checks(), expected) << "read back from the options file";
    }
    EXPECT_EQ(checks(), "..x");
    EXPECT_NE(FileText(dir / kPreferencesFileName).find("thaddock=master\n"), std::string::npos);
    // A kept hand says who played it; a word of no level is a hand not read.
    for (ThaddockLevel level :
         {ThaddockLevel::Classic, ThaddockLevel::Expert, ThaddockLevel::Master}) {
        KeptHand hand;
        hand.table.GameInProgress = true;
        hand.table.StockCount = kDeckSize;
        for (int i = 1; i <= kDeckSize; ++i) {
            const DeckEntry e = DeckLayout(i);
            hand.table.Cards[i].Value = e.value;
            hand.table.Cards[i].Rank = e.rank;
            hand.table.Cards[i].Location = Stock;
        }
        hand.table.TakenBy[7] = kOpponent;
        hand.table.Discarded[kPlayer][9] = 2;
        hand.level = level;
        const KeptHandRead read = ParseKeptHand(FormatKeptHand(hand));
        ASSERT_TRUE(read.hand) << read.fault;
        EXPECT_EQ(read.hand->level, level);
        EXPECT_EQ(read.hand->table.TakenBy, hand.table.TakenBy);
        EXPECT_EQ(read.hand->table.Discarded, hand.table.Discarded);
    }
}

}  // namespace
}  // namespace cardovia::testing
