// The player's side: the hand on the table, the moves of the mouse and what
// each one is refused with, the wild-card quota and Take Back.

#include "support/TableTest.h"

namespace cardovia::testing {
namespace {

using Player = TableTest;

TEST_F(Player, AHandLongerThanTheRowIsLaidOutToItsEndWithoutAnOverflow) {
    Play("h1=Xa-Kh");
    EXPECT_TRUE(sys.errors.empty());
    EXPECT_EQ(HandCount[kPlayer], 96);
    EXPECT_EQ(Pic(CardIndex("Jf")).left, 1680 + 77 * 400);  // the last place the row has
    EXPECT_EQ(Pic(CardIndex("Kh")).left, 32767);
}

TEST_F(Player, TheMouseDrawsMeldsJoinsWildCardsAndDiscardsWithinTheRules) {
    ExpectGolden(
        "player-moves",
        PlayAll({
            {"a wild card is chosen and let go of, and not chosen as the last card",
             "turn h1=2b,4a,4b L:2b L:2b s=4a,4b SortHand:1 L:2b"},
            {"black threes go down only as three of the last four cards, and take no wild card",
             "turn drawn m1Q=Qa-Qg h1=3a-3c,4a,4b L:3a s=4b SortHand:1 L:3a h1=2a L:2a R:3a"},
            {"laying the last card with a canasta made ends the turn",
             "turn drawn m1Q=Qa-Qg h1=Qh L:Qh"},
            {"a second right click during the discard does not discard again",
             "turn drawn open1 h1=7a,8a,9a onwait=R:8a R:7a"},
            {"a meld pressed before a wild card is chosen",
             "turn drawn open1 m1K=Ka-Kc h1=7a,8a L:Ka",
             {"panels"}},
            {"black threes with five cards in hand", "turn drawn h1=3a-3c,4a,4b L:3a", {"panels"}},
            {"the last card without a canasta stays, but the turn passes",
             "learn turn drawn h1=7a L:7a R:7a",
             {"dialog", "state"}},
            {"the last cards as one new meld need a canasta",
             "turn drawn h1=7a-7c L:7a",
             {"panels", "melds1"}},
            {"the discard ends the turn: no card is marked as taken or laid any more",
             "turn open1 p=Ka h1=Kb,Kc,Qa-Qc,7a,8a L:Ka L:Qa L:Qb L:Qc dump R:7a",
             {"state"}},
            {"a card picked up follows the mouse until the hand is laid out again",
             "turn drawn h1=7a,8a PickUpCard:7a dump SortHand:1",
             {"state"}},
            {"Take Back with no game does nothing", "h1=7a MnuTakeBack", {"state"}},
            {"a wild card pressed during Thaddock's turn is not chosen",
             "ingame h1=2a,4a L:2a",
             {"state"}},
        }));
}

TEST_F(Player, AChosenWildCardJoinsAMeldWithinItsQuota) {
    // A meld of Nines, natural and wild; then the chosen Joker right-clicked onto it.
    const std::pair<const char*, const char*> cases[] = {
        {"9a,9b", "3/1/1"},       {"9a,9b,2c", "4/2/2"},    {"9a,9b,2c,2d", "4/2/2"},
        {"9a-9c,2c,2d", "6/3/3"}, {"9a-9d,2c-2e", "7/3/3"}, {"9a-9f,2c-2e", "9/3/3"},
    };
    for (const auto& [meld, after] : cases) {
        const std::string line = Line(
            "turn drawn open1 m19=" + std::string(meld) + " h1=Xa,4a,4b L:Xa R:9a", "melds1 9 ");
        EXPECT_EQ(line.substr(0, line.find(' ')), after) << meld;
    }
}

TEST_F(Player, TakeBackReturnsTheTurnsCardsAndChargesForThePile) {
    ExpectGolden(
        "take-back",
        PlayAll({
            {"a wild card taken back leaves a pure canasta",
             "turn drawn open1 m19=9a-9g h1=Xa,Xb,Ka,Kb,4d,5f,6c L:Xa R:9a L:Ka L:Kb MnuTakeBack"},
        }));
}

TEST_F(Player, HoverHintsAndHandHelpTellWhatCanBeDoneNow) {
    ExpectGolden(
        "hints",
        Lines(PlayAll({
                  {"before drawing",
                   "turn open1 h1=7a,2a h2=5f p=9d DiscardFrozen:1 hover:Ad hover:7a "
                   "hover:9d hover:5f"},
                  {"after drawing",
                   "turn drawn open1 m1K=Ka-Kc h1=7a,2a,2b p=9d hover:Ad hover:9d "
                   "hover:2a hover:7a hover:Ka L:2a hover:Ka"},
                  {"an open pile says what a click on it does: not with one of its rank, then with two",
                   "turn open1 h1=9a,4d p=9d DiscardFrozen:1 hover:9d h1=9b hover:9d"},
                  {"a frozen pile, then a blocked one",
                   "turn h1=Tb,4d p=Ta DiscardFrozen:1 hover:Ta h1=Tc hover:Ta open1 p=2a "
                   "DiscardFrozen:1 hover:2a"},
                  {"Hand Help before the deal, then finished", "MnuHandHelp dump cmdFinished"},
                  {"Hand Help lists wild cards first, once however often asked",
                   "turn open1 h1=Ka-Kc,7a,7b,Xa p=9d DiscardFrozen:1 MnuHandHelp MnuHandHelp"},
                  {"Hand Help: a frozen pile with two of its rank in hand",
                   "turn min1=50 h1=Tb,Tc,3a,4d p=Ta DiscardFrozen:1 MnuHandHelp"},
                  {"Hand Help: an open pile with one of its rank and a Two",
                   "turn open1 h1=5b,2a,Kb p=5a DiscardFrozen:1 MnuHandHelp"},
                  {"out of turn", "ingame h1=7a hover:7a"},
              }),
              {"==", "hover", "help"}));
}

}  // namespace
}  // namespace cardovia::testing
