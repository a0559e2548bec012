#include "deck/RandomDraw.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Platform.h"

#include <cmath>

namespace cardovia {

namespace {

// The index a random number picks: r x 108 rounded to the nearest integer,
// halves to even. Index 1 is reached from (0.5, 1.5) but 108 only from
// [107.5, 108), so card 108 comes up half as often as the others; 0 is refused.
int PickIndex(double r) {
    return static_cast<int>(std::nearbyint(r * kDeckSize));
}

bool StockHoldsACard() {
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location == Stock) return true;
    }
    return false;
}

}  // namespace

i16 RandomStockCard() {
    // StockCount is trusted, but a count that claims cards the stock does not
    // hold would make the search below endless.
    if (StockCount != 0 && StockHoldsACard()) {
        while (true) {
            int x = 0;
            do {
                x = PickIndex(Sys().Random());
            } while (x == 0);
            if (Cards[x].Location == Stock) return static_cast<i16>(x);
        }
    }
    DelayMs = SpeedDelay;
    return 0;
}

}  // namespace cardovia
