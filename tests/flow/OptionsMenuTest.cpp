// The Options menu's speeds and card backs: each group checks the one choice
// in force, from start-up on and after every change.

#include "flow/Options.h"
#include "flow/Startup.h"
#include "model/PlayerFileFormat.h"
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

}  // namespace
}  // namespace cardovia::testing
