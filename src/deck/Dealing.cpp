#include "deck/Dealing.h"

#include "deck/CardTravel.h"
#include "deck/Drawing.h"
#include "deck/RandomDraw.h"
#include "deck/Stock.h"
#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "rules/DiscardPile.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/Pacing.h"

namespace cardovia {

namespace {

constexpr int kCardsPerHand = 15;

constexpr Waypoint kTurnUpPath[] = {{1080, 2040}, {1800, 4080}, {960, 6120}};

bool IsNatural(int card) {
    const int rank = Cards[card].Rank;
    return rank != kTwo && rank != kRedThree && rank != kJoker;
}

i16 TurnUpFromStock() {
    const i16 card = RandomStockCard();
    if (card != 0) {
        Cards[card].Location = DiscardPile;
        TurnUpCard(card);
    }
    return card;
}

}  // namespace

void GetandDeal(int side) {
    Trap("GetandDeal", [&] {
        const i16 card = RandomStockCard();
        if (card == 0) return;
        ShowFace(card);
        MoveCardDeck(side, card);
        if (side == kPlayer) NextCardX[kPlayer] = Add16(NextCardX[kPlayer], kPlayerCardStep);
        if (side == kOpponent) {
            NextCardX[kOpponent] = Add16(NextCardX[kOpponent], kOpponentCardStep);
        }
        Cards[card].Location = static_cast<i16>(side);
        StockCount = Sub16(StockCount, 1);
        Frmtable().LblStock.caption = "Stock:- " + std::to_string(StockCount);
    });
}

void DealEm(int dealer) {
    Trap("DealEm", [&] {
        TableForm& f = Frmtable();
        f.MnuPlay.enabled = false;  // no game command may start while cards are moving
        NextCardX[kPlayer] = NextCardX[kOpponent] = kHandFirstLeft;
        const int first = dealer == kOpponent ? kPlayer : kOpponent;
        const int second = first == kPlayer ? kOpponent : kPlayer;
        for (int round = 0; round < kCardsPerHand; ++round) {
            GetandDeal(first);
            GetandDeal(second);
        }
        SortHand(kOpponent);
        SortHand(kPlayer);

        // A wild card or red three turned up stays in the pile, frozen under the
        // next card. Turning up goes on until a natural card shows, so the pile
        // always has a top card.
        i16 card = TurnUpFromStock();
        while (card != 0 && !IsNatural(card)) {
            ShowStatus("Wild or Red 3 turned up  - another card dealt");
            LearningMessage(
                "Wild or Red 3 turned up - another card  will be dealt and Discard pile Frozen.");
            card = TurnUpFromStock();
        }
        if (card != 0) TopDiscard = card;

        ShuffleDiscard();
        DiscardFrozen(dealer);
        StackStock();
        f.MnuPlay.enabled = true;
        GameInProgress = true;
        CheckforRed3(kPlayer);
        CheckforRed3(kOpponent);
        DelayMs = SpeedDelay;
    });
}

void TurnUpCard(int card) {
    DelayMs = pauses::kTurnUpStep;
    ShowFace(card);
    for (const Waypoint& w : kTurnUpPath) {
        Pic(card).Move(w.left, w.top);
        ZOrder(Pic(card));
        Pause();
    }
    DelayMs = SpeedDelay;
}

}  // namespace cardovia
