// The deck's layout, the random stock draw and its rounding, dealing a hand,
// drawing and the red threes.

#include "deck/RandomDraw.h"
#include "deck/Stock.h"
#include "support/TableTest.h"
#include "ui/Errors.h"

namespace cardovia::testing {
namespace {

using Deck = TableTest;

TEST_F(Deck, EachIndexHasItsRankValueAndName) {
    std::string layout;
    for (int i = 1; i <= kDeckSize; ++i) {
        if (i > 1 && Cards[i].CardName == Cards[i - 1].CardName) continue;
        layout += " " + CardName(i) + " " + std::to_string(Cards[i].Rank) + "/" +
                  std::to_string(Cards[i].Value) + " " + Cards[i].CardName;
    }
    EXPECT_EQ(layout,
              " Xa 15/50 Joker 2a 2/20 Two 3a 3/5 BlackThree 4a 4/5 Four 5a 5/5 Five 6a 6/5 Six 7a "
              "7/5 Seven "
              "8a 8/10 Eight 9a 9/10 Nine Ta 10/10 Ten Ja 11/10 Jack Qa 12/10 Queen Ka 13/10 King "
              "Aa 1/20 Ace "
              "Ra 14/100 RedThree");
    SpeedDelay = 300;
    SetUpDeck();
    EXPECT_EQ(DelayMs, 300);
    DelayMs = 10;
    StackStock();
    EXPECT_EQ(DelayMs, 300);
}

TEST_F(Deck, ARandomNumberPicksTheNearestIndexHalvesToEvenAndZeroIsRefused) {
    const std::pair<std::vector<double>, int> cases[] = {
        {{0.5, 1.5}, 2}, {{107.5}, 108}, {{2.5}, 2}, {{0.0, 0.4, 0.6}, 1}, {{50, 51, 52}, 52}};
    Play("h1=Xb p=8b,8c");  // 50, 51 are not in the stock; 2 is in the hand
    Cards[2].Location = Stock;
    for (const auto& [numbers, card] : cases) {
        for (double n : numbers) sys.randomScript.push_back(n / 108);
        EXPECT_EQ(RandomStockCard(), card) << numbers[0];
    }
    // Card 108 is reached from [107.5, 108) only: it comes up half as often as the others.
    std::array<int, kDeckSize + 1> seen{};
    for (int n = 0; n < 216000; ++n) ++seen[RandomStockCard()];
    const double mean = (216000.0 - seen[108] - seen[50] - seen[51]) / 105;
    for (int i = 1; i < kDeckSize; ++i) {
        if (i != 50 && i != 51) EXPECT_NEAR(seen[i], mean, mean * 0.12) << i;
    }
    EXPECT_NEAR(seen[108] / mean, 0.5, 0.07);
    EXPECT_EQ(seen[50] + seen[51] + seen[0], 0);
    // A stock that is empty, or whose count claims cards it does not hold, gives no card.
    for (int i = 1; i <= kDeckSize; ++i) Cards[i].Location = PlayerHand;
    StockCount = 5;
    DelayMs = 10;
    EXPECT_EQ(RandomStockCard(), 0);
    EXPECT_EQ(DelayMs, SpeedDelay);
}

TEST_F(Deck, DealingDrawingAndRedThrees) {
    // Thirty naturals for the deal, then the cards turned up and drawn.
    const std::string deal = "draws=4d-8a,";
    ExpectGolden("deal", PlayAll({
                             {"red threes dealt go to the board and are replaced, even by a third",
                              "draws=Ra,4e,Rb,5a-7e,9d,Rc,8a,8b DealEm:2"},
                             {"Thaddock's red three shows face up on his board after a nudge",
                              "speed=300 draws=Rd,7a TakeCardDeck:2"},
                             {"Thaddock deals; a Joker turned up stays frozen under the next card",
                              deal + "Xa,9d DealEm:2",
                              {"pile", "hand"}},
                             {"a card travels face up into the player's hand",
                              "watch speed=300 h1=Xa,Xb MoveCardDeck:1:4a",
                              {"waits"}},
                             {"Thaddock's travels face down in the back chosen last",
                              "watch h2=Xa MnuBlue MoveCardDeck:2:4a",
                              {"waits"}},
                         }));
}

}  // namespace
}  // namespace cardovia::testing
