#include "deck/Stock.h"

#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Form.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {
constexpr int kStockLeft = 120;
constexpr int kStockTop = 240;
constexpr int kStockStep = 2;  // each card a little up and to the right of the one below
}  // namespace

void StackStock() {
    StockCount = 0;
    Pause();
    int left = kStockLeft;
    int top = kStockTop;
    // The highest index ends on top; since draws are random, the top picture
    // says nothing about the next card.
    for (int i = 1; i <= kDeckSize; ++i) {
        if (Cards[i].Location != Stock) continue;
        Picture& pic = Pic(i);
        pic.image = CardBackImage();
        pic.Move(left, top);
        ZOrder(pic);
        left += kStockStep;
        top -= kStockStep;
        pic.visible = true;
        ZOrder(pic);
        ++StockCount;
    }
    Frmtable().LblStock.caption = "Stock:- " + std::to_string(StockCount);
    DelayMs = SpeedDelay;
}

}  // namespace cardovia
