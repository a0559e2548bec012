#pragma once
// A fresh table for each test: the model and the form as at program start, a
// headless platform on a virtual clock and a private program directory.
//
// Situations are built and played by short scripts of words, then compared
// with a golden dump of the table (see TableDump.h for the card names):
//   h1=Ka,Kb h2=.. p=4a,Qa  the player's or Thaddock's hand, the pile (last on top);
//                           4a-4h names the cards from 4a to 4h in deck order
//   m1K=Ka,Kb,Kc r2=Ra      a meld booked as the meld table books it, a red-three board
//   s=Ka                    back to the stock
//   open1 canasta2 min1=50 game2=1500 won=3 lost=1 turn drawn ingame learn speed=75
//   blue idle maytake marked=Xa faildialogs   card backs, the results showing, the pile thought
//                           takeable, a card marked as chosen, every dialog failing
//   draws=Kd,Ke answers=1,0 the next random stock cards, the next dialog answers
//   L:Ka R:Ka               the player's clicks on a card
//   Procedure:arg:arg       one of the game's procedures, e.g. TakeDiscardPile:2
//   onwait=L:Ka,R:Kb       moves made at every wait, as a hurried player would
//   watch                   from here on each wait is told with the pictures moved before it,
//                           all on one line
//   dump                    the table and what happened since the last dump

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/Card.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "support/TableDump.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessPlatform.h"

namespace cardovia::testing {

// What Thaddock has laid breaks the rules in these ways (empty when it does
// not): laid unopened, a meld short of three, wild cards over their quota.
std::string ThaddockMeldFaults();

// The deals of the unseen cards a search weighs in tests: few, and the same on every machine.
inline constexpr int kTestSearchDeals = 24;

// A scenario of a golden test: what it shows, its script, and the lines of
// its dump worth keeping when not all of them are.
struct Scenario {
    std::string title;
    std::string script;
    std::vector<std::string> keep = {};
};

class TableTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Plays a script on the table as it stands and answers the dumps it asked
    // for, ending with one of the table as the script leaves it.
    std::string Play(const std::string& script);
    // The line of the dump that starts so (that start left off), after the
    // script has been played on a fresh table: a table of cases compares one.
    std::string Line(const std::string& script, const std::string& start);
    // The lines of a dump that start with one of these.
    static std::string Lines(const std::string& dump, const std::vector<std::string>& starts);
    // Each scenario on a fresh table, titled.
    std::string PlayAll(const std::vector<Scenario>& scenarios);
    // The table, then what happened since the last snapshot: the waits on the
    // virtual clock, sounds, beeps, dialogs and error reports.
    std::string Snapshot();
    // A fresh table: the model as at start-up with the whole deck in the stock.
    void FreshTable();
    // Runs one move or procedure of a script.
    void Run(const std::string& word);
    // A word of a script that sets the situation up; false for any other.
    bool Set(const std::string& word);
    // Lays out the stock, the melds and the red-three boards a script has set
    // up, as the game would have laid them, and forgets the time it took.
    void LayOut();
    // From now on each wait is told with the pictures that moved before it.
    void Watch();

    HeadlessPlatform sys;
    std::filesystem::path dir;       // the program's directory for this test alone
    std::string notes;               // answers of the procedures a script asked
    std::vector<std::string> moves;  // the pictures moved before each wait, when watched
    bool watching = false;           // the script asked to watch the waits
    std::string hurried;             // the moves the script makes at every wait
    std::string lastFile;            // the player file as the last snapshot found it
};

// Whole games from the menu: the self-playing player answers for the person,
// and the table is checked at the start of every turn of the player's.
class GameTest : public TableTest {
  protected:
    void SetUp() override;
    // A fresh table and platform for the next game of a test.
    void NewTable();
    void PlayFromMenu();
    std::vector<const DialogRequest*> DialogsTitled(const std::string& title) const;

    // Called whenever the game waits for the player; answers true when it
    // played for the player itself.
    std::function<bool()> beforePlayer;
    // Called at each results panel before "Carry On" is pressed.
    std::function<void()> atResults;
    std::vector<std::pair<int, int>> handTotals;  // of each scored hand
};

}  // namespace cardovia::testing
