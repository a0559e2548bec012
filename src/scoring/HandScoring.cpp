#include "scoring/HandScoring.h"

#include "layout/Hand.h"
#include "model/Settings.h"
#include "model/Table.h"
#include "ui/Errors.h"
#include "ui/Form.h"

#include <string>

namespace cardovia {

namespace {

std::string Num(int n) {
    return std::to_string(n);
}

bool HasNaturalMeld(int side) {
    for (int r = 1; r <= kMeldRanks; ++r) {
        if (r == kTwo || r == kBlackThree) continue;
        if (MeldTable[r].Melded[side]) return true;
    }
    return false;
}

// A hand total: bonuses and melds less the cards left in hand.
i16 HandTotal(int side) {
    return Sub16(Add16(Add16(HandBonus[side], OutFirstBonus[side]), MeldPoints[side]),
                 HandPoints[side]);
}

// Scores one side's hand onto the results panel and answers its hand total.
i16 ScoreSide(int side) {
    TableForm& f = Frmtable();
    SortHand(side);
    GetBonusScores(side);
    f.PureCans[side].caption = Num(Mul16(PureCanastas[side], kPureCanastaBonus));
    f.MixedCans[side].caption = Num(Mul16(MixedCanastas[side], kMixedCanastaBonus));
    f.MinusPoints[side].caption = " - " + Num(HandPoints[side]);
    f.RThreesPoints[side].caption = Num(RedThreePoints[side]);
    if (HandCount[side] == 0) {
        OutFirstBonus[side] = kOutFirstBonus;
        f.OutFirst[side].caption = Num(kOutFirstBonus);
    }
    const i16 total = HandTotal(side);
    GameScore[side] = Add16(GameScore[side], total);
    f.PointsTotal[side].caption = Num(total);
    f.LblCurrTot[side].caption = f.GamePoints[side].caption = Num(GameScore[side]);
    f.CardPoints[side].caption = Num(MeldPoints[side]);
    f.LblCurrBon[side].caption.clear();
    f.LblCurrMeld[side].caption.clear();
    return total;
}

void ClearHandComponents() {
    for (int side : {kPlayer, kOpponent}) {
        MeldPoints[side] = HandBonus[side] = PureCanastas[side] = MixedCanastas[side] = 0;
        OutFirstBonus[side] = RedThreePoints[side] = HandPoints[side] = 0;
    }
}

void WriteComment(i16 playerTotal, i16 opponentTotal) {
    TableForm& f = Frmtable();
    if (opponentTotal > playerTotal) {
        f.lblComments.caption = "Sorry, Thaddock beat you this hand with total score of  " +
                                Num(opponentTotal) + " against your score of " + Num(playerTotal);
    } else if (playerTotal > opponentTotal) {
        // The winner gets to see what Thaddock was left holding.
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == OpponentHand) ShowFace(i);
        }
        f.lblComments.caption = "Well done, you beat Thaddock this hand with total score of  " +
                                Num(playerTotal) + " against his score of  " + Num(opponentTotal);
    }
}

}  // namespace

void GetHandScores(int side) {
    Trap("GetHandScores", [&] {
        const i16 where = side == kPlayer ? PlayerMelds : OpponentMelds;
        MeldPoints[side] = 0;
        for (int i = 1; i <= kDeckSize; ++i) {
            if (Cards[i].Location == where) {
                MeldPoints[side] = Add16(MeldPoints[side], Cards[i].Value);
            }
        }
        if (side == kPlayer) MeldPoints[side] = Sub16(MeldPoints[side], TakeBackPenalty);
        ShowCurrentScores(side);
    });
}

void GetBonusScores(int side) {
    Trap("GetBonusScores", [&] {
        HandBonus[side] = RedThreePoints[side] = RedThreeCount[side] = 0;
        MixedCanastas[side] = PureCanastas[side] = 0;
        const i16 board = side == kPlayer ? PlayerRedThrees : OpponentRedThrees;
        for (int i = kFirstRedThree; i <= kLastRedThree; ++i) {
            if (Cards[i].Location == board) ++RedThreeCount[side];
        }
        // Red threes count for a side with a meld on the table and against one without.
        const int sign = HasNaturalMeld(side) ? 1 : -1;
        RedThreePoints[side] = RedThreeCount[side] == 4
                                   ? static_cast<i16>(sign * kAllFourRedThreesPoints)
                                   : static_cast<i16>(sign * kRedThreePoints * RedThreeCount[side]);
        Label& column =
            side == kPlayer ? Frmtable().lblMelds[kRedThree] : Frmtable().lblMeldsC[kRedThree];
        column.visible = true;
        column.caption = "Pts. " + Num(RedThreePoints[side]);
        // Canastas of Twos or black threes earn nothing.
        for (int r = 1; r <= kMeldRanks; ++r) {
            if (r == kTwo || r == kBlackThree) continue;
            if (MeldTable[r].Count[side] < kCanastaSize) continue;
            if (MeldTable[r].CountSinceWild[side] == 0) {
                HandBonus[side] = Add16(HandBonus[side], kPureCanastaBonus);
                ++PureCanastas[side];
            } else {
                HandBonus[side] = Add16(HandBonus[side], kMixedCanastaBonus);
                ++MixedCanastas[side];
            }
        }
        HandBonus[side] = Add16(HandBonus[side], RedThreePoints[side]);
        ShowCurrentScores(side);
    });
}

void ShowCurrentScores(int side) {
    TableForm& f = Frmtable();
    f.LblCurrTot[side].caption = Num(GameScore[side]);
    f.LblCurrMeld[side].caption = Num(MeldPoints[side]);
    f.LblCurrBon[side].caption = Num(HandBonus[side]);
}

void GetScoresHand() {
    Trap("GetScoresHand", [] {
        TableForm& f = Frmtable();
        for (int side : {kPlayer, kOpponent}) {
            for (auto* row :
                 {&f.PureCans, &f.MixedCans, &f.MinusPoints, &f.RThreesPoints, &f.OutFirst}) {
                (*row)[side].caption.clear();
            }
        }
        f.cmdSave.visible = true;
        f.GamePoints[0].caption.clear();
        f.FramResults.visible = true;
        ZOrder(f.FramResults);

        i16 totals[3] = {0, 0, 0};
        for (int side : {kPlayer, kOpponent}) totals[side] = ScoreSide(side);
        f.LblP.caption = PlayerName;
        // Laying out the hands brought their cards forward; the panel stays on top.
        ZOrder(f.FramResults);
        ClearHandComponents();
        WriteComment(totals[kPlayer], totals[kOpponent]);
        if (GameScore[kPlayer] <= TargetScore && GameScore[kOpponent] <= TargetScore) {
            f.GamePoints[0].caption = "game not over - click 'Carry On' button' or 'Exit'";
            f.cmdSave.visible = true;
        } else {
            f.GamePoints[0].caption = "Game is over - click 'Carry On' button'";
            f.cmdSave.visible = false;
        }
        DelayMs = SpeedDelay;
    });
}

}  // namespace cardovia
