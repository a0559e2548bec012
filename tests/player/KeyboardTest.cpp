// Play by keyboard: whole games played with the table's keys alone, each key
// going through the same handlers as a click, and keys that must do nothing.

#include "player/EnginePlay.h"
#include "player/KeyboardPlay.h"
#include "player/TakeBack.h"
#include "support/TableTest.h"

namespace cardovia::testing {
namespace {

bool Key(TableKey key, bool repeat = false) {
    return PressTableKey(key, repeat);
}

// Moves the ring onto a card by arrows and Tab alone; false when it cannot.
bool FocusOn(int card) {
    for (int rows = 0; rows < 5; ++rows) {
        for (int n = 0; n < 2 * kDeckSize; ++n) Key(TableKey::Left);
        for (int n = 0; n <= kDeckSize; ++n) {
            if (FocusedControl() == &Pic(card)) return true;
            Key(TableKey::Right);
        }
        Key(TableKey::NextRow);
    }
    return false;
}

// The engine's next step, played with keys.
bool PlayStepByKeys() {
    const strategy::Step step = PlayerNextStep();
    using Kind = strategy::Step::Kind;
    switch (step.kind) {
        case Kind::TakePile:
            return Key(TableKey::TakePile);
        case Kind::DrawStock:
            return Key(TableKey::DrawStock);
        case Kind::Lay:
            for (int card : step.cards) {
                if (PlayerTurn && FocusOn(card)) Key(TableKey::Activate);
            }
            return true;
        case Kind::AddWild: {
            int onMeld = 0;
            for (int i = 1; i <= kDeckSize && onMeld == 0; ++i) {
                if (Cards[i].Location == PlayerMelds && Cards[i].Rank == step.rank) onMeld = i;
            }
            if (!FocusOn(step.cards.front()) || !Key(TableKey::Activate)) return false;
            return FocusOn(onMeld) && Key(TableKey::Secondary);
        }
        case Kind::Discard:
            if (Pic(step.cards.front()).border && !Key(TableKey::DropWild)) return false;
            return FocusOn(step.cards.front()) && Key(TableKey::Secondary);
        case Kind::TakeBack:
            MnuTakeBack_Click();
            return true;
        case Kind::None:
            break;
    }
    return false;
}

TEST_F(GameTest, WholeGamesArePlayedWithTheKeysAlone) {
    std::string out;
    for (int seed = 1; seed <= 2; ++seed) {
        NewTable();
        sys.Seed(static_cast<std::uint64_t>(seed));
        int keyTurns = 0;
        beforePlayer = [&] {
            if (Frmtable().FramResults.visible && !TableIdle) return false;
            if (!PlayerTurn || !GameInProgress) return false;
            keyTurns += MustDraw && !HasDrawn;
            // Keys during the turn's own waits are ignored; here the turn waits for the player.
            for (int n = 0; n < 60 && PlayerTurn && GameInProgress; ++n) {
                if (!PlayStepByKeys()) break;
            }
            return true;
        };
        atResults = [&] {
            out += " " + std::to_string(handTotals.back().first) + ":" +
                   std::to_string(handTotals.back().second);
        };
        PlayFromMenu();
        out += " | seed " + std::to_string(seed) + ", " + std::to_string(keyTurns) +
               " turns by keys, " + (GamesWon == 1 ? "won\n" : "lost\n");
    }
    ExpectGolden("keyboard-games", out);
}

TEST_F(TableTest, KeysDoNothingOutsideThePlayersTurnAndAHeldKeyMovesOnce) {
    // Thaddock's turn: nothing moves, nothing is queued.
    Play("h1=Ka,Kb,Kc,9a,5a p=4a ingame");
    EXPECT_FALSE(Key(TableKey::DrawStock));
    EXPECT_FALSE(Key(TableKey::Activate));
    EXPECT_EQ(Lines(Snapshot(), {"hand 1", "stock"}), Lines(Play(""), {"hand 1", "stock"}));
    // The player's turn: S draws once however long it is held, then Activate lays a King.
    FreshTable();
    Play("h1=Ka,Kb,Kc,9a,5a p=4a turn");
    EXPECT_FALSE(Key(TableKey::DrawStock, true));
    EXPECT_TRUE(HandCount[kPlayer] == 5 && MustDraw);
    EXPECT_TRUE(Key(TableKey::DrawStock));
    EXPECT_FALSE(Key(TableKey::DrawStock));
    EXPECT_EQ(HandCount[kPlayer], 7);
    ASSERT_TRUE(FocusOn(89));
    EXPECT_FALSE(Key(TableKey::Activate, true));
    EXPECT_TRUE(Key(TableKey::Activate));
    EXPECT_EQ(Cards[89].Location, PlayerMelds);
    // The card left the hand: the ring is on its neighbour, still in the hand.
    const void* ring = FocusedControl();
    bool inHand = false;
    for (int i = 1; i <= kDeckSize; ++i) inHand |= ring == &Pic(i) && Cards[i].Location == PlayerHand;
    EXPECT_TRUE(inHand);
    // The results panel: its first button, Carry On, answers Enter whoever's turn it was.
    PlayerTurn = false;
    Frmtable().FramResults.visible = true;
    TableIdle = false;
    EXPECT_TRUE(Key(TableKey::Activate));
    EXPECT_TRUE(TableIdle && !Frmtable().FramResults.visible);
}

}  // namespace
}  // namespace cardovia::testing
