#pragma once
// Whole games without a screen: the self-playing player answers for the
// person, and every wait for the player is a moment to check the table.

#include <functional>
#include <string>
#include <vector>

#include "support/TestTable.h"

namespace cardovia::testing {

class GameTest : public TableTest {
  protected:
    void SetUp() override;

    // Runs games from the menu until the program is left; the player ends a
    // game with "Exit" unless newGames is raised.
    void PlayFromMenu();

    // Checks that every card lies in a valid place and, at the start of a turn
    // of the player's, that the counts agree with the cards.
    void CheckTable() const;

    // Called whenever the game waits for the player, before the player acts;
    // answers true when it played for the player itself.
    std::function<bool()> beforePlayer;
    // Called at each results panel before "Carry On" is pressed.
    std::function<void()> atResults;
    int newGames = 0;
    int playerWaits = 0;
    std::vector<std::pair<int, int>> handTotals;  // player, opponent, of each scored hand

    std::vector<const DialogRequest*> DialogsTitled(const std::string& title) const;
};

}  // namespace cardovia::testing
