#include "deck/RandomDraw.h"
#include "support/TestTable.h"

namespace cardovia::testing {
namespace {

TEST_F(TableTest, RandomNumbersPickIndexesByNearestRoundingHalvesToEven) {
    AllInStock();
    // 0.5 rounds to 0 (even) and is refused; 1.5 rounds to 2; 107.5 rounds to 108.
    sys.randomScript = {0.5 / 108, 1.5 / 108};
    EXPECT_EQ(RandomStockCard(), 2);
    sys.randomScript = {107.5 / 108};
    EXPECT_EQ(RandomStockCard(), 108);
    sys.randomScript = {2.5 / 108};
    EXPECT_EQ(RandomStockCard(), 2);
    sys.randomScript = {0.0, 0.4 / 108, 0.6 / 108};
    EXPECT_EQ(RandomStockCard(), 1);
}

TEST_F(TableTest, RandomDrawSkipsCardsThatAreNotInTheStock) {
    AllInStock();
    Place(50, PlayerHand);
    Place(51, DiscardPile);
    sys.randomScript = {50.0 / 108, 51.0 / 108, 52.0 / 108};
    EXPECT_EQ(RandomStockCard(), 52);
    for (int i = 1; i <= kDeckSize; ++i) {
        if (i % 7) Place(i, OpponentHand);
    }
    for (int n = 0; n < 2000; ++n) {
        const int card = RandomStockCard();
        ASSERT_EQ(Cards[card].Location, Stock) << card;
    }
}

TEST_F(TableTest, AnEmptyStockGivesNoCardAndPutsThePauseBack) {
    SpeedDelay = 300;
    DelayMs = 10;
    StockCount = 0;
    EXPECT_EQ(RandomStockCard(), 0);
    EXPECT_EQ(DelayMs, 300);
}

TEST_F(TableTest, AStockCountThatClaimsMissingCardsEndsTheSearch) {
    AllInStock();
    for (int i = 1; i <= kDeckSize; ++i) Place(i, PlayerHand);
    StockCount = 5;  // out of step with the cards
    EXPECT_EQ(RandomStockCard(), 0);
}

TEST_F(TableTest, OverManyDrawsCard108ComesUpHalfAsOftenAsTheOthers) {
    AllInStock();
    std::array<int, kDeckSize + 1> seen{};
    constexpr int kDraws = 216000;  // 2000 a card on average
    for (int n = 0; n < kDraws; ++n) ++seen[RandomStockCard()];
    EXPECT_EQ(seen[0], 0);
    double others = 0;
    for (int i = 1; i < kDeckSize; ++i) others += seen[i];
    const double mean = others / (kDeckSize - 1);
    for (int i = 1; i < kDeckSize; ++i) EXPECT_NEAR(seen[i], mean, mean * 0.12) << i;
    EXPECT_NEAR(seen[108] / mean, 0.5, 0.07);
}

}  // namespace
}  // namespace cardovia::testing
