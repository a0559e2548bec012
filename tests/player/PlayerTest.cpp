// The player's side: the hands on the table, the moves of the mouse and what
// each one is refused with, Take Back, the hover hints and Hand Help.

#include "player/FollowMouse.h"
#include "player/Hand.h"
#include "support/TableTest.h"

namespace cardovia::testing {
namespace {

using Player = TableTest;

TEST_F(Player, HandsAreLaidOutInCardOrder) {
    ExpectGolden("hands",
                 PlayAll({
                     {"fifteen cards each, Thaddock's in blue backs",
                      "blue h1=Ad,Xc,9d,3a,7d,7e,2d,Kb-Kd,Tf,4d,5f,Ra,Xa h2=4e-5e,5g-6c,8b"},
                     {"a hand longer than the row", "h1=Xa-Kh"},
                 }));
}

TEST_F(Player, APickedUpCardFollowsThePointerAndSnapsBackOnTheNextSorting) {
    Timer& timer = Frmtable().Timer1;
    FollowMouse.SetTimer(&timer);
    Play("h1=8d,8e");
    sys.pointer = {2000, 8600};
    PickUpCard(CardIndex("8e"));
    sys.pointer = {2500, 7000};
    timer.Tick();
    // It keeps its distance from the pointer: it moved as far as the pointer did.
    EXPECT_EQ(Pic(CardIndex("8e")).left, 2080 + 500);
    EXPECT_EQ(Pic(CardIndex("8e")).top, 8200 - 1600);
    EXPECT_TRUE(timer.enabled);
    SortHand(kPlayer);
    EXPECT_FALSE(timer.enabled);
    sys.pointer = {0, 0};
    timer.Tick();
    EXPECT_EQ(Pic(CardIndex("8e")).left, 2080);
    EXPECT_EQ(Pic(CardIndex("8e")).top, 8200);
}

TEST_F(Player, TheMouseDrawsMeldsJoinsWildCardsAndDiscardsWithinTheRules) {
    ExpectGolden(
        "player-moves",
        PlayAll({
            {"Thaddock's cards answer no press", "turn h2=7a h1=7b,7c Ldown:7a"},
            {"the stock gives two cards once a turn", "learn turn h1=7a draws=9d,9e L:Ad L:Ad"},
            {"a card pressed and let go anywhere goes onto its meld; one that cannot is refused",
             "turn drawn h1=Ka-Kc,7a,7b L:Ka L:Kb L:Kc L:7a Lup:7b"},
            {"a second wild card joins two naturals and a wild card, a third is refused",
             "turn drawn open1 m19=9a,9b,2c h1=Xa,2a,2b,4a,4b L:Xa R:9a L:2a R:9b R:9a"},
            {"a wild card is chosen and let go of, and not chosen as the last card",
             "turn h1=2b,4a,4b L:2b L:2b s=4a,4b SortHand:1 L:2b"},
            {"black threes go down only as three of the last four cards, and take no wild card",
             "turn drawn m1Q=Qa-Qg h1=3a-3c,4a,4b L:3a s=4b SortHand:1 L:3a h1=2a L:2a R:3a"},
            {"a press on a pile card of another rank takes nothing",
             "turn open1 m1T=Ta-Tc p=7d,Td h1=4a Ldown:7d dump Ldown:Td"},
            {"a discard waits for complete melds and the minimum",
             "turn drawn min1=50 h1=Ka-Kd,7a,7b L:Ka R:7b L:Kb L:Kc R:7b L:Kd h1=Aa-Ac L:Aa L:Ab "
             "L:Ac R:7b"},
            {"the last card without a canasta stays, but the turn passes",
             "learn turn drawn h1=7a L:7a R:7a"},
            {"laying the last card with a canasta made ends the turn",
             "turn drawn m1Q=Qa-Qg h1=Qh L:Qh"},
            {"a second right click during the discard does not discard again",
             "turn drawn open1 h1=7a,8a,9a onwait=R:8a R:7a"},
            {"a chosen wild card that made up a pile meld is not booked on a second meld",
             "turn open1 m19=9a-9c p=Ka h1=Kb,Xa,4d,5f,6c L:Xa L:Ka R:9a"},
        }));
}

TEST_F(Player, TakeBackReturnsTheTurnsCardsAndChargesForThePile) {
    ExpectGolden(
        "take-back",
        PlayAll({
            {"a frozen Queen taken with a Queen and a Joker, short of the minimum",
             "turn min1=90 p=5f,Qb h1=Qc,Xa,7d Ldown:Qb MnuTakeBack"},
            {"a meld of two and a wild card after opening: no dialog",
             "turn drawn m1K=Ka-Kc open1 h1=7a-7c,Xc L:7a L:7b L:Xc R:Ka MnuTakeBack"},
            {"with nothing laid the player may still discard", "turn h1=7a MnuTakeBack"},
            {"a wild card taken back leaves a pure canasta",
             "turn drawn open1 m19=9a-9g h1=Xa,Xb,Ka,Kb,4d,5f,6c L:Xa R:9a L:Ka L:Kb MnuTakeBack"},
            {"Take Back, the stock and a discard pressed at every pause of the Take Back",
             "turn min1=50 p=4c h1=4a,4b,5f,6c,7b L:4c onwait=MnuTakeBack,Ldown:Ad,R:5f "
             "MnuTakeBack"},
        }));
}

TEST_F(Player, HoverHintsAndHandHelpTellWhatCanBeDoneNow) {
    ExpectGolden(
        "hints",
        PlayAll({
            {"before drawing",
             "turn open1 h1=7a,2a h2=5f p=9d DiscardFrozen:1 hover:Ad hover:7a hover:9d hover:5f"},
            {"after drawing",
             "turn drawn open1 m1K=Ka-Kc h1=7a,2a,2b p=9d hover:Ad hover:9d hover:2a hover:7a "
             "hover:Ka "
             "L:2a hover:Ka"},
            {"over a frozen or blocked pile",
             "turn h1=Tb,4d p=Ta DiscardFrozen:1 hover:Ta h1=Tc hover:Ta open1 p=2a "
             "DiscardFrozen:1 "
             "hover:2a"},
            {"Hand Help before the deal, then closed", "MnuHandHelp dump cmdFinished"},
            {"Hand Help lists wild cards first, once however often asked",
             "turn open1 h1=Ka-Kc,7a,7b,Xa p=9d DiscardFrozen:1 MnuHandHelp MnuHandHelp"},
            {"Hand Help: a frozen pile with two of its rank in hand",
             "turn min1=50 h1=Tb,Tc,3a,4d p=Ta DiscardFrozen:1 MnuHandHelp"},
            {"Hand Help: an open pile with one of its rank and a Two",
             "turn open1 h1=5b,2a,Kb p=5a DiscardFrozen:1 MnuHandHelp"},
            {"Learning Mode on and off, then quiet", "MnuLearn MnuLearn turn h1=7a p=9d hover:7a"},
        }));
}

}  // namespace
}  // namespace cardovia::testing
