#include "deck/Drawing.h"

#include "deck/CardTravel.h"
#include "deck/RandomDraw.h"
#include "deck/Stock.h"
#include "layout/Hand.h"
#include "layout/RedThreeBoard.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "scoring/HandScoring.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

constexpr int kNudge = 100;  // a red three leaving a hand moves toward the table's centre

}  // namespace

void TakeCardDeck(int side) {
    Trap("TakeCardDeck", [&] {
        StackStock();
        if (StockCount >= 1) {
            const i16 card = RandomStockCard();
            if (card != 0) {
                MoveCardDeck(side == kOpponent ? kOpponent : kPlayer, card);
                Cards[card].Location = side == kOpponent ? OpponentHand : PlayerHand;
            }
        }
        StackStock();  // the drawn card leaves the stack; this recount lowers StockCount
        SortHand(side);
        CheckforRed3(side);
        DelayMs = SpeedDelay;
    });
}

void TakeTwoFromStock(int side) {
    TakeCardDeck(side);
    TakeCardDeck(side);
}

void CheckforRed3(int side) {
    Trap("CheckforRed3", [&] {
        DelayMs = SpeedDelay + pauses::kRedThreeNudgeExtra;
        for (int i = kFirstRedThree; i <= kLastRedThree; ++i) {
            if (Cards[i].Location != side || Cards[i].Rank != kRedThree) continue;
            if (side == kPlayer) {
                Cards[i].Location = PlayerRedThrees;
                Pic(i).top -= kNudge;
                Pause();
                LearningMessage(
                    "You have a Red Three which will be moved to board and replaced with card from "
                    "Stock.");
            } else {
                Cards[i].Location = OpponentRedThrees;
                Pic(i).top += kNudge;
                Pause();
                LearningMessage(
                    "Thaddock has a Red Three which will be moved to board and replaced with card "
                    "from Stock.");
            }
            // The replacement draw checks its own card, so a replacement that is
            // itself a red three is already on the board when this loop reaches it.
            RedThreeToBoard(side == kPlayer ? kPlayer : kOpponent);
        }
        GetBonusScores(side);
        DelayMs = SpeedDelay;
    });
}

void RedThreeToBoard(int side) {
    SortRedThree(side);
    GetBonusScores(side);
    TakeCardDeck(side);
}

}  // namespace cardovia
