// The strategy engine's judgement, one set table per fault it once had: what
// it did then, what it does now and why; then the Hint's three harmful
// advices played through the real Hint on the table.

#include "player/Hint.h"
#include "player/TakeBack.h"
#include "rules/SideView.h"
#include "strategy/Engine.h"
#include "support/TableTest.h"

#include <functional>
#include <string_view>

namespace cardovia::testing {
namespace {

using strategy::SeenCard;
using strategy::Step;
using strategy::View;

constexpr std::string_view kRankLetters = "?A23456789TJQKRX";
constexpr int kMe = 0;
constexpr int kOther = 1;

int RankOf(char letter) {
    return static_cast<int>(kRankLetters.find(letter));
}

int ValueOf(int rank) {
    if (rank == strategy::kJoker) return 50;
    if (rank == strategy::kTwo || rank == strategy::kAce) return 20;
    if (rank == strategy::kRedThree) return 100;
    return rank >= 8 ? 10 : 5;
}

// A table as one side sees it, set up by rank letters ("KKK95X": three Kings,
// a Nine, a Five and a Joker). Both sides have opened, the stock holds 40
// cards and the other hand 10 unless the row says otherwise.
class Seen {
  public:
    Seen() {
        v_.stockCount = 40;
        v_.sides[kMe].opened = v_.sides[kOther].opened = true;
        v_.sides[kOther].handCount = 10;
    }
    Seen& Hand(std::string_view letters) {
        for (char c : letters) v_.hand.push_back(Card(RankOf(c)));
        return *this;
    }
    // Bottom first: the last letter is the top card.
    Seen& Pile(std::string_view letters) {
        for (char c : letters) v_.pile.push_back(Card(RankOf(c)));
        return *this;
    }
    // A meld of naturals and Twos; `now` marks its naturals as laid this turn.
    Seen& Meld(int side, char rank, int naturals, int twos = 0, bool now = false) {
        strategy::SideView& s = v_.sides[side];
        const int r = RankOf(rank);
        s.meldCount[r] += naturals + twos;
        s.meldWild[r] += twos;
        s.meldSinceWild[r] += twos;
        for (int k = 0; k < naturals + twos; ++k) {
            SeenCard c = Card(k < naturals ? r : strategy::kTwo);
            c.meld = r;
            c.laidNow = now;
            s.meldCards.push_back(c);
        }
        s.canasta = s.canasta || s.meldCount[r] >= strategy::kCanastaSize;
        return *this;
    }
    Seen& Unopened(int side, int minimumLeft) {
        v_.sides[side].opened = false;
        v_.sides[side].minimumLeft = minimumLeft;
        return *this;
    }
    Seen& Thaddock() {
        v_.thaddockSeat = true;
        return *this;
    }
    Seen& Set(const std::function<void(View&)>& change) {
        change(v_);
        return *this;
    }
    operator View() const {
        View v = v_;
        v.sides[kMe].handCount = static_cast<int>(v.hand.size());
        v.pileForMe = PileFor(v);
        return v;
    }

  private:
    SeenCard Card(int rank) { return {next_++, rank, ValueOf(rank)}; }
    static strategy::PileSeen PileFor(const View& v) {
        const auto freezes = [](const SeenCard& c) {
            return strategy::IsWild(c.rank) || c.rank == strategy::kBlackThree ||
                   c.rank == strategy::kRedThree;
        };
        if (!v.sides[kMe].opened) return strategy::PileSeen::Frozen;
        if (!v.pile.empty() && freezes(v.pile.back())) return strategy::PileSeen::Blocked;
        return std::any_of(v.pile.begin(), v.pile.end(), freezes) ? strategy::PileSeen::Frozen
                                                                  : strategy::PileSeen::Open;
    }
    View v_;
    int next_ = 1;
};

char Letter(int rank) {
    return kRankLetters[static_cast<std::size_t>(rank)];
}

char LetterOf(const View& v, int id) {
    for (const SeenCard& c : v.hand) {
        if (c.id == id) return Letter(c.rank);
    }
    return '?';
}

// The step in a few words: "lay 3 J", "wild X on 7", "discard 9".
std::string Said(const View& v, const Step& s) {
    switch (s.kind) {
        case Step::Kind::None:
            return "nothing";
        case Step::Kind::TakePile:
            return "take the pile";
        case Step::Kind::DrawStock:
            return "draw";
        case Step::Kind::Lay:
            return "lay " + std::to_string(s.cards.size()) + " " + Letter(s.rank);
        case Step::Kind::AddWild:
            return std::string("wild ") + LetterOf(v, s.cards.front()) + " on " + Letter(s.rank);
        case Step::Kind::Discard:
            return std::string("discard ") + LetterOf(v, s.cards.front());
        case Step::Kind::TakeBack:
            return "take back";
    }
    return "?";
}

struct Row {
    const char* fault;
    const char* before;  // what the engine did
    std::function<View()> table;
    const char* now;  // what it does, and the row says why
};

void Knows(View& v, std::string_view held) {
    for (char c : held)
        v.sides[kOther].heldFromPile.push_back({500 + static_cast<int>(c), RankOf(c)});
}

TEST(EngineTest, EachMendedFaultTakesTheBetterStepOnItsOwnTable) {
    const Row rows[] = {
        // 1. Going out weighed against holding on.
        {"out: the other side has not opened and a pure canasta is one Queen away: hold on",
         "lay 3 J",
         [] {
             return Seen().Hand("JJJ4").Meld(kMe, 'K', 7).Meld(kMe, 'Q', 6).Unopened(kOther, 50);
         },
         "discard 4"},
        {"out: the same, but going out wins the game", "lay 3 J",
         [] {
             return Seen()
                 .Hand("JJJ4")
                 .Meld(kMe, 'K', 7)
                 .Meld(kMe, 'Q', 6)
                 .Unopened(kOther, 50)
                 .Set([](View& v) { v.sides[kMe].total = 4400; });
         },
         "lay 3 J"},
        {"out: the same, but the other side has opened and may lay its cards: out", "lay 3 J",
         [] { return Seen().Hand("JJJ4").Meld(kMe, 'K', 7).Meld(kMe, 'Q', 6); }, "lay 3 J"},
        {"out: going out would end the game lost: hold on", "lay 3 J",
         [] {
             return Seen().Hand("JJJ4").Meld(kMe, 'K', 7).Meld(kOther, '9', 7).Set([](View& v) {
                 v.sides[kOther].total = 4900;
             });
         },
         "discard 4"},
        // 2. A pair held back for a frozen pile.
        {"pair: the last pair stays to take the frozen, growing pile", "lay 2 K",
         [] { return Seen().Hand("KK56").Meld(kMe, 'K', 4).Pile("3859"); }, "discard 5"},
        {"pair: with another pair in hand the Kings go down", "lay 2 K",
         [] { return Seen().Hand("KK5566").Meld(kMe, 'K', 4).Pile("3859"); }, "lay 2 K"},
        // 3. Opening with two naturals and a wild card.
        {"open: the other side may go out: two Kings and the Joker meet 50", "discard Q",
         [] {
             return Seen().Hand("KKQ4569X").Unopened(kMe, 50).Meld(kOther, '7', 7).Set([](View& v) {
                 v.sides[kOther].handCount = 3;
             });
         },
         "lay 2 K"},
        {"open: the Joker is laid next, not a Two worth too little", "wild 2 on K",
         [] {
             return Seen()
                 .Hand("Q4569X2")
                 .Unopened(kMe, 30)
                 .Meld(kMe, 'K', 2, 0, true)
                 .Meld(kOther, '7', 7)
                 .Set([](View& v) { v.sides[kOther].handCount = 3; });
         },
         "wild X on K"},
        {"open: Thaddock's seat, the stock nearly out: Kings and a Two meet 40", "discard 9",
         [] {
             return Seen().Thaddock().Hand("KK4569Q2").Unopened(kMe, 40).Set([](View& v) {
                 v.stockCount = 4;
             });
         },
         "lay 2 K"},
        {"open: nothing presses: the wild cards wait for canastas", "discard Q",
         [] { return Seen().Hand("KKQ4569X").Unopened(kMe, 50); }, "discard Q"},
        // 4. Wild cards kept off a meld that may still be a pure canasta.
        {"wild: two Sevens unseen, a pure canasta likely: the Joker waits", "wild X on 7",
         [] {
             return Seen().Hand("X94K").Meld(kMe, '7', 6).Set([](View& v) { v.stockCount = 20; });
         },
         "discard 9"},
        {"wild: the other side may go out: the canasta now", "wild X on 7",
         [] {
             return Seen().Hand("X94K").Meld(kMe, '7', 6).Meld(kOther, 'Q', 7).Set([](View& v) {
                 v.stockCount = 20;
                 v.sides[kOther].handCount = 3;
             });
         },
         "wild X on 7"},
        {"wild: four Sevens down, three more unlikely: the Joker goes on", "wild X on 7",
         [] {
             return Seen().Hand("X94K").Meld(kMe, '7', 4).Set([](View& v) { v.stockCount = 80; });
         },
         "wild X on 7"},
        // 5. Black threes kept for a pile worth shielding.
        {"three: a one-card pile is not worth a black three", "discard 3",
         [] {
             return Seen().Thaddock().Hand("3946").Pile("Q").Set(
                 [](View& v) { v.sides[kOther].handCount = 2; });
         },
         "discard 9"},
        {"three: a pile of six is", "discard 3",
         [] {
             return Seen().Thaddock().Hand("3946").Pile("Q8J5TA").Set(
                 [](View& v) { v.sides[kOther].handCount = 2; });
         },
         "discard 3"},
        // 6. Small piles weighed against two stock cards.
        {"pile: one King that only lengthens the Kings: the stock", "take the pile",
         [] {
             return Seen().Hand("956J").Meld(kMe, 'K', 4).Pile("K").Set([](View& v) {
                 v.mustDraw = true;
             });
         },
         "draw"},
        {"pile: one King that makes the canasta", "take the pile",
         [] {
             return Seen().Hand("956J").Meld(kMe, 'K', 6).Pile("K").Set([](View& v) {
                 v.mustDraw = true;
             });
         },
         "take the pile"},
        {"pile: three cards are worth more than two", "take the pile",
         [] {
             return Seen().Hand("956J").Meld(kMe, 'K', 4).Pile("48K").Set([](View& v) {
                 v.mustDraw = true;
             });
         },
         "take the pile"},
        // 7. Card memory in the danger of a discard.
        {"memory: the player took two Nines with the pile and holds them", "discard 9",
         [] {
             return Seen().Thaddock().Hand("9J5").Pile("99999K").Set(
                 [](View& v) { Knows(v, "99"); });
         },
         "discard J"},
        {"memory: the player threw a Five this hand: it seldom holds two", "discard 9",
         [] {
             return Seen().Thaddock().Hand("9J5").Pile("99999K").Set([](View& v) {
                 Knows(v, "99");
                 v.sides[kOther].discarded[RankOf('5')] = 1;
             });
         },
         "discard 5"},
        // 8. The Hint's harm, as the engine saw it.
        {"hint: a Five on the Fives just taken meets the minimum, no Take Back", "take back",
         [] { return Seen().Hand("5K94").Unopened(kMe, 5).Meld(kMe, '5', 3, 0, true); }, "lay 1 5"},
        {"hint: a Seven would give Thaddock the pile and his canasta", "discard 7",
         [] { return Seen().Hand("7KKK999555").Unopened(kMe, 90).Meld(kOther, '7', 6).Pile("4"); },
         "discard K"},
        {"hint: black threes taken in an earlier turn are nothing to take back", "take back",
         [] { return Seen().Hand("K945").Unopened(kMe, 35).Meld(kMe, '3', 3); }, "discard K"},
        {"hint: a short meld with nothing laid this turn is not taken back", "take back",
         [] { return Seen().Hand("K945").Meld(kMe, '8', 2); }, "discard K"},
        {"finish: without a canasta a lone Joker may not join a short meld: take back",
         "wild X on 8", [] { return Seen().Hand("X").Meld(kMe, '8', 2, 0, true); }, "take back"},
        {"open: black threes taken with the pile take no wild card for points", "take back",
         [] {
             return Seen()
                 .Hand("2222A69")
                 .Unopened(kMe, 35)
                 .Meld(kMe, '3', 2, 1)
                 .Meld(kMe, '4', 3, 0, true);
         },
         "wild 2 on 4"},
        {"hint: after a Take Back of the pile the turn's draw is still owed", "discard K",
         [] {
             return Seen().Hand("K945").Unopened(kMe, 50).Set([](View& v) {
                 v.drawStillOwed = true;
                 v.sides[kMe].penalty = 50;
             });
         },
         "draw"},
        {"hint: after a Take Back of hand cards alone no second draw", "discard K",
         [] {
             return Seen().Hand("K945").Unopened(kMe, 50).Set(
                 [](View& v) { v.drawStillOwed = true; });
         },
         "discard K"},
    };
    for (const Row& row : rows) {
        const View v = row.table();
        EXPECT_EQ(Said(v, strategy::NextStep(v)), row.now)
            << row.fault << " (was: " << row.before << ")";
    }
}

// Whatever the step, it is one the game would take from that side.
TEST(EngineTest, ThaddocksSeatNeverEmptiesAHandWithoutACanastaNorTakesBack) {
    const View views[] = {
        Seen().Thaddock().Hand("KKK"),
        Seen().Thaddock().Hand("KK").Meld(kMe, 'K', 3),
        Seen().Thaddock().Hand("X").Meld(kMe, 'K', 5),
        Seen().Thaddock().Hand("X").Meld(kMe, '8', 2),
        Seen().Thaddock().Hand("QQ4").Unopened(kMe, 90).Meld(kMe, 'Q', 2, 0, true),
    };
    for (const View& v : views) {
        const Step s = strategy::NextStep(v);
        EXPECT_NE(s.kind, Step::Kind::TakeBack) << Said(v, s);
        EXPECT_FALSE(s.kind == Step::Kind::Lay && s.cards.size() == v.hand.size()) << Said(v, s);
        EXPECT_FALSE(s.kind == Step::Kind::AddWild && v.hand.size() == 1) << Said(v, s);
    }
}

// --- Through the real Hint ------------------------------------------------------

// The Hint weighs few deals here: its answer is quick and the same every run.
struct FewHintDeals {
    FewHintDeals() { HintSamples = 24; }
    ~FewHintDeals() { HintSamples = 0; }
};

std::string HintSaid() {
    SetPanel(2, "");
    MnuHint_Click();
    return Frmtable().StatusPanels[2];
}

TEST_F(TableTest, TheHintNeitherTakesBackAMeetableOpeningNorFeedsThaddocksCanasta) {
    const FewHintDeals few;
    // The player took the pile with a Five on top: three Fives went down (35
    // still wanting). The last Five and the three Kings meet it.
    Play("h1=5a,5b,5c,Ka,Kb,Kc,9a p=4a,5d min1=50 turn L:5d");
    const std::string opening = HintSaid();
    EXPECT_TRUE(opening.starts_with("Add your Five") ||
                opening.starts_with("Meld your three Kings"))
        << opening;
    // Thaddock has six Sevens down, or six Kings, and the pile is open to him.
    const std::pair<const char*, const char*> feeding[] = {
        {"h1=7a,Ka,9a,5a,6a h2=4b,6b,8a,8b,Ja,Jb,Qa,Qb m27=7b-7g open1 open2 p=4a turn drawn",
         "Discard the Seven"},
        {"h1=Ka,7a,9a,5a,6a h2=4b,6b,8a,8b,Ja,Jb,Qa,Qb m2K=Kb-Kg open1 open2 p=4a turn drawn",
         "Discard the King"},
    };
    for (const auto& [script, harm] : feeding) {
        FreshTable();
        Play(script);
        const std::string said = HintSaid();
        EXPECT_FALSE(said.empty()) << script;
        EXPECT_EQ(said.find(harm), std::string::npos) << said;
    }
}

TEST_F(TableTest, NoTakeBackIsAdvisedWhenNothingWasLaidThisTurn) {
    const FewHintDeals few;
    // Black threes taken with the pile before the minimum was met: they may
    // stay on the table, and the player discards as usual.
    Play("h1=3a,3b,Ka,9a,5a,6a,7a p=4a,3c min1=50 turn L:3c R:9a turn drawn");
    ASSERT_EQ(MeldTable[kBlackThree].Count[kPlayer], 3);
    ASSERT_FALSE(MeldOpened[kPlayer]);
    for (int asked = 0; asked < 3; ++asked) {
        // The engine's own step here once was Take Back, again and again.
        EXPECT_NE(strategy::NextStep(SideViewOf(kPlayer, false)).kind, Step::Kind::TakeBack);
        EXPECT_EQ(HintSaid().find("Take Back"), std::string::npos) << "asked " << asked;
        MnuTakeBack_Click();
    }
    // Three Kings laid and taken back: nothing is left on the table.
    FreshTable();
    Play("h1=Ka,Kb,Kc,9a,5a,6a min1=50 turn drawn L:Ka L:Kb L:Kc");
    MnuTakeBack_Click();
    for (int asked = 0; asked < 3; ++asked) {
        EXPECT_EQ(HintSaid().find("Take Back"), std::string::npos) << "asked " << asked;
    }
}

}  // namespace
}  // namespace cardovia::testing
